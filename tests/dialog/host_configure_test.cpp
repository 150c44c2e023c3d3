// tests/dialog/host_configure_test.cpp: `ferlo-export --configure` as a user
// meets it: the real settings dialog of the Windows build, worked in the
// program's own process; the string an OK prints, taken by a following
// export as its options file; a cancel.
//
//   host_configure_tests FERLO-EXPORT DATABASE FOLDER [gtest options]
//
// Each run of --configure asks the platform about every code page number,
// some 20 s under Wine, so there are two.
#include "DialogUser.h"
#include "res/SettingsDialogRes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace
{

std::wstring g_program, g_database, g_folder;

const wchar_t kKey[] = L"Software\\Ferlo Tests\\Host Configure";

// The arguments come as Linux paths from the test's command line; Windows
// sees the Linux root as drive Z:.
std::wstring WindowsPath(const char* pszPath)
{
    std::wstring path(pszPath, pszPath + strlen(pszPath));
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path[0] == L'\\' ? L"Z:" + path : path;
}

std::string FileText(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
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

// Runs ferlo-export in the test's folder with stdout and stderr in files
// there, named NAME.out and NAME.err; the script, if any, works the dialog
// of the program's main thread.
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
        user.emplace(process.dwThreadId, script, 120000);
    if (WaitForSingleObject(process.hProcess, 180000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "ferlo-export did not end";
        TerminateProcess(process.hProcess, 99);
    }
    if (user)
        for (const std::string& problem : user->Finish())
            ADD_FAILURE() << problem;
    GetExitCodeProcess(process.hProcess, &run.nExit);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.out = FileText(out);
    run.err = FileText(err);
    return run;
}

class HostConfigure : public ::testing::Test
{
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
};

// The dialog opens on the options given; the user names a file with a
// character beyond ASCII and chooses the semicolon. The printed line is the
// options string in UTF-8, and an export that takes the saved output as its
// options file writes that file with that delimiter.
TEST_F(HostConfigure, OkPrintsOptionsThatAnExportTakes)
{
    std::wstring file;
    HostRun configure =
        RunHost(L"configure",
                L"--configure --options \"[FILE=.\\out\\customers][CSV=TRUE][OVERWRITE=TRUE]\" "
                L"--registry-key \"" +
                    std::wstring(kKey) + L"\"",
                [&](DialogUser& user) {
                    file = user.Text(IDC_FILE);
                    user.Type(IDC_FILE, L".\\out\\Kunden\u00DCbersicht");
                    user.Click(IDC_DELIM_SEMICOLON);
                    user.ClickToClose(IDOK);
                });
    EXPECT_EQ(L".\\out\\customers", file);
    EXPECT_EQ(0u, configure.nExit) << configure.err;
    EXPECT_EQ("", configure.err);
    EXPECT_EQ(0u, configure.out.find("[FILE=.\\out\\Kunden\xC3\x9C"
                                     "bersicht][CSV=TRUE][OVERWRITE=TRUE][WRITEHEAD=TRUE]"))
        << configure.out;
    EXPECT_NE(std::string::npos, configure.out.find("[DELIMITER=;]")) << configure.out;
    EXPECT_EQ("\r\n", configure.out.substr(configure.out.size() - 2));

    HostRun export_ =
        RunHost(L"export", L"--options-file configure.out --table customers \"" + g_database + L"\"");
    EXPECT_EQ(0u, export_.nExit) << export_.err;
    std::string written = FileText(g_folder + L"\\out\\Kunden\u00DCbersicht.csv");
    EXPECT_EQ(0u, written.find("id;name;")) << written.substr(0, 80);
}

// Escape leaves the options as they were: nothing on stdout, one word on
// stderr, exit 1.
TEST_F(HostConfigure, CancelPrintsNothing)
{
    HostRun run =
        RunHost(L"cancel", L"--configure --options [csv=true] --registry-key \"" + std::wstring(kKey) + L"\"",
                [](DialogUser& user) { user.PressEscape(); });
    EXPECT_EQ(1u, run.nExit);
    EXPECT_EQ("", run.out);
    EXPECT_EQ("ferlo-export: cancelled\r\n", run.err);
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
