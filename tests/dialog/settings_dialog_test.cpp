// tests/dialog/settings_dialog_test.cpp: the settings dialog as the host's
// Configure shows it, worked by a user: what it opens with, the options
// string an OK gives and stores, and a cancel that stores nothing.
//
// Every Configure asks the platform about all 65,536 code page numbers,
// which takes about 20 s under Wine, so each call here checks much.
#include "DialogUser.h"
#include "filter/LibraryEntry.h"
#include "res/SettingsDialogRes.h"
#include "settings/SettingsDialog.h"
#include "settings/SettingsValues.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const WCHAR kKey[] = L"Software\\Ferlo Tests\\Settings Dialog";

// What the user saw when the dialog opened.
struct Seen {
    std::vector<bool> checked, enabled;
    std::wstring systemCaption, file;
    std::vector<std::wstring> codePages;
    int codePage = -2;
};

const int kControls[] = {IDC_DATABASE_FILE, IDC_SINGLE,       IDC_BROWSE,       IDC_CSV,
                         IDC_WRITE_HEAD,    IDC_TEXT_FILE,    IDC_HEADLINE,     IDC_DELIM_SYSTEM,
                         IDC_DELIM_COMMA,   IDC_OTHER_TEXT,   IDC_USE_CODE_PAGE, IDC_CODE_PAGE_LIST};

void Look(DialogUser& user, Seen& seen)
{
    for (int nId : kControls) {
        seen.checked.push_back(user.IsChecked(nId));
        seen.enabled.push_back(user.IsEnabled(nId));
    }
    seen.systemCaption = user.Text(IDC_DELIM_SYSTEM);
    seen.file = user.Text(IDC_FILE);
    seen.codePages = user.ComboEntries(IDC_CODE_PAGE_LIST);
    seen.codePage = user.ComboSelection(IDC_CODE_PAGE_LIST);
}

// Runs Configure with the user's script beside it: its result and flag.
// The dialog shows once every code page number has been asked about.
std::wstring Configure(const WCHAR* pszOptions, DialogUser::Script script, int* pbChanged)
{
    DialogUser user(std::move(script), 120000);
    CString result;
    *pbChanged = ConfigureSettings(kKey, pszOptions, result);
    for (const std::string& problem : user.Finish())
        ADD_FAILURE() << problem;
    return result.GetString() ? result.GetString() : L"";
}

std::wstring Stored()
{
    WCHAR szStored[kStoredOptionsUnits];
    LoadStoredOptions(kKey, szStored);
    return szStored;
}

class SettingsDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The dialog and its strings are the product module's resources.
        g_hInstance = LoadLibraryExW(L"ferlo.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, g_hInstance);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
};

// No options and nothing stored: the dialog opens on the initial values,
// with the user's list separator on the System button and the system code
// page first in the list. The user names a file, chooses Comma and presses
// OK: the string is built, stored and returned. The next Configure without
// options opens on what was stored; Escape then returns the empty text and
// stores nothing.
TEST_F(SettingsDialog, OkStoresWhatTheUserChoseAndTheNextRunOpensOnIt)
{
    Seen first;
    int bChanged = -1;
    std::wstring result = Configure(nullptr,
                                    [&](DialogUser& user) {
                                        Look(user, first);
                                        user.Type(IDC_FILE, L"C:\\out\\data");
                                        user.Click(IDC_DELIM_COMMA);
                                        user.ClickToClose(IDOK);
                                    },
                                    &bChanged);

    //                                 2017  2021   Browse CSV    Head  Text   Headl. System Comma  Other  CP    List
    const std::vector<bool> checked = {true, false, false, false, true, true, false, true, false, false, true, false};
    const std::vector<bool> enabled = {true, true, true, true, true, false, false, true, true, false, true, true};
    EXPECT_EQ(checked, first.checked);
    EXPECT_EQ(enabled, first.enabled);
    WCHAR szSeparator[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, szSeparator, 8);
    EXPECT_EQ(std::wstring(L"&System '") + szSeparator + L"'", first.systemCaption);
    ASSERT_GT(first.codePages.size(), 2u);
    EXPECT_EQ(L"System Code Page (" + std::to_wstring(GetACP()) + L")", first.codePages[0]);
    EXPECT_EQ(0, first.codePage);
    EXPECT_EQ(L"", first.file);

    const std::wstring expected = L"[FILE=C:\\out\\data][CSV=FALSE][OVERWRITE=FALSE][WRITEHEAD=TRUE][SINGLE=FALSE]"
                                  L"[XML=FALSE][HEADLINE=FALSE][DELIMITER=,][CHARSET=ACP][MAP=FALSE]";
    EXPECT_EQ(1, bChanged);
    EXPECT_EQ(expected, result);
    EXPECT_EQ(expected, Stored());

    Seen second;
    result = Configure(nullptr,
                       [&](DialogUser& user) {
                           Look(user, second);
                           user.PressEscape();
                       },
                       &bChanged);
    EXPECT_EQ(L"C:\\out\\data", second.file);
    ASSERT_EQ(checked.size(), second.checked.size());
    EXPECT_FALSE(second.checked[7]); // System
    EXPECT_TRUE(second.checked[8]);  // Comma
    EXPECT_EQ(0, bChanged);
    EXPECT_EQ(L"", result);
    EXPECT_EQ(expected, Stored());
}

} // namespace
