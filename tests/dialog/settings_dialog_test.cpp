// tests/dialog/settings_dialog_test.cpp: the settings dialog as Configure
// shows it: what it opens with, the checks after OK, what OK returns and
// stores, the ways out. Each Configure asks about all 65,536 code page
// numbers, some 20 s under Wine, so each call checks much: a refused OK
// shows the dialog again without a new scan.
#include "filter/LibraryEntry.h"
#include "res/SettingsDialogRes.h"
#include "settings/SettingsDialog.h"
#include "settings/SettingsValues.h"

#include "dialog_fixture.h"

#include <algorithm>

namespace
{

const WCHAR kKey[] = L"Software\\Ferlo Tests\\Settings Dialog";
const std::string kNoFileName = "Please specify a valid filename!", kBadDelimiter = "Delimiter is invalid!";

// What the user sees: "C" checked, "-" not, "c" and "." disabled, for the
// output mode with its one-file choices | the per-record choices | the
// delimiters and the Other text | the character set and the code page
// list; then the file name, the Other text and the list's selection.
std::string Look(DialogUser& user)
{
    return user.States({IDC_DATABASE_FILE, IDC_SINGLE, IDC_BROWSE, IDC_CSV, IDC_OVERWRITE, IDC_WRITE_HEAD, 0,
                        IDC_TEXT_FILE, IDC_XML_FILE, IDC_HEADLINE, 0, IDC_DELIM_SYSTEM, IDC_DELIM_COMMA,
                        IDC_DELIM_OTHER, IDC_OTHER_TEXT, 0, IDC_USE_CODE_PAGE, IDC_UNICODE,
                        IDC_CODE_PAGE_LIST}) +
           " [" + Narrow(user.Text(IDC_FILE)) + "] [" + Narrow(user.Text(IDC_OTHER_TEXT)) + "] " +
           std::to_string(user.Send(IDC_CODE_PAGE_LIST, CB_GETCURSEL));
}

// OK refused: the messages, each answered, then the dialog shows again.
std::string OkRefused(DialogUser& user, int nMessages)
{
    std::string messages;
    user.ClickToClose(IDOK);
    for (int i = 0; i < nMessages; ++i) {
        user.AwaitDialog();
        messages += Narrow(user.Text(0xFFFF)) + " ";
        user.Command(IDOK);
    }
    user.AwaitDialog();
    return messages;
}

std::wstring Stored()
{
    WCHAR szStored[kStoredOptionsUnits];
    LoadStoredOptions(kKey, szStored);
    return szStored;
}

// Configure with the user beside it, as "result text | stored options".
std::wstring Configure(const WCHAR* pszOptions, DialogUser::Script script)
{
    DialogUser user(std::move(script), GetCurrentThreadId(), 120000);
    CString result;
    int bChanged = ConfigureSettings(kKey, pszOptions, result);
    for (const std::string& problem : user.Finish())
        ADD_FAILURE() << problem;
    return std::to_wstring(bChanged) + L" " + (result.GetString() ? result.GetString() : L"") + L" | " +
           Stored();
}

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

// The list worked out another way than by asking about every number: the
// system code page, then those listed as installed, by number, under the
// system's names. Wine does not list UTF-7 and UTF-8, which it has.
void ExpectCodePageList(const std::vector<std::wstring>& seen)
{
    g_enumerated = {CP_UTF7, CP_UTF8};
    EnumSystemCodePagesW(AddEnumerated, CP_INSTALLED);
    std::sort(g_enumerated.begin(), g_enumerated.end());
    g_enumerated.erase(std::unique(g_enumerated.begin(), g_enumerated.end()), g_enumerated.end());
    std::vector<std::wstring> expected = {L"System Code Page (" + std::to_wstring(GetACP()) + L")"};
    for (UINT n : g_enumerated)
        expected.push_back(CodePageName(n));
    EXPECT_EQ(expected, seen);
}

std::wstring ListSeparator()
{
    WCHAR sz[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, sz, 8);
    return sz;
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

// No options, nothing stored: the initial values, the user's list separator
// on the System button, the code page list on its first entry. OK without a
// file name is refused with that message alone; the next OK's string is
// returned and stored.
TEST_F(SettingsDialog, OpensOnTheInitialValuesAndStoresWhatOkBuilds)
{
    std::string first, messages;
    std::wstring caption;
    std::vector<std::wstring> list;
    std::wstring ok = Configure(nullptr, [&](DialogUser& user) {
        first = Look(user);
        caption = user.Text(IDC_DELIM_SYSTEM);
        list = user.ComboEntries(IDC_CODE_PAGE_LIST);
        messages = OkRefused(user, 1);
        user.Type(IDC_FILE, L"C:\\out\\data");
        user.Click(IDC_DELIM_COMMA);
        user.ClickToClose(IDOK);
    });
    EXPECT_EQ("C----C|c..|C--.|C-- [] [] 0", first);
    EXPECT_EQ(L"&System '" + ListSeparator() + L"'", caption);
    ExpectCodePageList(list);
    EXPECT_EQ(kNoFileName + " ", messages);
    const std::wstring built =
        L"[FILE=C:\\out\\data][CSV=FALSE][OVERWRITE=FALSE][WRITEHEAD=TRUE][SINGLE=FALSE]"
        L"[XML=FALSE][HEADLINE=FALSE][DELIMITER=,][CHARSET=ACP][MAP=FALSE]";
    EXPECT_EQ(L"1 " + built + L" | " + built, ok);
}

// A map request opens on the stored values; a code page the system does not
// have opens the list on its first entry. A file name of blanks passes; an
// empty, a two-character and an escape-like Other text are each refused,
// all kept as the user left it. Escape checks nothing, returns the empty
// text and stores nothing.
TEST_F(SettingsDialog, MapRequestOpensOnTheStoredValuesAndRefusesOtherTexts)
{
    StoreOptions(kKey, L"[FILE=C:\\out][DELIMITER=,][CHARSET=12345]");
    std::string first, kept, messages;
    std::wstring escaped = Configure(L"MAP", [&](DialogUser& user) {
        first = Look(user);
        user.Type(IDC_FILE, L"   ");
        user.Click(IDC_DELIM_OTHER);
        user.Type(IDC_OTHER_TEXT, L"");
        for (const WCHAR* pszOther : {L"ab", L"\\t", L"x"}) {
            messages += OkRefused(user, 1);
            kept = Look(user);
            user.Type(IDC_OTHER_TEXT, pszOther);
        }
        user.PressEscape();
    });
    EXPECT_EQ("C.---C|c..|-C-.|C-- [C:\\out] [] 0", first);
    EXPECT_EQ(kBadDelimiter + " " + kBadDelimiter + " " + kBadDelimiter + " ", messages);
    EXPECT_EQ("C.---C|c..|--C-|C-- [   ] [\\t] 0", kept);
    EXPECT_EQ(L"0  | [FILE=C:\\out][DELIMITER=,][CHARSET=12345]", escaped);
}

// "map" in lower case is a caller's text, no map request: the initial
// values with per-record files offered, the registry not read; the close
// box after a refused OK returns the text as it came.
TEST_F(SettingsDialog, LowerCaseMapIsNoMapRequest)
{
    StoreOptions(kKey, L"[FILE=C:\\stored][SINGLE=TRUE]");
    std::string seen, messages;
    std::wstring closed = Configure(L"map", [&](DialogUser& user) {
        seen = Look(user);
        messages = OkRefused(user, 1);
        user.CloseBox();
    });
    EXPECT_EQ("C----C|c..|C--.|C-- [] [] 0", seen);
    EXPECT_EQ(kNoFileName + " ", messages);
    EXPECT_EQ(L"0 map | [FILE=C:\\stored][SINGLE=TRUE]", closed);
}

// The map request shows the stored settings with per-record files turned
// off and out of reach; OK stores a map string. The System button follows
// the user's list separator, here a semicolon.
TEST_F(SettingsDialog, MapRequestOffersNoPerRecordFiles)
{
    std::wstring separator = ListSeparator(), caption;
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, L";"));
    StoreOptions(kKey, L"[FILE=C:\\m][SINGLE=TRUE][XML=TRUE][HEADLINE=TRUE][CHARSET=UNICODE]");
    std::string seen;
    std::wstring ok = Configure(L"MAP", [&](DialogUser& user) {
        seen = Look(user);
        caption = user.Text(IDC_DELIM_SYSTEM);
        user.ClickToClose(IDOK);
    });
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, separator.c_str());
    EXPECT_EQ("C.---C|.cc|C--.|-C. [C:\\m] [] 0", seen);
    EXPECT_EQ(L"&System ';'", caption);
    const std::wstring built = L"[FILE=C:\\m][CSV=FALSE][OVERWRITE=FALSE][WRITEHEAD=TRUE][SINGLE=FALSE]"
                               L"[XML=TRUE][HEADLINE=TRUE][DELIMITER=LS][CHARSET=UNICODE][MAP=TRUE]";
    EXPECT_EQ(L"1 " + built + L" | " + built, ok);
}

// A caller's text is all the dialog reads, not the registry: keywords in
// any case, unknown ones and text outside groups ignored. A string built
// under a map request is none: per-record files offered, XML checked but
// out of reach, code page 850's own entry. One OK shows both messages, the
// file name's first. Per-record files need no file name, "[" is a
// delimiter, and CSV, ticked and then disabled, is stored all the same.
TEST_F(SettingsDialog, CallersTextIsReadAndAMapStringIsNoMapRequest)
{
    StoreOptions(kKey, L"[FILE=C:\\stored][DELIMITER=;]");
    std::string seen, kept, messages;
    std::vector<std::wstring> list;
    std::wstring ok =
        Configure(L"[file=C:\\x][XML=TRUE][SINGLE=FALSE][COLOR=red][DELIMITER=X][CHARSET=850][MAP=TRUE] [x]",
                  [&](DialogUser& user) {
                      seen = Look(user);
                      list = user.ComboEntries(IDC_CODE_PAGE_LIST);
                      user.Type(IDC_FILE, L"");
                      user.Type(IDC_OTHER_TEXT, L"");
                      messages = OkRefused(user, 2);
                      kept = Look(user);
                      user.Click(IDC_CSV);
                      user.Click(IDC_SINGLE);
                      user.Type(IDC_OTHER_TEXT, L"[");
                      user.ClickToClose(IDOK);
                  });
    auto n850 = std::find(list.begin(), list.end(), CodePageName(850)) - list.begin();
    EXPECT_LT(0, n850);
    EXPECT_EQ("C----C|.c.|--C-|C-- [C:\\x] [X] " + std::to_string(n850), seen);
    EXPECT_EQ(kNoFileName + " " + kBadDelimiter + " ", messages);
    EXPECT_EQ("C----C|.c.|--C-|C-- [] [] " + std::to_string(n850), kept);
    const std::wstring built = L"[FILE=][CSV=TRUE][OVERWRITE=FALSE][WRITEHEAD=TRUE][SINGLE=TRUE]"
                               L"[XML=TRUE][HEADLINE=FALSE][DELIMITER=[][CHARSET=850][MAP=FALSE]";
    EXPECT_EQ(L"1 " + built + L" | " + built, ok);
}

} // namespace
