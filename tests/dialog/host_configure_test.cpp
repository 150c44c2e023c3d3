// tests/dialog/host_configure_test.cpp: `ferlo-export --configure` as a user
// meets it: the settings dialog in the program's own process, the string an
// OK prints, taken by an export as its options file, and a cancel. The
// program, the sample database and a folder: FERLO_HOST, FERLO_SAMPLE_DB and
// FERLO_HOST_FOLDER.
#include "res/SettingsDialogRes.h"

#include "dialog_fixture.h"

#include <fstream>
#include <optional>

namespace
{

// Wine takes a Linux path as one on the current drive, Z:, the Linux root.
std::wstring Path(const char* pszVariable)
{
    const char* psz = getenv(pszVariable);
    return psz ? std::wstring(psz, psz + strlen(psz)) : L"";
}

std::string FileText(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

HANDLE Inheritable(const std::wstring& path)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
}

// Runs ferlo-export in the folder, the script working the dialog of its main
// thread: the exit code, "|", stdout, "|", stderr.
std::string RunHost(const std::wstring& name, const std::wstring& args, DialogUser::Script script = nullptr)
{
    const std::wstring folder = Path("FERLO_HOST_FOLDER") + L"\\", out = folder + name + L".out";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = Inheritable(out);
    startup.hStdError = Inheritable(out + L".err");
    std::wstring command = L"\"" + Path("FERLO_HOST") + L"\" " + args;
    PROCESS_INFORMATION process = {};
    BOOL bStarted = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                                   &startup, &process);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    if (!bStarted)
        return "cannot start " + Narrow(command);
    std::optional<DialogUser> user;
    if (script)
        user.emplace(script, process.dwThreadId, 120000);
    if (WaitForSingleObject(process.hProcess, 180000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);
    for (const std::string& problem : user ? user->Finish() : std::vector<std::string>())
        ADD_FAILURE() << problem;
    DWORD nExit = 0;
    GetExitCodeProcess(process.hProcess, &nExit);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return std::to_string(nExit) + "|" + FileText(out) + "|" + FileText(out + L".err");
}

// The dialog opens on the options given; the user names a file with a
// character beyond ASCII and chooses the semicolon. The line printed is the
// options string in UTF-8, and an export taking it as its options file
// writes that file with that delimiter. Escape prints a word to stderr.
TEST(HostConfigure, OkPrintsOptionsThatAnExportTakesAndCancelPrintsNothing)
{
    const std::wstring key = L" --registry-key \"Software\\Ferlo Tests\\Host Configure\"";
    std::wstring file;
    std::string ok = RunHost(
        L"configure", L"--configure --options \"[FILE=.\\out\\customers][CSV=TRUE][OVERWRITE=TRUE]\"" + key,
        [&](DialogUser& user) {
            file = user.Text(IDC_FILE);
            user.Type(IDC_FILE, L".\\out\\Kunden\u00DCbersicht");
            user.Click(IDC_DELIM_SEMICOLON);
            user.ClickToClose(IDOK);
        });
    EXPECT_EQ(L".\\out\\customers", file);
    EXPECT_EQ("0|[FILE=.\\out\\Kunden\xC3\x9C"
              "bersicht][CSV=TRUE][OVERWRITE=TRUE][WRITEHEAD=TRUE][SINGLE=FALSE][XML=FALSE][HEADLINE=FALSE]"
              "[DELIMITER=;][CHARSET=ACP][MAP=FALSE]\r\n|",
              ok);
    std::wstring database = Path("FERLO_SAMPLE_DB");
    EXPECT_EQ("0|",
              RunHost(L"export", L"--options-file configure.out --table customers \"" + database + L"\"")
                  .substr(0, 2));
    std::string written = FileText(Path("FERLO_HOST_FOLDER") + L"\\out\\Kunden\u00DCbersicht.csv");
    EXPECT_EQ(0u, written.find("id;name;"));
    EXPECT_EQ("1||ferlo-export: cancelled\r\n", RunHost(L"cancel", L"--configure --options [csv=true]" + key,
                                                        [](DialogUser& user) { user.PressEscape(); }));
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Ferlo Tests\\Host Configure");
}

} // namespace
