// tests/dialog/browse_test.cpp: the Browse button's open-file dialog and the
// file name field it starts from and writes back into.
#include "dialog/Browse.h"
#include "filter/LibraryEntry.h"

#include "dialog_fixture.h"

#include <commdlg.h>

namespace
{

// A full path opens its folder with the name proposed; an empty field the
// folder of the host's idx.zrx, or of the program, with no name. Choosing
// writes the full path, cancelling leaves the field.
TEST(Browse, StartsFromTheFieldAndWritesTheChosenPath)
{
    g_hInstance = GetModuleHandleW(nullptr); // the title is the module's string
    std::wstring database = ModuleFolder() + L"database\\", program = ProgramFolder();
    HMODULE hIndex = LoadLibraryW((database + L"idx.zrx").c_str());
    ASSERT_NE(nullptr, hIndex);
    const struct {
        const char* pszName;
        std::wstring field;
        const wchar_t* pszChoose; // null: cancel
        std::wstring folder, name, result;
    } cases[] = {
        {"full path, chosen", database + L"out.csv", L"chosen.txt", database, L"out.csv",
         database + L"chosen.txt"},
        {"full path, cancelled", database + L"out.csv", nullptr, database, L"out.csv", database + L"out.csv"},
        {"empty, chosen", L"", L"new.csv", database, L"", database + L"new.csv"},
        {"empty, cancelled", L"", nullptr, database, L"", L""},
        {"empty, no idx.zrx", L"", L"new.csv", program, L"", program + L"new.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        if (c.folder == program)
            FreeLibrary(hIndex);
        WCHAR szFile[2049];
        wcscpy(szFile, c.field.c_str());
        ItemDialog dialog;
        dialog.Add(new EditItem(IDC_FILE, szFile, 2049));
        dialog.Add(new ButtonItem(IDC_BROWSE, BrowseForOutputFile));
        std::wstring title, name;
        WCHAR szFolder[MAX_PATH] = {};
        RunDialog(dialog, [&](DialogUser& user) {
            user.ClickToOpen(IDC_BROWSE);
            title = user.Text(0);
            name = user.Text(cmb13); // the Explorer-style name field
            user.Send(0, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(szFolder));
            if (c.pszChoose)
                user.Send(cmb13, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.pszChoose));
            user.Command(c.pszChoose ? IDOK : IDCANCEL);
            user.PressEnter();
        });
        EXPECT_EQ(L"Choose the Output File", title);
        EXPECT_EQ(c.folder, szFolder + std::wstring(L"\\"));
        EXPECT_EQ(c.name, name);
        EXPECT_EQ(c.result, szFile);
    }
}

} // namespace
