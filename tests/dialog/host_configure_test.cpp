// tests/dialog/host_configure_test.cpp: `ferlo-export --configure` as a user
// meets it: the real settings dialog, worked in the program's own process;
// the string an OK prints, taken by a following export as its options
// file; a cancel. Each --configure takes some 20 s under Wine.
//
//   host_configure_tests FERLO-EXPORT DATABASE FOLDER [gtest options]
#include "DialogUser.h"
#include "res/SettingsDialogRes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>

namespace
{

std::wstring g_program, g_database, g_folder;

const std::wstring kKeyArgument = L" --registry-key \"Software\\Ferlo Tests\\Host Configure\"";

// The arguments are Linux paths; Windows sees the Linux root as drive Z:.
std::wstring WindowsPath(const char* pszPath)
{
    std::wstring path(pszPath, pszPath + strlen(pszPath));
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path[0] == L'\\' ? L"Z:" + path : path;
}

std::string FileText(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

struct HostRun {
    DWORD nExit = 0xDEADBEEF;
    std::string out, err;
};

HANDLE Inheritable(const std::wstring& path)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
}

// Runs ferlo-export in the test's folder, its output in NAME.out and
// NAME.err there; the script, if any, works the dialog of its main thread.
HostRun RunHost(const std::wstring& name, const std::wstring& args, DialogUser::Script script = nullptr)
{
    const std::wstring out = g_folder + L"\\" + name + L".out", err = g_folder + L"\\" + name + L".err";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = Inheritable(out);
    startup.hStdError = Inheritable(err);
    std::wstring command = L"\"" + g_program + L"\" " + args;
    PROCESS_INFORMATION process = {};
    BOOL bStarted = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, g_folder.c_str(),
                                   &startup, &process);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    HostRun run;
    if (!bStarted) {
        ADD_FAILURE() << "cannot start ferlo-export: error " << GetLastError();
        return run;
    }
    std::optional<DialogUser> user;
    if (script)
        user.emplace(script, process.dwThreadId, 120000);
    if (WaitForSingleObject(process.hProcess, 180000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "ferlo-export did not end";
        TerminateProcess(process.hProcess, 99);
    }
    for (const std::string& problem : user ? user->Finish() : std::vector<std::string>())
        ADD_FAILURE() << problem;
    GetExitCodeProcess(process.hProcess, &run.nExit);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {run.nExit, FileText(out), FileText(err)};
}

// The dialog opens on the options given; the user names a file with a
// character beyond ASCII and chooses the semicolon. The printed line is the
// options string in UTF-8, and an export that takes it as its options file
// writes that file with that delimiter. Escape prints nothing to stdout,
// one word to stderr, and exits with 1.
TEST(HostConfigure, OkPrintsOptionsThatAnExportTakesAndCancelPrintsNothing)
{
    std::wstring file;
    HostRun ok = RunHost(L"configure",
                         L"--configure --options \"[FILE=.\\out\\customers][CSV=TRUE][OVERWRITE=TRUE]\"" +
                             kKeyArgument,
                         [&](DialogUser& user) {
                             file = user.Text(IDC_FILE);
                             user.Type(IDC_FILE, L".\\out\\Kunden\u00DCbersicht");
                             user.Click(IDC_DELIM_SEMICOLON);
                             user.ClickToClose(IDOK);
                         });
    EXPECT_EQ(L".\\out\\customers", file);
    EXPECT_EQ(0u, ok.nExit) << ok.err;
    EXPECT_EQ("", ok.err);
    EXPECT_EQ(0u, ok.out.find("[FILE=.\\out\\Kunden\xC3\x9C"
                              "bersicht][CSV=TRUE][OVERWRITE=TRUE][WRITEHEAD=TRUE]"))
        << ok.out;
    EXPECT_NE(std::string::npos, ok.out.find("[DELIMITER=;]")) << ok.out;
    EXPECT_EQ("\r\n", ok.out.substr(ok.out.size() - 2));

    HostRun exported =
        RunHost(L"export", L"--options-file configure.out --table customers \"" + g_database + L"\"");
    EXPECT_EQ(0u, exported.nExit) << exported.err;
    EXPECT_EQ(0u, FileText(g_folder + L"\\out\\Kunden\u00DCbersicht.csv").find("id;name;"));

    HostRun cancelled = RunHost(L"cancel", L"--configure --options [csv=true]" + kKeyArgument,
                                [](DialogUser& user) { user.PressEscape(); });
    EXPECT_EQ(1u, cancelled.nExit);
    EXPECT_EQ("", cancelled.out);
    EXPECT_EQ("ferlo-export: cancelled\r\n", cancelled.err);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Ferlo Tests\\Host Configure");
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 4) {
        fprintf(stderr, "usage: host_configure_tests FERLO-EXPORT DATABASE FOLDER\n");
        return 2;
    }
    g_program = WindowsPath(argv[1]);
    g_database = WindowsPath(argv[2]);
    g_folder = WindowsPath(argv[3]);
    return RUN_ALL_TESTS();
}
