// tests/dialog/settings_dialog_test.cpp: the settings dialog as the host's
// Configure shows it, worked by a user: what it opens with, the checks after
// OK, the options string an OK gives and stores, and the ways out that store
// nothing.
//
// Every Configure asks the platform about all 65,536 code page numbers,
// which takes about 20 s under Wine, so each call here checks much: the
// checks after OK reopen the dialog without a new scan, so one call goes
// through several rounds.
#include "DialogUser.h"
#include "dialog/ItemDialog.h"
#include "filter/LibraryEntry.h"
#include "res/SettingsDialogRes.h"
#include "settings/SettingsDialog.h"
#include "settings/SettingsValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

const WCHAR kKey[] = L"Software\\Ferlo Tests\\Settings Dialog";
const WCHAR kNoFileName[] = L"Please specify a valid filename!";
const WCHAR kBadDelimiter[] = L"Delimiter is invalid!";

// The state of the dialog's buttons as one line, group by group: the output
// mode with its one-file choices | the per-record choices | the delimiter
// buttons and the Other text | the character set and the code page list.
// "C" checked, "-" not checked, lower case or "." when disabled.
const int kStateControls[] = {IDC_DATABASE_FILE,
                              IDC_SINGLE,
                              IDC_BROWSE,
                              IDC_CSV,
                              IDC_OVERWRITE,
                              IDC_WRITE_HEAD,
                              0,
                              IDC_TEXT_FILE,
                              IDC_XML_FILE,
                              IDC_HEADLINE,
                              0,
                              IDC_DELIM_SYSTEM,
                              IDC_DELIM_COMMA,
                              IDC_DELIM_OTHER,
                              IDC_OTHER_TEXT,
                              0,
                              IDC_USE_CODE_PAGE,
                              IDC_UNICODE,
                              IDC_CODE_PAGE_LIST};

std::string States(DialogUser& user)
{
    std::string states;
    for (int nId : kStateControls) {
        if (nId == 0)
            states += '|';
        else if (user.IsEnabled(nId))
            states += user.IsChecked(nId) ? 'C' : '-';
        else
            states += user.IsChecked(nId) ? 'c' : '.';
    }
    return states;
}

// What the user saw when the dialog opened.
struct Seen {
    std::string states;
    std::wstring file, otherText, systemCaption;
    std::vector<std::wstring> codePages;
    int codePage = -2;
};

Seen Look(DialogUser& user)
{
    Seen seen;
    seen.states = States(user);
    seen.file = user.Text(IDC_FILE);
    seen.otherText = user.Text(IDC_OTHER_TEXT);
    seen.systemCaption = user.Text(IDC_DELIM_SYSTEM);
    seen.codePages = user.ComboEntries(IDC_CODE_PAGE_LIST);
    seen.codePage = user.ComboSelection(IDC_CODE_PAGE_LIST);
    return seen;
}

// OK that fails the checks: the messages shown, in order, each answered;
// then the dialog opens again and the user works it.
std::vector<std::wstring> OkRefused(DialogUser& user, int nMessages)
{
    std::vector<std::wstring> messages;
    user.ClickToClose(IDOK);
    for (int i = 0; i < nMessages; ++i) {
        user.AwaitDialog();
        messages.push_back(user.AnswerMessageBox(IDOK));
    }
    user.AwaitDialog();
    return messages;
}

struct Outcome {
    std::wstring result;
    int bChanged = -1;
};

// Runs Configure with the user's script beside it. The dialog shows once
// every code page number has been asked about.
Outcome Configure(const WCHAR* pszOptions, DialogUser::Script script)
{
    DialogUser user(std::move(script), 120000);
    Outcome outcome;
    CString result;
    outcome.bChanged = ConfigureSettings(kKey, pszOptions, result);
    for (const std::string& problem : user.Finish())
        ADD_FAILURE() << problem;
    outcome.result = result.GetString() ? result.GetString() : L"";
    return outcome;
}

std::wstring Stored()
{
    WCHAR szStored[kStoredOptionsUnits];
    LoadStoredOptions(kKey, szStored);
    return szStored;
}

// An OK that passed the checks: the string returned is the one stored.
void ExpectConfirmed(const std::wstring& expected, const Outcome& ok)
{
    EXPECT_EQ(1, ok.bChanged);
    EXPECT_EQ(expected, ok.result);
    EXPECT_EQ(expected, Stored());
}

std::wstring SystemCodePageEntry()
{
    return L"System Code Page (" + std::to_wstring(GetACP()) + L")";
}

// The platform's own name of a code page.
std::wstring CodePageName(UINT nCodePage)
{
    CPINFOEXW info = {};
    return GetCPInfoExW(nCodePage, 0, &info) ? info.CodePageName : L"";
}

std::vector<UINT> g_enumerated;

BOOL CALLBACK AddEnumerated(LPWSTR pszNumber)
{
    g_enumerated.push_back(wcstoul(pszNumber, nullptr, 10));
    return TRUE;
}

// What the list must hold, worked out another way than by asking about
// every number: the system code page first, then the code pages the system
// lists as installed, by ascending number, under the system's names. Wine
// does not list UTF-7 and UTF-8, which it has.
std::vector<std::wstring> ExpectedCodePages()
{
    g_enumerated.clear();
    EnumSystemCodePagesW(AddEnumerated, CP_INSTALLED);
    for (UINT n : {CP_UTF7, CP_UTF8})
        if (IsValidCodePage(n) && std::count(g_enumerated.begin(), g_enumerated.end(), n) == 0)
            g_enumerated.push_back(n);
    std::sort(g_enumerated.begin(), g_enumerated.end());
    std::vector<std::wstring> labels = {SystemCodePageEntry()};
    for (UINT n : g_enumerated)
        labels.push_back(CodePageName(n));
    return labels;
}

// Lists of some hundred entries: the first difference says more than both.
void ExpectSameList(const std::vector<std::wstring>& expected, const std::vector<std::wstring>& seen)
{
    size_t i = 0;
    while (i < expected.size() && i < seen.size() && expected[i] == seen[i])
        ++i;
    if (i < expected.size() || i < seen.size())
        ADD_FAILURE() << "the lists differ from entry " << i << " of " << expected.size() << " expected and "
                      << seen.size()
                      << " seen: " << testing::PrintToString(i < expected.size() ? expected[i] : L"")
                      << " expected, " << testing::PrintToString(i < seen.size() ? seen[i] : L"") << " seen";
}

int IndexOf(const std::vector<std::wstring>& labels, const std::wstring& label)
{
    auto it = std::find(labels.begin(), labels.end(), label);
    return it == labels.end() ? -1 : int(it - labels.begin());
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

    static bool KeyExists()
    {
        HKEY hKey = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        RegCloseKey(hKey);
        return true;
    }
};

// Nothing stored and no options: the dialog opens on the initial values,
// with the user's list separator on the System button and the system code
// page first in the list. OK without a file name is refused with the file
// name message alone; then a file and Comma are accepted, and the string is
// built, stored and returned. The next Configure without options opens on
// what was stored; a file name of blanks passes, the Other delimiter is
// refused for an empty, a two-character and an escape-like text, each time
// with everything as the user left it, and Escape then returns the empty
// text and stores nothing.
TEST_F(SettingsDialog, OpensOnTheStoredValuesAndChecksEveryOk)
{
    Seen first;
    std::vector<std::wstring> firstMessages;
    Outcome ok = Configure(nullptr, [&](DialogUser& user) {
        first = Look(user);
        firstMessages = OkRefused(user, 1);
        user.Type(IDC_FILE, L"C:\\out\\data");
        user.Click(IDC_DELIM_COMMA);
        user.ClickToClose(IDOK);
    });
    EXPECT_EQ("C----C|c..|C--.|C--", first.states);
    WCHAR szSeparator[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, szSeparator, 8);
    EXPECT_EQ(std::wstring(L"&System '") + szSeparator + L"'", first.systemCaption);
    ExpectSameList(ExpectedCodePages(), first.codePages);
    EXPECT_EQ(0, first.codePage);
    EXPECT_EQ(L"", first.file);
    EXPECT_EQ(std::vector<std::wstring>{kNoFileName}, firstMessages);

    const std::wstring expected =
        L"[FILE=C:\\out\\data][CSV=FALSE][OVERWRITE=FALSE][WRITEHEAD=TRUE][SINGLE=FALSE]"
        L"[XML=FALSE][HEADLINE=FALSE][DELIMITER=,][CHARSET=ACP][MAP=FALSE]";
    ExpectConfirmed(expected, ok);

    Seen second, kept;
    std::vector<std::wstring> messages;
    Outcome escaped = Configure(nullptr, [&](DialogUser& user) {
        second = Look(user);
        user.Type(IDC_FILE, L"   ");
        user.Click(IDC_DELIM_OTHER);
        user.Type(IDC_OTHER_TEXT, L"");
        for (const WCHAR* pszOther : {L"ab", L"\\t", L"x"}) {
            for (const std::wstring& message : OkRefused(user, 1))
                messages.push_back(message);
            kept = Look(user);
            user.Type(IDC_OTHER_TEXT, pszOther);
        }
        // The last text, one character, is never checked: Escape leaves.
        user.PressEscape();
    });
    EXPECT_EQ("C----C|c..|-C-.|C--", second.states);
    EXPECT_EQ(L"C:\\out\\data", second.file);
    EXPECT_EQ(0, second.codePage);
    EXPECT_EQ(std::vector<std::wstring>(3, kBadDelimiter), messages);
    EXPECT_EQ("C----C|c..|--C-|C--", kept.states);
    EXPECT_EQ(L"   ", kept.file);
    EXPECT_EQ(L"\\t", kept.otherText);
    EXPECT_EQ(0, escaped.bChanged);
    EXPECT_EQ(L"", escaped.result);
    EXPECT_EQ(expected, Stored());
}

// A text of the caller's is all the dialog reads: the registry's differing
// value is not looked at, keywords count whatever their case, unknown ones
// and text outside groups count for nothing, and a code page number the
// system does not have opens the list on its first entry. The user clears
// the file name and the Other text: one OK shows both messages, file name
// first, and the dialog opens once more; the close box then returns the
// text exactly as it came.
TEST_F(SettingsDialog, CallersTextIsReadAndReturnedAsItCameWhenClosed)
{
    StoreOptions(kKey, L"[FILE=C:\\stored][DELIMITER=;]");
    const WCHAR kOptions[] = L"[file=C:\\lower][CSV=TRUE][COLOR=red][DELIMITER=X][CHARSET=12345] [x]";
    Seen seen, kept;
    std::vector<std::wstring> messages;
    Outcome closed = Configure(kOptions, [&](DialogUser& user) {
        seen = Look(user);
        user.Type(IDC_FILE, L"");
        user.Type(IDC_OTHER_TEXT, L"");
        messages = OkRefused(user, 2);
        kept = Look(user);
        user.CloseBox();
    });
    EXPECT_EQ("C--C-C|c..|--C-|C--", seen.states);
    EXPECT_EQ(L"C:\\lower", seen.file);
    EXPECT_EQ(L"X", seen.otherText);
    EXPECT_EQ(0, seen.codePage);
    EXPECT_EQ((std::vector<std::wstring>{kNoFileName, kBadDelimiter}), messages);
    EXPECT_EQ("C--C-C|c..|--C-|C--", kept.states);
    EXPECT_EQ(L"", kept.otherText);
    EXPECT_EQ(0, closed.bChanged);
    EXPECT_EQ(kOptions, closed.result);
    EXPECT_EQ(L"[FILE=C:\\stored][DELIMITER=;]", Stored());
}

// "map" in lower case is an ordinary text without groups: the dialog starts
// from the initial values with the per-record choice offered, the registry
// is not read, and Cancel after a refused OK returns "map".
TEST_F(SettingsDialog, LowerCaseMapIsNoMapRequest)
{
    StoreOptions(kKey, L"[FILE=C:\\stored][SINGLE=TRUE][CHARSET=UNICODE]");
    Seen seen;
    std::vector<std::wstring> messages;
    Outcome cancelled = Configure(L"map", [&](DialogUser& user) {
        seen = Look(user);
        messages = OkRefused(user, 1);
        user.ClickToClose(IDCANCEL);
    });
    EXPECT_EQ("C----C|c..|C--.|C--", seen.states);
    EXPECT_EQ(L"", seen.file);
    EXPECT_EQ(std::vector<std::wstring>{kNoFileName}, messages);
    EXPECT_EQ(0, cancelled.bChanged);
    EXPECT_EQ(L"map", cancelled.result);
}

// The map request shows the stored settings with per-record files turned
// off and out of reach; OK builds and stores a map string. The System
// button follows the user's list separator, here a semicolon. Cancelled on
// an empty registry, the request returns the empty text, stores nothing,
// and the key exists all the same.
TEST_F(SettingsDialog, MapRequestOffersNoPerRecordFiles)
{
    WCHAR szSeparator[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, szSeparator, 8);
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, L";"));
    StoreOptions(kKey, L"[FILE=C:\\m][SINGLE=TRUE][XML=TRUE][HEADLINE=TRUE][CHARSET=UNICODE]");
    Seen seen;
    Outcome ok = Configure(L"MAP", [&](DialogUser& user) {
        seen = Look(user);
        user.ClickToClose(IDOK);
    });
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, szSeparator);
    EXPECT_EQ("C.---C|.cc|C--.|-C.", seen.states);
    EXPECT_EQ(L"&System ';'", seen.systemCaption);
    EXPECT_EQ(0, seen.codePage);
    const std::wstring expected = L"[FILE=C:\\m][CSV=FALSE][OVERWRITE=FALSE][WRITEHEAD=TRUE][SINGLE=FALSE]"
                                  L"[XML=TRUE][HEADLINE=TRUE][DELIMITER=LS][CHARSET=UNICODE][MAP=TRUE]";
    ExpectConfirmed(expected, ok);

    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    Outcome cancelled = Configure(L"MAP", [&](DialogUser& user) { user.ClickToClose(IDCANCEL); });
    EXPECT_EQ(0, cancelled.bChanged);
    EXPECT_EQ(L"", cancelled.result);
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(L"", Stored());
}

// A string built under a map request is no map request: per-record files
// are offered again. It opens with XML chosen but out of reach behind the
// one-file mode, and on code page 850's own entry. The user ticks CSV, then
// turns to per-record files with no file name and "[" as delimiter: the CSV
// box is disabled now but its value is stored, and the map flag is off.
TEST_F(SettingsDialog, MapStringIsNoMapRequestAndDisabledValuesAreKept)
{
    ASSERT_TRUE(IsValidCodePage(850));
    Seen seen;
    Outcome ok =
        Configure(L"[FILE=C:\\x][XML=TRUE][SINGLE=FALSE][CHARSET=850][MAP=TRUE]", [&](DialogUser& user) {
            seen = Look(user);
            user.Click(IDC_CSV);
            user.Click(IDC_SINGLE);
            user.Type(IDC_FILE, L"");
            user.Click(IDC_DELIM_OTHER);
            user.Type(IDC_OTHER_TEXT, L"[");
            user.ClickToClose(IDOK);
        });
    EXPECT_EQ("C----C|.c.|C--.|C--", seen.states);
    EXPECT_EQ(IndexOf(seen.codePages, CodePageName(850)), seen.codePage);
    EXPECT_LT(0, seen.codePage);
    const std::wstring expected = L"[FILE=][CSV=TRUE][OVERWRITE=FALSE][WRITEHEAD=TRUE][SINGLE=TRUE]"
                                  L"[XML=TRUE][HEADLINE=FALSE][DELIMITER=[][CHARSET=850][MAP=FALSE]";
    ExpectConfirmed(expected, ok);
}

// The window system picks the template of the thread's language, and the
// English one where the module has none. Windows goes by the thread's user
// interface language, Wine by the thread's locale: the test sets both.
TEST(SettingsTemplate, FollowsTheThreadsLanguage)
{
    g_hInstance = LoadLibraryExW(L"ferlo.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, g_hInstance);
    const LANGID originalLanguage = GetThreadUILanguage();
    const LCID originalLocale = GetThreadLocale();
    const struct {
        LANGID language;
        const wchar_t* cancel;
    } kCases[] = {
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), L"Cancel"},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), L"Abbrechen"},
        {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), L"Annuler"},
        {MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), L"\u30AD\u30E3\u30F3\u30BB\u30EB"},
        {MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH), L"Cancel"},
    };
    for (const auto& c : kCases) {
        SetThreadUILanguage(c.language);
        SetThreadLocale(MAKELCID(c.language, SORT_DEFAULT));
        std::wstring cancel;
        DialogUser user([&](DialogUser& u) {
            cancel = u.Text(IDCANCEL);
            u.ClickToClose(IDCANCEL);
        });
        ItemDialog dialog;
        dialog.DoModal(nullptr, g_hInstance, IDD_SETTINGS);
        for (const std::string& problem : user.Finish())
            ADD_FAILURE() << problem;
        EXPECT_EQ(c.cancel, cancel) << std::hex << c.language;
    }
    SetThreadUILanguage(originalLanguage);
    SetThreadLocale(originalLocale);
}

} // namespace
