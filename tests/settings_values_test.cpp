// tests/settings_values_test.cpp: the settings dialog's values read from and built into options strings,
// the two in a round trip over random choices, and the options string kept in the registry.
#include "fields.h"
#include "registry_sandbox.h"
#include "settings/SettingsValues.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{

using Values = SettingsValues;

Fields Describe(const Values& v)
{
    Fields fields = {{"file", Narrow(v.szFile)}, {"other", Narrow(v.szOtherDelimiter)}};
    const std::pair<const char*, int32_t> numbers[] = {
        {"csv", v.bCsv},          {"overwrite", v.bOverwrite},      {"writehead", v.bWriteHead},
        {"single", v.bSingle},    {"database", v.bDatabaseFile},    {"xml", v.bXml},
        {"text", v.bTextFile},    {"headline", v.bHeadline},        {"system", v.bDelimSystem},
        {"comma", v.bDelimComma}, {"semicolon", v.bDelimSemicolon}, {"tab", v.bDelimTab},
        {"space", v.bDelimSpace}, {"otherchosen", v.bDelimOther},   {"usecp", v.bUseCodePage},
        {"unicode", v.bUnicode},  {"wanted", v.nWantedCodePage},    {"index", v.nCodePageIndex},
        {"notmap", v.bNotMap}};
    for (const auto& [pszName, n] : numbers)
        fields[pszName] = std::to_string(n);
    return fields;
}

TEST(ReadSettingsValues, EachKeywordSetsItsValues)
{
    const struct {
        const char* label;
        WString options;
        std::string changes; // from the initial values
    } rows[] = {
        {"nothing", WSTR(""), ""},
        {"a built string",
         WSTR("[FILE=C:\\out\\data][CSV=TRUE][OVERWRITE=TRUE][WRITEHEAD=FALSE][SINGLE=TRUE][XML=TRUE]"
              "[HEADLINE=TRUE][DELIMITER=;][CHARSET=1252][MAP=TRUE]"),
         "file=C:\\out\\data,csv=1,overwrite=1,writehead=0,single=1,database=0,xml=1,text=0,headline=1,"
         "semicolon=1,system=0,wanted=1252"},
        {"keys and words in any case", WSTR("[file=a][csv=true][charset=unicode][delimiter=\\t]"),
         "file=a,csv=1,unicode=1,usecp=0,tab=1,system=0"},
        {"CHARSET groups add and never clear", WSTR("[CHARSET=UNICODE][CHARSET=ACP][CHARSET=850]"),
         "unicode=1,usecp=0,index=0,wanted=850"},
        {"a CHARSET without digits", WSTR("[CHARSET=abc]"), "wanted=0"},
        {"LS and long values keep System", WSTR("[DELIMITER=ls][DELIMITER=ab][DELIMITER=]"), ""},
        {"one character is Other", WSTR("[DELIMITER=|]"), "otherchosen=1,other=|,system=0"},
        {"blank, comma, semicolon: each its own", WSTR("[DELIMITER= ][DELIMITER=,][DELIMITER=;]"),
         "space=1,comma=1,semicolon=1,system=0"},
        {"a FILE value that does not fit", WSTR("[FILE=a][FILE=") + WString(2049, 'n') + WSTR("]"), ""},
        {"FILE of 2048 units", WSTR("[FILE=") + WString(2048, 'n') + WSTR("]"),
         "file=" + std::string(2048, 'n')},
        {"a value ends at ]", WSTR("[FILE=a]b]"), "file=a"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        Values read;
        Fields expected = Changed(Describe(read), row.changes);
        WString options = row.options;
        ReadSettingsValues(options.c_str(), read);
        EXPECT_EQ(expected, Describe(read));
        EXPECT_EQ(row.options, options);
    }
}

TEST(BuildOptionsString, PiecesInTheirOrder)
{
    const WString sInitial =
        WSTR("[FILE=C:\\out\\data.txt][CSV=FALSE][OVERWRITE=FALSE][WRITEHEAD=TRUE][SINGLE=FALSE]"
             "[XML=FALSE][HEADLINE=FALSE][DELIMITER=LS][CHARSET=ACP][MAP=FALSE]");
    const struct {
        const char* label;
        void (*change)(Values&);
        WString from, to; // the initial string with from replaced by to
    } rows[] = {
        {"initial values", [](Values&) {}, {}, {}},
        {"all flags on", [](Values& v) { v.bCsv = v.bOverwrite = v.bSingle = v.bXml = v.bHeadline = 1; },
         WSTR("[CSV=FALSE][OVERWRITE=FALSE][WRITEHEAD=TRUE][SINGLE=FALSE][XML=FALSE][HEADLINE=FALSE]"),
         WSTR("[CSV=TRUE][OVERWRITE=TRUE][WRITEHEAD=TRUE][SINGLE=TRUE][XML=TRUE][HEADLINE=TRUE]")},
        {"System before the rest", [](Values& v) { v.bDelimComma = v.bDelimTab = 1; }, {}, {}},
        {"Comma, Semicolon", [](Values& v) { v.bDelimSystem = 0, v.bDelimComma = v.bDelimSemicolon = 1; },
         WSTR("LS]"), WSTR(",]")},
        {"Space before Tab", [](Values& v) { v.bDelimSystem = 0, v.bDelimSpace = v.bDelimTab = 1; },
         WSTR("LS]"), WSTR(" ]")},
        {"Tab as \\T", [](Values& v) { v.bDelimSystem = 0, v.bDelimTab = 1; }, WSTR("LS]"), WSTR("\\T]")},
        {"Other as typed", [](Values& v) { v.bDelimSystem = 0, wcscpy(v.szOtherDelimiter, WSTR("]")); },
         WSTR("LS]"), WSTR("]]")},
        {"Unicode first", [](Values& v) { v.bUnicode = 1; }, WSTR("=ACP]"), WSTR("=UNICODE]")},
        {"a listed code page", [](Values& v) { v.nCodePageIndex = 3; }, WSTR("=ACP]"), WSTR("=4294967295]")},
        {"map export", [](Values& v) { v.bNotMap = 0; }, WSTR("[MAP=FALSE]"), WSTR("[MAP=TRUE]")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        Values v;
        wcscpy(v.szFile, WSTR("C:\\out\\data.txt"));
        v.nCodePageIndex = 0;
        row.change(v);
        WString expected = sInitial;
        if (!row.from.empty())
            expected.replace(expected.find(row.from), row.from.size(), row.to);
        WCHAR szBuilt[kBuiltOptionsUnits];
        BuildOptionsString(v, 4294967295u, szBuilt);
        EXPECT_EQ(expected, szBuilt);
    }
}

// Texts without their terminator are read no further than their members.
TEST(BuildOptionsString, UnterminatedValuesStayInTheirMembers)
{
    Values v;
    std::fill(std::begin(v.szFile), std::end(v.szFile), WSTR('f'));
    std::fill(std::begin(v.szOtherDelimiter), std::end(v.szOtherDelimiter), WSTR('o'));
    v.bDelimSystem = 0;
    WCHAR szBuilt[kBuiltOptionsUnits];
    BuildOptionsString(v, 0, szBuilt);
    const WString built = szBuilt;
    EXPECT_EQ(WSTR("[FILE=") + WString(2048, 'f') + WSTR("]["), built.substr(0, 2056));
    EXPECT_NE(WString::npos, built.find(WSTR("[DELIMITER=") + WString(31, 'o') + WSTR("]")));
}

// The dialog's code page list: entry 0 is the system code page, then ascending ones, the system's among them.
const std::vector<UINT>& CodePageList()
{
    static const std::vector<UINT> s_list = {GetACP(), 437, 850, 1250, 1252, 65001};
    return s_list;
}

// The choices the dialog would show: the first delimiter flag set, and the character set by code page
// number, the wanted number taking the first entry after entry 0 that has it.
std::string Choices(const Values& v)
{
    const int32_t delimiters[] = {v.bDelimSystem, v.bDelimComma, v.bDelimSemicolon, v.bDelimSpace,
                                  v.bDelimTab};
    auto nDelimiter = std::find(std::begin(delimiters), std::end(delimiters), 1) - delimiters;
    std::string s = Narrow(v.szFile) + " delimiter " + std::to_string(nDelimiter) +
                    (nDelimiter == 5 ? Narrow(v.szOtherDelimiter) : "");
    for (int32_t b :
         {v.bCsv, v.bOverwrite, v.bWriteHead, v.bSingle, v.bDatabaseFile, v.bXml, v.bTextFile, v.bHeadline})
        s += std::to_string(b);
    const std::vector<UINT>& list = CodePageList();
    auto pWanted = std::find(list.begin() + 1, list.end(), static_cast<UINT>(v.nWantedCodePage));
    if (v.bUnicode)
        return s + " unicode";
    if (v.nCodePageIndex > 0 || (v.nCodePageIndex == -1 && pWanted != list.end()))
        return s + " cp" + std::to_string(v.nCodePageIndex > 0 ? list[v.nCodePageIndex] : *pWanted);
    return s + " acp";
}

// Random choices as the dialog leaves them: one delimiter flag, Unicode or an entry of the list. No text
// holds "]" (the grammar cannot carry it); Other is no comma, semicolon or blank (they have own buttons).
Values RandomValues(std::mt19937& random)
{
    const WString sUnits = WSTR("abcXYZ019 .,;:=[\\/\t|\"'\x00E9\x20AC\xD83D\xDE00");
    auto Pick = [&](size_t n) { return static_cast<int>(random() % n); };
    Values v;
    for (int n = Pick(4) ? Pick(40) : 2048, i = 0; i < n; ++i)
        v.szFile[i] = sUnits[Pick(sUnits.size())];
    for (int32_t* pFlag : {&v.bCsv, &v.bOverwrite, &v.bWriteHead, &v.bSingle, &v.bXml, &v.bHeadline})
        *pFlag = Pick(2);
    v.bDatabaseFile = 1 - v.bSingle;
    v.bTextFile = 1 - v.bXml;
    int32_t* delimiters[] = {&v.bDelimSystem, &v.bDelimComma, &v.bDelimSemicolon,
                             &v.bDelimSpace,  &v.bDelimTab,   &v.bDelimOther};
    v.bDelimSystem = 0;
    *delimiters[Pick(6)] = 1;
    do
        v.szOtherDelimiter[0] = sUnits[Pick(sUnits.size())];
    while (wcschr(WSTR(",; "), v.szOtherDelimiter[0]));
    v.bUnicode = Pick(4) == 0;
    v.bUseCodePage = 1 - v.bUnicode;
    v.nCodePageIndex = Pick(CodePageList().size());
    return v;
}

TEST(SettingsRoundTrip, RandomChoicesComeBack)
{
    std::mt19937 random(20261205);
    for (int i = 0; i < 3000; ++i) {
        Values v = RandomValues(random);
        WCHAR szBuilt[kBuiltOptionsUnits];
        BuildOptionsString(v, CodePageList()[v.nCodePageIndex], szBuilt);
        Values back;
        ReadSettingsValues(szBuilt, back);
        ASSERT_EQ(Choices(v), Choices(back)) << i << ": " << Narrow(szBuilt);
    }
}

TEST(StoredOptions, KeptBelowTheHostsKeyOrTheDefaultKey)
{
    RegistrySandbox sandbox;
    StoreOptions(WSTR("Software\\Host"), WSTR("[CSV=TRUE]"));
    StoreOptions(nullptr, WSTR("[CSV=FALSE]"));
    const struct {
        const WCHAR* key;
        WString stored;
    } rows[] = {{WSTR("Software\\Host\\Filter\\Ferlo"), WSTR("[CSV=TRUE]")},
                {WSTR("Software\\Tarnholm GmbH\\ZRIOFilter\\Ferlo"), WSTR("[CSV=FALSE]")}};
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.key));
        HKEY hKey = OpenKey(row.key);
        WCHAR szValue[64];
        DWORD cb = sizeof szValue, dwType = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(hKey, WSTR("Settings"), nullptr, &dwType,
                                                  reinterpret_cast<BYTE*>(szValue), &cb));
        RegCloseKey(hKey);
        EXPECT_EQ(DWORD{REG_SZ}, dwType);
        EXPECT_EQ((row.stored.size() + 1) * sizeof(WCHAR), cb) << "the terminator is stored";
        EXPECT_EQ(row.stored, szValue);
    }
    WCHAR szLoaded[kStoredOptionsUnits];
    LoadStoredOptions(WSTR("Software\\Host"), szLoaded);
    EXPECT_EQ(WString(WSTR("[CSV=TRUE]")), szLoaded);
}

// A read gives the whole stored text up to 32768 bytes, with or without a terminator; a longer value, a
// missing value or key, and a key that cannot be opened give the empty text.
TEST(StoredOptions, ReadLimits)
{
    const struct {
        const char* label;
        const WCHAR* hostKey;
        DWORD dwType;
        WString value;
        size_t cbStored;
        WString loaded;
    } rows[] = {{"32768 bytes", WSTR("A"), REG_SZ, WString(16383, 'v'), 32768, WString(16383, 'v')},
                {"32770 bytes", WSTR("B"), REG_SZ, WString(16384, 'v'), 32770, WSTR("")},
                {"no terminator", WSTR("C"), REG_BINARY, WSTR("abc"), 6, WSTR("abc")},
                {"half a unit", WSTR("D"), REG_BINARY, WSTR("abc"), 7, WSTR("abc")},
                {"no value", WSTR("E"), REG_NONE, WSTR(""), 0, WSTR("")},
                {"a key that cannot be opened", WSTR(""), REG_NONE, WSTR(""), 0, WSTR("")}};
    RegistrySandbox sandbox;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        if (row.dwType != REG_NONE) {
            HKEY hKey = OpenKey((WString(row.hostKey) + WSTR("\\Filter\\Ferlo")).c_str());
            RegSetValueExW(hKey, WSTR("Settings"), 0, row.dwType,
                           reinterpret_cast<const BYTE*>(row.value.c_str()),
                           static_cast<DWORD>(row.cbStored));
            RegCloseKey(hKey);
        }
        WCHAR szLoaded[kStoredOptionsUnits];
        std::fill(std::begin(szLoaded), std::end(szLoaded), WSTR('x'));
        LoadStoredOptions(row.hostKey, szLoaded);
        EXPECT_EQ(row.loaded, szLoaded);
    }
    DWORD dwDisposition = 0;
    RegCloseKey(OpenKey(WSTR("E\\Filter\\Ferlo"), &dwDisposition));
    EXPECT_EQ(DWORD{REG_OPENED_EXISTING_KEY}, dwDisposition) << "the read created the key";
}

} // namespace
