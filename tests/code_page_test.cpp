// tests/code_page_test.cpp: the code page functions the writers and the
// settings rely on, pinned the way Windows behaves: which code pages exist
// and their names, the contract of WideCharToMultiByte at its edges, and the
// system code page of a locale.
#include "writer_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

#if defined(_WIN32)
bool UnderWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
#else
bool UnderWine()
{
    return false;
}
#endif

// Wine names its code pages in words of its own ("ANSI Latin 1" for
// "1252  (ANSI - Latin I)"), without the number.
bool WineNamesCodePagesItsOwnWay()
{
    return UnderWine();
}

// Wine 8 has no GB18030 (54936); Windows and Linux have.
bool WineLacksGb18030()
{
    return UnderWine();
}

struct CodePageRow {
    UINT id;
    const WCHAR* name;
    UINT maxCharSize;
    WCHAR unicodeDefault;
};

const CodePageRow kCodePages[] = {
    {437, WSTR("437   (OEM - United States)"), 1, '?'},
    {850, WSTR("850   (OEM - Multilingual Latin I)"), 1, '?'},
    {852, WSTR("852   (OEM - Latin II)"), 1, '?'},
    {866, WSTR("866   (OEM - Russian)"), 1, '?'},
    {874, WSTR("874   (ANSI/OEM - Thai)"), 1, '?'},
    {932, WSTR("932   (ANSI/OEM - Japanese Shift-JIS)"), 2, 0x30FB},
    {936, WSTR("936   (ANSI/OEM - Simplified Chinese GBK)"), 2, '?'},
    {949, WSTR("949   (ANSI/OEM - Korean)"), 2, '?'},
    {950, WSTR("950   (ANSI/OEM - Traditional Chinese Big5)"), 2, '?'},
    {1250, WSTR("1250  (ANSI - Central Europe)"), 1, '?'},
    {1251, WSTR("1251  (ANSI - Cyrillic)"), 1, '?'},
    {1252, WSTR("1252  (ANSI - Latin I)"), 1, '?'},
    {1253, WSTR("1253  (ANSI - Greek)"), 1, '?'},
    {1254, WSTR("1254  (ANSI - Turkish)"), 1, '?'},
    {1255, WSTR("1255  (ANSI - Hebrew)"), 1, '?'},
    {1256, WSTR("1256  (ANSI - Arabic)"), 1, '?'},
    {1257, WSTR("1257  (ANSI - Baltic)"), 1, '?'},
    {1258, WSTR("1258  (ANSI/OEM - Viet Nam)"), 1, '?'},
    {10000, WSTR("10000 (MAC - Roman)"), 1, '?'},
    {20127, WSTR("20127 (US-ASCII)"), 1, '?'},
    {20866, WSTR("20866 (Russian - KOI8)"), 1, '?'},
    {21866, WSTR("21866 (Ukrainian - KOI8-U)"), 1, '?'},
    {28591, WSTR("28591 (ISO 8859-1 Latin I)"), 1, '?'},
    {28592, WSTR("28592 (ISO 8859-2 Central Europe)"), 1, '?'},
    {28593, WSTR("28593 (ISO 8859-3 Latin 3)"), 1, '?'},
    {28594, WSTR("28594 (ISO 8859-4 Baltic)"), 1, '?'},
    {28595, WSTR("28595 (ISO 8859-5 Cyrillic)"), 1, '?'},
    {28596, WSTR("28596 (ISO 8859-6 Arabic)"), 1, '?'},
    {28597, WSTR("28597 (ISO 8859-7 Greek)"), 1, '?'},
    {28598, WSTR("28598 (ISO 8859-8 Hebrew: Visual Ordering)"), 1, '?'},
    {28599, WSTR("28599 (ISO 8859-9 Latin 5)"), 1, '?'},
    {28603, WSTR("28603 (ISO 8859-13 Latin 7)"), 1, '?'},
    {28605, WSTR("28605 (ISO 8859-15 Latin 9)"), 1, '?'},
    {54936, WSTR("54936 (GB18030 Simplified Chinese)"), 4, '?'},
    {65001, WSTR("65001 (UTF-8)"), 4, 0xFFFD},
};

TEST(CodePages, EachHasItsWindowsNameAndLimits)
{
    for (const CodePageRow& row : kCodePages) {
        SCOPED_TRACE(row.id);
        if (row.id == 54936 && WineLacksGb18030())
            continue;
        EXPECT_TRUE(IsValidCodePage(row.id));
        CPINFOEXW info;
        memset(&info, 'x', sizeof info);
        ASSERT_TRUE(GetCPInfoExW(row.id, 0, &info));
        EXPECT_EQ(row.id, info.CodePage);
        EXPECT_EQ(row.maxCharSize, info.MaxCharSize);
        EXPECT_EQ('?', info.DefaultChar[0]);
        EXPECT_EQ(0, info.DefaultChar[1]);
        EXPECT_EQ(row.unicodeDefault, info.UnicodeDefaultChar);
        if (WineNamesCodePagesItsOwnWay() && row.id != 65001)
            EXPECT_NE(0, info.CodePageName[0]);
        else
            EXPECT_EQ(WString(row.name), info.CodePageName);
    }
}

TEST(CodePages, AliasesAndUnknownNumbersAreNotCodePages)
{
    // 1 and 2 are the OEM and Macintosh aliases.
    const UINT ids[] = {CP_ACP, 1, 2, CP_THREAD_ACP, 1200, 12345, 0xFFFFFFFF};
    for (UINT id : ids) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(IsValidCodePage(id));
    }
    CPINFOEXW info;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetCPInfoExW(12345, 0, &info));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    ASSERT_TRUE(GetCPInfoExW(CP_ACP, 0, &info)) << "the aliases name a code page's information";
    EXPECT_EQ(GetACP(), info.CodePage);
}

// Converts into a buffer pre-filled with 'x', to show what is left alone.
struct Converted {
    int result;
    DWORD error;
    std::string buffer;
};

Converted ToBytes(UINT cp, const WString& text, int cch, int cb)
{
    Converted c;
    c.buffer.assign(16, 'x');
    SetLastError(0xdeadbeef);
    c.result =
        WideCharToMultiByte(cp, 0, text.c_str(), cch, cb ? &c.buffer[0] : nullptr, cb, nullptr, nullptr);
    c.error = GetLastError();
    return c;
}

TEST(WideCharToMultiByte, SizesBuffersAndTerminators)
{
    const WString text = WSTR("a\u00E9\u65E5");
    Converted c = ToBytes(CP_UTF8, text, 3, 0);
    EXPECT_EQ(6, c.result) << "the size asked for, without a buffer";
    c = ToBytes(CP_UTF8, text, -1, 0);
    EXPECT_EQ(7, c.result) << "-1 counts the terminator";
    c = ToBytes(CP_UTF8, text, -1, 16);
    EXPECT_EQ(7, c.result);
    EXPECT_EQ(std::string("a\xC3\xA9\xE6\x97\xA5\0xxxxxxxxx", 16), c.buffer);
    c = ToBytes(CP_UTF8, text, 3, 6);
    EXPECT_EQ(6, c.result);
    EXPECT_EQ("a\xC3\xA9\xE6\x97\xA5xxxxxxxxxx", c.buffer) << "no terminator added";
    c = ToBytes(CP_UTF8, text, 3, 5);
    EXPECT_EQ(0, c.result);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), c.error);
    c = ToBytes(1252, text, 3, 2);
    EXPECT_EQ(0, c.result);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), c.error);
}

TEST(WideCharToMultiByte, RefusesBadArguments)
{
    struct Row {
        const char* label;
        UINT cp;
        int cch;
        int cb;
        DWORD error;
    } rows[] = {
        {"empty input", 1252, 0, 16, ERROR_INVALID_PARAMETER},
        {"negative buffer", 1252, 1, -1, ERROR_INVALID_PARAMETER},
        {"unknown code page", 12345, 1, 16, ERROR_INVALID_PARAMETER},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Converted c = ToBytes(row.cp, WSTR("a"), row.cch, row.cb);
        EXPECT_EQ(0, c.result);
        EXPECT_EQ(row.error, c.error);
        EXPECT_EQ(std::string(16, 'x'), c.buffer);
    }
}

// A character the code page lacks becomes "?", one per unit: a character
// beyond the BMP is two.
TEST(WideCharToMultiByte, LackingCharactersBecomeTheDefaultCharacter)
{
    Converted c = ToBytes(1252, WSTR("a\u65E5"), 2, 16);
    EXPECT_EQ("a?", c.buffer.substr(0, c.result > 0 ? c.result : 0));
    c = ToBytes(936, WSTR("\u65E5\U0001F600"), 3, 16);
    EXPECT_EQ(Hex("C8 D5 3F 3F"), c.buffer.substr(0, c.result > 0 ? c.result : 0));
}

// Windows' tables where they differ from the standards of the same name:
// the 1987 edition of ISO 8859-7, KOI8-U with the Belarusian letters,
// Apple's Ohm and increment signs, the holes of the OEM and ANSI code pages
// filled with C1 controls, Microsoft's Big5 box drawing.
TEST(WideCharToMultiByte, FollowsWindowsTablesOverTheStandards)
{
    struct Row {
        UINT cp;
        WCHAR unit;
        const char* bytes;
    } rows[] = {
        {28597, 0x02BD, "A1"}, {28597, 0x20AC, "3F"}, {28598, 0x203E, "AF"}, {28598, 0x200E, "3F"},
        {21866, 0x045E, "AE"}, {21866, 0x255D, "3F"}, {10000, 0x2126, "BD"}, {10000, 0x03A9, "3F"},
        {10007, 0x2202, "B6"}, {1255, 0x05BA, "CA"},  {1252, 0x0081, "81"},  {1252, 0x0080, "3F"},
        {869, 0x0080, "80"},   {932, 0x0080, "80"},   {932, 0x2212, "3F"},   {950, 0x2550, "F9 F9"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.cp) + " " + std::to_string(row.unit));
        Converted c = ToBytes(row.cp, WString(1, row.unit), 1, 16);
        EXPECT_EQ(Hex(row.bytes), c.buffer.substr(0, c.result > 0 ? c.result : 0));
    }
}

TEST(WideCharToMultiByte, Gb18030GivesEveryCharacterBytes)
{
    if (WineLacksGb18030())
        GTEST_SKIP() << "Wine 8 has no code page 54936";
    Converted c = ToBytes(54936, WSTR("a\u00E9\U0001F600\u4E2D"), 5, 16);
    EXPECT_EQ(Hex("61 A8 A6 94 39 FC 36 D6 D0"), c.buffer.substr(0, c.result));
}

#if !defined(_WIN32)
// Sets LC_ALL, LC_CTYPE and LANG for one scope.
class ScopedLocale
{
public:
    ScopedLocale(const char* all, const char* ctype, const char* lang)
    {
        Set("LC_ALL", all);
        Set("LC_CTYPE", ctype);
        Set("LANG", lang);
    }
    ~ScopedLocale()
    {
        for (const auto& saved : m_saved)
            saved.second.empty() ? unsetenv(saved.first) : setenv(saved.first, saved.second.c_str(), 1);
    }

private:
    void Set(const char* name, const char* value)
    {
        const char* old = getenv(name);
        m_saved.emplace_back(name, old ? old : "");
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    std::vector<std::pair<const char*, std::string>> m_saved;
};

// On Windows the system code page is a setting of the machine; on Linux it
// comes from the user's locale. Uninstalled locales count by their name.
TEST(SystemCodePage, FollowsTheUserLocaleOnLinux)
{
    struct Row {
        const char* all;
        const char* ctype;
        const char* lang;
        UINT acp;
    } rows[] = {
        {"C.UTF-8", nullptr, nullptr, 65001},
        {"C", nullptr, nullptr, 65001},
        {"POSIX", nullptr, nullptr, 65001},
        {nullptr, nullptr, nullptr, 65001},
        {"de_DE.ISO-8859-1", nullptr, nullptr, 1252},
        {"fr_FR.ISO-8859-15@euro", nullptr, nullptr, 1252},
        {"pl_PL.ISO-8859-2", nullptr, nullptr, 1250},
        {"ru_RU.KOI8-R", nullptr, nullptr, 1251},
        {"el_GR.ISO-8859-7", nullptr, nullptr, 1253},
        {"tr_TR.ISO-8859-9", nullptr, nullptr, 1254},
        {"he_IL.ISO-8859-8", nullptr, nullptr, 1255},
        {"ar_SA.ISO-8859-6", nullptr, nullptr, 1256},
        {"lt_LT.ISO-8859-13", nullptr, nullptr, 1257},
        {"th_TH.TIS-620", nullptr, nullptr, 874},
        {"ja_JP.eucJP", nullptr, nullptr, 932},
        {"zh_CN.GB18030", nullptr, nullptr, 936},
        {"ko_KR.EUC-KR", nullptr, nullptr, 949},
        {"zh_TW.Big5", nullptr, nullptr, 950},
        {"de_DE.UTF-8", nullptr, nullptr, 65001},
        {"hy_AM.ARMSCII-8", nullptr, nullptr, 65001},
        {"de_DE", nullptr, nullptr, 65001},
        {nullptr, "ru_RU.KOI8-R", "de_DE.ISO-8859-1", 1251},
        {nullptr, nullptr, "de_DE.ISO-8859-1", 1252},
        {"ja_JP.eucJP", "ru_RU.KOI8-R", "de_DE.ISO-8859-1", 932},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.all ? row.all : "-") + " " + (row.ctype ? row.ctype : "-") + " " +
                     (row.lang ? row.lang : "-"));
        ScopedLocale locale(row.all, row.ctype, row.lang);
        EXPECT_EQ(row.acp, GetACP());
    }
}
#endif

} // namespace
