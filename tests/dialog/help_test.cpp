// tests/dialog/help_test.cpp: F1 in running dialogs, and how the HTML Help
// control is found and loaded. It stays loaded, so each way of finding it
// runs in a process of its own: Help through the registry, HelpByName with
// no registration, HelpUnavailable where none can be loaded.
#include "dialog/Help.h"

#include "HelpServer.h"
#include "dialog_fixture.h"

namespace
{

// HKEY_CLASSES_ROOT of this process on a fresh key while the test runs (the
// open-file dialog reads the real one), and the help control's registration.
struct Classes {
    HKEY hKey = nullptr;
    Classes()
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\FerloTests\\classes", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &hKey, nullptr);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, hKey);
    }
    ~Classes()
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegCloseKey(hKey);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\FerloTests\\classes");
    }
    void Register(DWORD dwType, const std::string& value)
    {
        RegSetKeyValueA(hKey, "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", nullptr,
                        dwType, value.c_str(), static_cast<DWORD>(value.size() + 1));
    }
};

// What the stand-in loaded under that name was asked, each call as its
// file and its topic less 0x20000.
std::vector<std::wstring> Calls(const wchar_t* pszModule = L"help_server.dll")
{
    std::vector<std::wstring> calls;
    HMODULE hServer = GetModuleHandleW(pszModule);
    auto pfnCalls = reinterpret_cast<PfnHelpServerCalls>(
        reinterpret_cast<void*>(GetProcAddress(hServer, "HelpServerCalls")));
    int nCalls = 0;
    const HelpServerCall* pCalls = hServer ? pfnCalls(&nCalls) : nullptr;
    for (int i = 0; i < nCalls; ++i) {
        EXPECT_EQ(15u, pCalls[i].uCommand); // HH_HELP_CONTEXT
        EXPECT_NE(nullptr, pCalls[i].hOwner);
        calls.push_back(pCalls[i].szFile + (L" " + std::to_wstring(pCalls[i].dwData - 0x20000)));
    }
    return calls;
}

// A dialog with a button that opens the one of 16000 or above.
template <int nTemplate> void OpenDialog(HWND hDlg)
{
    ItemDialog dialog;
    dialog.Add(new ButtonItem(IDC_BUTTON_1, OpenDialog<IDD_NO_HELP>));
    dialog.DoModal(hDlg, GetModuleHandleW(nullptr), nTemplate);
}

void HelpAndLeave(DialogUser& user)
{
    user.PressF1();
    user.PressEscape();
}

// The topic is 0x20000 plus the running dialog's template id, in main.chm
// beside dialog.dll, or beside the program without it. A dialog of 16000 or
// above shows the topic of the dialog around it, the base topic when there
// is none; each run puts back the context it found. The control is the one
// registered with a variable.
TEST(Help, TopicOfTheRunningDialogInMainChm)
{
    Classes classes;
    SetEnvironmentVariableA("FERLO_HELP_SERVERS", Narrow(ModuleFolder()).c_str());
    classes.Register(REG_EXPAND_SZ, "%FERLO_HELP_SERVERS%help_server.dll");
    g_nHelpContext = 0;
    ItemDialog noHelp;
    RunDialog(noHelp, HelpAndLeave, IDD_NO_HELP);
    HMODULE hHost = LoadLibraryW((ModuleFolder() + L"host\\dialog.dll").c_str());
    ItemDialog dialog;
    dialog.Add(new ButtonItem(IDC_BUTTON_1, OpenDialog<IDD_INNER>));
    RunDialog(dialog, [](DialogUser& user) {
        user.FocusOn(IDC_EDIT_2);
        user.PressF1();
        user.ClickToOpen(IDC_BUTTON_1);
        user.PressF1();
        user.ClickToOpen(IDC_BUTTON_1);
        HelpAndLeave(user);
        HelpAndLeave(user);
        HelpAndLeave(user);
    });
    FreeLibrary(hHost);
    EXPECT_EQ(0, g_nHelpContext);
    std::wstring host = ModuleFolder() + L"host\\main.chm ", program = ProgramFolder() + L"main.chm ";
    EXPECT_EQ((std::vector<std::wstring>{program + L"0", host + L"100", host + L"200", host + L"200",
                                         host + L"200", host + L"100"}),
              Calls());
    EXPECT_EQ(GetModuleHandleW(L"help_server.dll"), g_hHelpModule);
}

// The lookup alone. A value or its expansion must fit 260 bytes.
TEST(Help, RegisteredPath)
{
    // Folders that make the value, with "\s.ocx", 259 and 260 characters long.
    std::string folder259 = "C:\\" + std::string(250, 'd'), folder260 = folder259 + "d";
    SetEnvironmentVariableA("FERLO_FOLDER_259", folder259.c_str());
    SetEnvironmentVariableA("FERLO_FOLDER_260", folder260.c_str());
    const struct {
        const char* pszName;
        DWORD dwType;            // REG_NONE: no registration
        std::string value, path; // an empty path: none found
    } cases[] = {
        {"plain text of 259 bytes", REG_SZ, std::string(259, 'p'), std::string(259, 'p')},
        {"plain text of 260 bytes", REG_SZ, std::string(260, 'p'), ""},
        {"expanded to 259 characters", REG_EXPAND_SZ, "%FERLO_FOLDER_259%\\s.ocx", folder259 + "\\s.ocx"},
        {"expanded to 260 characters", REG_EXPAND_SZ, "%FERLO_FOLDER_260%\\s.ocx", ""},
        {"no registration", REG_NONE, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        Classes classes;
        if (c.dwType != REG_NONE)
            classes.Register(c.dwType, c.value);
        char szPath[260];
        memset(szPath, 'x', sizeof(szPath));
        EXPECT_EQ(!c.path.empty(), FindHtmlHelpServer(szPath) != FALSE);
        EXPECT_EQ(c.path, c.path.empty() ? "" : std::string(szPath));
    }
}

// No registration: the control is loaded by its plain name, which finds the
// stand-in this process loaded under that name.
TEST(HelpByName, LoadedByItsPlainName)
{
    Classes classes;
    HMODULE hServer = LoadLibraryW((ModuleFolder() + L"plain\\hhctrl.ocx").c_str());
    ASSERT_NE(nullptr, hServer);
    ItemDialog dialog;
    RunDialog(dialog, HelpAndLeave);
    EXPECT_EQ(hServer, g_hHelpModule);
    EXPECT_EQ(std::vector<std::wstring>{ProgramFolder() + L"main.chm 100"}, Calls(L"hhctrl.ocx"));
}

// Here the control cannot be loaded by its name (the test runs with it
// disabled). After the first failure the registry is not read again: a
// server registered since is not loaded.
TEST(HelpUnavailable, TriedOncePerProcess)
{
    Classes classes;
    classes.Register(REG_SZ, Narrow(ModuleFolder()) + "missing.dll");
    ItemDialog dialog;
    RunDialog(dialog, [&](DialogUser& user) {
        user.PressF1();
        classes.Register(REG_SZ, Narrow(ModuleFolder()) + "help_server.dll");
        HelpAndLeave(user);
    });
    EXPECT_EQ(TRUE, g_bHelpUnavailable);
    EXPECT_EQ(nullptr, g_hHelpModule);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"help_server.dll"));
}

} // namespace
