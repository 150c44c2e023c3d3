// tests/dialog/dialog_help_test.cpp: F1 in running dialogs, and how the
// HTML Help control is found and loaded.
//
// The control is loaded once per process and stays, so each way of finding
// it runs in a process of its own (see CMakeLists.txt): here through the
// registry; HelpByName with no registration; HelpUnavailable where no
// control can be loaded at all.
#include "dialog/Help.h"

#include "HelpServer.h"
#include "dialog_fixture.h"

#include <vector>

namespace
{

const char kServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
const DWORD kTopicBase = 0x20000;

// HKEY_CLASSES_ROOT of this process mapped onto a fresh key, so that the
// registration is the test's own. Mapped only while the test runs: the
// open-file dialog reads the real classes.
class ClassesSandbox
{
public:
    ClassesSandbox()
    {
        m_name = "Software\\FerloTests\\classes-" + std::to_string(GetCurrentProcessId());
        RegCreateKeyExA(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_hKey,
                        nullptr);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, m_hKey);
    }
    ~ClassesSandbox()
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegCloseKey(m_hKey);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_name.c_str());
    }

    // The server's registration: its default value, of the type given.
    void Register(DWORD dwType, const std::string& value)
    {
        HKEY hServer = nullptr;
        RegCreateKeyExA(m_hKey, kServerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hServer, nullptr);
        RegSetValueExA(hServer, nullptr, 0, dwType, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(hServer);
    }

private:
    std::string m_name;
    HKEY m_hKey = nullptr;
};

std::string ModuleFolderA()
{
    return Narrow(ModuleFolder());
}

// What the stand-in loaded under the module name was asked so far.
std::vector<HelpServerCall> CallsTo(const wchar_t* pszModule)
{
    std::vector<HelpServerCall> calls;
    HMODULE hServer = GetModuleHandleW(pszModule);
    if (!hServer)
        return calls;
    auto pfnCount = reinterpret_cast<PfnHelpServerCallCount>(
        reinterpret_cast<void*>(GetProcAddress(hServer, "HelpServerCallCount")));
    auto pfnGet = reinterpret_cast<PfnHelpServerGetCall>(
        reinterpret_cast<void*>(GetProcAddress(hServer, "HelpServerGetCall")));
    for (int i = 0; i < pfnCount(); ++i)
        calls.push_back(*pfnGet(i));
    return calls;
}

std::vector<DWORD_PTR> TopicsSince(const wchar_t* pszModule, size_t nFrom)
{
    std::vector<DWORD_PTR> topics;
    std::vector<HelpServerCall> calls = CallsTo(pszModule);
    for (size_t i = nFrom; i < calls.size(); ++i)
        topics.push_back(calls[i].dwData);
    return topics;
}

// The registered server is found through a variable of the environment.
class HelpTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("FERLO_HELP_SERVERS", ModuleFolderA().c_str());
        m_classes.Register(REG_EXPAND_SZ, "%FERLO_HELP_SERVERS%help_server.dll");
        m_nCallsBefore = CallsTo(L"help_server.dll").size();
    }

    std::vector<DWORD_PTR> Topics() const { return TopicsSince(L"help_server.dll", m_nCallsBefore); }

    ClassesSandbox m_classes;
    size_t m_nCallsBefore = 0;
};

TEST_F(HelpTest, TopicOfTheRunningDialogInMainChm)
{
    for (bool bHostLoaded : {true, false}) {
        SCOPED_TRACE(bHostLoaded ? "beside dialog.dll" : "beside the program");
        HMODULE hHost = bHostLoaded ? LoadLibraryW((ModuleFolder() + L"host\\dialog.dll").c_str()) : nullptr;
        size_t nBefore = CallsTo(L"help_server.dll").size();
        ItemDialog dialog;
        RunDialog(dialog, [&](DialogUser& user) {
            user.FocusOn(IDC_EDIT_2);
            user.PressF1();
            user.PressEscape();
        });
        if (hHost)
            FreeLibrary(hHost);
        std::vector<HelpServerCall> calls = CallsTo(L"help_server.dll");
        ASSERT_EQ(nBefore + 1, calls.size());
        const HelpServerCall& call = calls.back();
        std::wstring folder = bHostLoaded ? ModuleFolder() + L"host\\" : ProgramFolder();
        EXPECT_EQ(folder + L"main.chm", std::wstring(call.szFile));
        EXPECT_EQ(15u, call.uCommand); // HH_HELP_CONTEXT
        EXPECT_EQ(kTopicBase | IDD_ITEMS, call.dwData);
        EXPECT_NE(nullptr, call.hOwner);
    }
    EXPECT_EQ(GetModuleHandleW(L"help_server.dll"), g_hHelpModule);
}

void RunNoHelpDialog(HWND hDlg)
{
    ItemDialog dialog;
    dialog.DoModal(hDlg, GetModuleHandleW(nullptr), IDD_NO_HELP);
}

void RunInnerDialog(HWND hDlg)
{
    ItemDialog dialog;
    dialog.Add(new ButtonItem(IDC_BUTTON_1, RunNoHelpDialog));
    dialog.DoModal(hDlg, GetModuleHandleW(nullptr), IDD_INNER);
}

// A dialog of 16000 or above shows the topic around it; each dialog puts
// the outer context back when it closes.
TEST_F(HelpTest, NestedDialogsRestoreTheOuterTopic)
{
    ItemDialog dialog;
    dialog.Add(new ButtonItem(IDC_BUTTON_1, RunInnerDialog));
    g_nHelpContext = 0;
    RunDialog(dialog, [](DialogUser& user) {
        user.PressF1();
        user.ClickToOpen(IDC_BUTTON_1);
        user.PressF1();
        user.ClickToOpen(IDC_BUTTON_1);
        user.PressF1();
        user.PressEscape();
        user.PressF1();
        user.PressEscape();
        user.PressF1();
        user.PressEscape();
    });
    EXPECT_EQ((std::vector<DWORD_PTR>{kTopicBase | IDD_ITEMS, kTopicBase | IDD_INNER, kTopicBase | IDD_INNER,
                                      kTopicBase | IDD_INNER, kTopicBase | IDD_ITEMS}),
              Topics());
    EXPECT_EQ(0, g_nHelpContext);
}

TEST_F(HelpTest, DialogWithoutTopicAndNoneAroundShowsTheBaseTopic)
{
    ItemDialog dialog;
    g_nHelpContext = 0;
    RunDialog(
        dialog,
        [](DialogUser& user) {
            user.PressF1();
            user.PressEscape();
        },
        IDD_NO_HELP);
    EXPECT_EQ((std::vector<DWORD_PTR>{kTopicBase}), Topics());
}

// The lookup alone, for each form of registration.
TEST(HelpServerLookup, RegisteredPath)
{
    SetEnvironmentVariableA("FERLO_HELP_SERVERS", "C:\\servers");
    // A folder that makes a short value long once expanded: "C:\" and n
    // characters; the server's name adds 6 ("\s.ocx").
    auto longFolder = [](size_t nExpanded) { return "C:\\" + std::string(nExpanded - 3 - 6, 'd'); };
    std::string folder259 = longFolder(259), folder260 = longFolder(260);
    struct Case {
        const char* pszName;
        bool bRegistered;
        DWORD dwType;
        std::string value;
        BOOL bFound;
        std::string path;
    };
    const Case cases[] = {
        {"plain text", true, REG_SZ, "C:\\help\\server.ocx", TRUE, "C:\\help\\server.ocx"},
        {"with a variable", true, REG_EXPAND_SZ, "%FERLO_HELP_SERVERS%\\server.ocx", TRUE,
         "C:\\servers\\server.ocx"},
        {"plain text of 259 bytes", true, REG_SZ, std::string(259, 'p'), TRUE, std::string(259, 'p')},
        {"plain text of 260 bytes", true, REG_SZ, std::string(260, 'p'), FALSE, ""},
        {"expanded to 259 characters", true, REG_EXPAND_SZ, "%FERLO_FOLDER_259%\\s.ocx", TRUE,
         folder259 + "\\s.ocx"},
        {"expanded to 260 characters", true, REG_EXPAND_SZ, "%FERLO_FOLDER_260%\\s.ocx", FALSE, ""},
        {"no registration", false, REG_SZ, "", FALSE, ""},
    };
    SetEnvironmentVariableA("FERLO_FOLDER_259", folder259.c_str());
    SetEnvironmentVariableA("FERLO_FOLDER_260", folder260.c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        ClassesSandbox classes;
        if (c.bRegistered)
            classes.Register(c.dwType, c.value);
        char szPath[260];
        memset(szPath, 'x', sizeof(szPath));
        EXPECT_EQ(c.bFound, FindHtmlHelpServer(szPath));
        if (c.bFound) {
            EXPECT_EQ(c.path, std::string(szPath));
        }
    }
}

// With no registration the control is loaded by its plain name, which
// finds the stand-in this process loaded under that name.
TEST(HelpByName, LoadedByItsPlainName)
{
    ClassesSandbox classes;
    HMODULE hServer = LoadLibraryW((ModuleFolder() + L"plain\\hhctrl.ocx").c_str());
    ASSERT_NE(nullptr, hServer);
    ItemDialog dialog;
    RunDialog(dialog, [](DialogUser& user) {
        user.PressF1();
        user.PressEscape();
    });
    EXPECT_EQ(hServer, g_hHelpModule);
    EXPECT_EQ((std::vector<DWORD_PTR>{kTopicBase | IDD_ITEMS}), TopicsSince(L"hhctrl.ocx", 0));
}

// Here the control cannot be loaded by its name (the test runs with it
// disabled). After the first failure the registry is not read again: a
// server registered since is not loaded.
TEST(HelpUnavailable, TriedOncePerProcess)
{
    ClassesSandbox classes;
    classes.Register(REG_SZ, ModuleFolderA() + "missing.dll");
    ItemDialog dialog;
    RunDialog(dialog, [&](DialogUser& user) {
        user.PressF1();
        classes.Register(REG_SZ, ModuleFolderA() + "help_server.dll");
        user.PressF1();
        user.PressEscape();
    });
    EXPECT_EQ(TRUE, g_bHelpUnavailable);
    EXPECT_EQ(nullptr, g_hHelpModule);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"help_server.dll"));
}

} // namespace
