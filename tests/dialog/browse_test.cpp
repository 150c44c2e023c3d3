// tests/dialog/browse_test.cpp: the Browse button's open-file dialog and the
// file name field it starts from and writes back into.
#include "dialog/Browse.h"
#include "filter/LibraryEntry.h"

#include "dialog_fixture.h"

namespace
{

struct Seen {
    std::wstring title, folder, name;
};

// A user who opens the file browser, looks at it, chooses a name or
// cancels, and confirms the dialog. The field's value after OK.
std::wstring Browse(const std::wstring& field, const wchar_t* pszChoose, Seen& seen)
{
    // The title is a string of the module's own resources.
    g_hInstance = GetModuleHandleW(nullptr);
    WCHAR szFile[2049];
    wcscpy(szFile, field.c_str());
    ItemDialog dialog;
    dialog.Add(new EditItem(IDC_FILE, szFile, 2049));
    dialog.Add(new ButtonItem(IDC_BROWSE, BrowseForOutputFile));
    RunDialog(dialog, [&](DialogUser& user) {
        user.ClickToOpen(IDC_BROWSE);
        seen = {user.FileDialogTitle(), user.FileDialogFolder(), user.FileDialogName()};
        if (pszChoose)
            user.ChooseFile(pszChoose);
        else
            user.CancelFileDialog();
        user.PressEnter();
    });
    return szFile;
}

std::wstring WithoutSlash(const std::wstring& folder)
{
    return folder.substr(0, folder.find_last_not_of(L'\\') + 1);
}

TEST(Browse, StartsFromTheFieldAndWritesTheChosenPath)
{
    std::wstring database = ModuleFolder() + L"database\\";
    std::wstring program = ProgramFolder();
    HMODULE hIndex = LoadLibraryW((database + L"idx.zrx").c_str());
    ASSERT_NE(nullptr, hIndex);
    struct Case {
        const char* pszName;
        bool bIndexLoaded;
        std::wstring field;
        const wchar_t* pszChoose; // null: cancel
        std::wstring folder, name, result;
    };
    const Case cases[] = {
        {"full path, chosen", true, database + L"out.csv", L"chosen.txt", database, L"out.csv",
         database + L"chosen.txt"},
        {"full path, cancelled", true, database + L"out.csv", nullptr, database, L"out.csv",
         database + L"out.csv"},
        {"empty, chosen", true, L"", L"new.csv", database, L"", database + L"new.csv"},
        {"empty, cancelled", true, L"", nullptr, database, L"", L""},
        {"empty, no idx.zrx", false, L"", L"new.csv", program, L"", program + L"new.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        if (!c.bIndexLoaded && hIndex) {
            FreeLibrary(hIndex);
            hIndex = nullptr;
        }
        Seen seen;
        std::wstring result = Browse(c.field, c.pszChoose, seen);
        EXPECT_EQ(L"Choose the Output File", seen.title);
        EXPECT_EQ(Narrow(WithoutSlash(c.folder)), Narrow(WithoutSlash(seen.folder)));
        EXPECT_EQ(Narrow(c.name), Narrow(seen.name));
        EXPECT_EQ(Narrow(c.result), Narrow(result));
    }
    if (hIndex)
        FreeLibrary(hIndex);
}

} // namespace
