// tests/code_page_test.cpp: the code page functions the writers and settings rely on, pinned the way
// Windows behaves: the code pages and their names, WideCharToMultiByte at its edges, a locale's code page.
#include "filter_fixture.h"
#include "reference_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

// Wine names its code pages in words of its own, and Wine 8 has no GB18030 (54936).
bool UnderWine()
{
#if defined(_WIN32)
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

// Each code page by its name, which begins with its number; double-byte ones take two bytes, GB18030 and
// UTF-8 four.
TEST(CodePages, EachHasItsWindowsNameAndLimits)
{
    // clang-format off
    const char* const names[] = {
        "437   (OEM - United States)",                  "850   (OEM - Multilingual Latin I)",
        "852   (OEM - Latin II)",                       "866   (OEM - Russian)",
        "874   (ANSI/OEM - Thai)",                      "932   (ANSI/OEM - Japanese Shift-JIS)",
        "936   (ANSI/OEM - Simplified Chinese GBK)",    "949   (ANSI/OEM - Korean)",
        "950   (ANSI/OEM - Traditional Chinese Big5)",  "1250  (ANSI - Central Europe)",
        "1251  (ANSI - Cyrillic)",                      "1252  (ANSI - Latin I)",
        "1253  (ANSI - Greek)",                         "1254  (ANSI - Turkish)",
        "1255  (ANSI - Hebrew)",                        "1256  (ANSI - Arabic)",
        "1257  (ANSI - Baltic)",                        "1258  (ANSI/OEM - Viet Nam)",
        "10000 (MAC - Roman)",                          "20127 (US-ASCII)",
        "20866 (Russian - KOI8)",                       "21866 (Ukrainian - KOI8-U)",
        "28591 (ISO 8859-1 Latin I)",                   "28592 (ISO 8859-2 Central Europe)",
        "28593 (ISO 8859-3 Latin 3)",                   "28594 (ISO 8859-4 Baltic)",
        "28595 (ISO 8859-5 Cyrillic)",                  "28596 (ISO 8859-6 Arabic)",
        "28597 (ISO 8859-7 Greek)",                     "28598 (ISO 8859-8 Hebrew: Visual Ordering)",
        "28599 (ISO 8859-9 Latin 5)",                   "28603 (ISO 8859-13 Latin 7)",
        "28605 (ISO 8859-15 Latin 9)",                  "54936 (GB18030 Simplified Chinese)",
        "65001 (UTF-8)"};
    // clang-format on
    for (const char* name : names) {
        UINT id = static_cast<UINT>(atol(name));
        SCOPED_TRACE(id);
        if (id == 54936 && UnderWine())
            continue;
        EXPECT_TRUE(IsValidCodePage(id));
        CPINFOEXW info;
        memset(&info, 'x', sizeof info);
        ASSERT_TRUE(GetCPInfoExW(id, 0, &info));
        EXPECT_EQ(id, info.CodePage);
        EXPECT_EQ(id >= 54936 ? 4u : id >= 932 && id <= 950 ? 2u : 1u, info.MaxCharSize);
        EXPECT_EQ(std::string("?", 2), std::string(info.DefaultChar, info.DefaultChar + 2));
        EXPECT_EQ(id == 932 ? 0x30FB : id == 65001 ? 0xFFFD : '?', info.UnicodeDefaultChar);
        EXPECT_EQ(UnderWine() && id != 65001 ? Narrow(info.CodePageName) : name, Narrow(info.CodePageName));
    }
    // The aliases 0 to 3 are no code pages, but do name one's information.
    for (UINT id : {0u, 1u, 2u, 3u, 1200u, 12345u, 0xFFFFFFFFu})
        EXPECT_FALSE(IsValidCodePage(id)) << id;
    CPINFOEXW info;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetCPInfoExW(12345, 0, &info));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    ASSERT_TRUE(GetCPInfoExW(CP_ACP, 0, &info));
    EXPECT_EQ(GetACP(), info.CodePage);
}

// Each row converts into 16 bytes of 'x' (none with cb 0): the result, the error and what is left alone.
// The tables follow Windows where it differs from the standards of the same name: ISO 8859-7 of 1987,
// KOI8-U with Belarusian, Apple's Ohm, C1 controls in the code pages' holes, Microsoft's Big5 boxes.
TEST(WideCharToMultiByte, ResultsErrorsAndBytes)
{
    const struct {
        UINT cp;
        WString text;
        int cch, cb, result;
        DWORD error; // 0: not set
        const char* buffer;
    } rows[] = {
        {CP_UTF8, WSTR("a\u00E9\u65E5"), 3, 0, 6, 0, "xxxxxxxxxxxxxxxx"},
        {CP_UTF8, WSTR("a\u00E9\u65E5"), -1, 0, 7, 0, "xxxxxxxxxxxxxxxx"},
        {CP_UTF8, WSTR("a\u00E9\u65E5"), -1, 16, 7, 0, "a\xC3\xA9\xE6\x97\xA5\0xxxxxxxxx"},
        {CP_UTF8, WSTR("a\u00E9\u65E5"), 3, 6, 6, 0, "a\xC3\xA9\xE6\x97\xA5xxxxxxxxxx"},
        {CP_UTF8, WSTR("a\u00E9\u65E5"), 3, 5, 0, ERROR_INSUFFICIENT_BUFFER, nullptr},
        {1252, WSTR("a\u00E9\u65E5"), 3, 2, 0, ERROR_INSUFFICIENT_BUFFER, nullptr},
        {1252, WSTR("a"), 0, 16, 0, ERROR_INVALID_PARAMETER, "xxxxxxxxxxxxxxxx"},
        {1252, WSTR("a"), 1, -1, 0, ERROR_INVALID_PARAMETER, "xxxxxxxxxxxxxxxx"},
        {12345, WSTR("a"), 1, 16, 0, ERROR_INVALID_PARAMETER, "xxxxxxxxxxxxxxxx"},
        {1252, WSTR("a\u65E5"), 2, 16, 2, 0, "a?xxxxxxxxxxxxxx"},
        {936, WSTR("\u65E5\U0001F600"), 3, 16, 4, 0, "\xC8\xD5??xxxxxxxxxxxx"},
        {54936, WSTR("a\u00E9\U0001F600\u4E2D"), 5, 16, 9, 0, "a\xA8\xA6\x94\x39\xFC\x36\xD6\xD0xxxxxxx"},
        {28597, WSTR("\u02BD\u20AC"), 2, 16, 2, 0, "\xA1?xxxxxxxxxxxxxx"},
        {28598, WSTR("\u203E\u200E"), 2, 16, 2, 0, "\xAF?xxxxxxxxxxxxxx"},
        {21866, WSTR("\u045E\u255D"), 2, 16, 2, 0, "\xAE?xxxxxxxxxxxxxx"},
        {10000, WSTR("\u2126\u03A9"), 2, 16, 2, 0, "\xBD?xxxxxxxxxxxxxx"},
        {10007, WSTR("\u2202"), 1, 16, 1, 0, "\xB6xxxxxxxxxxxxxxx"},
        {1255, WSTR("\u05BA"), 1, 16, 1, 0, "\xCAxxxxxxxxxxxxxxx"},
        {1252, WSTR("\u0081\u0080"), 2, 16, 2, 0, "\x81?xxxxxxxxxxxxxx"},
        {869, WSTR("\u0080"), 1, 16, 1, 0, "\x80xxxxxxxxxxxxxxx"},
        {932, WSTR("\u0080\u2212"), 2, 16, 2, 0, "\x80?xxxxxxxxxxxxxx"},
        {950, WSTR("\u2550"), 1, 16, 2, 0, "\xF9\xF9xxxxxxxxxxxxxx"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.cp) + " " + Narrow(row.text.c_str()) + " cb " +
                     std::to_string(row.cb));
        if (row.cp == 54936 && UnderWine())
            continue;
        std::string buffer(16, 'x');
        SetLastError(0xdeadbeef);
        int result = WideCharToMultiByte(row.cp, 0, row.text.c_str(), row.cch, row.cb ? &buffer[0] : nullptr,
                                         row.cb, nullptr, nullptr);
        EXPECT_EQ(row.result, result);
        EXPECT_EQ(row.error ? row.error : GetLastError(), GetLastError());
        EXPECT_EQ(row.buffer ? std::string(row.buffer, 16) : buffer, buffer);
    }
}

#if !defined(_WIN32)
// On Linux the system code page comes from LC_ALL, else LC_CTYPE, else LANG ("-": unset); uninstalled
// locales count by their name.
TEST(SystemCodePage, FollowsTheUserLocaleOnLinux)
{
    const struct {
        const char *all, *ctype, *lang;
        UINT acp;
    } rows[] = {{"C.UTF-8", "-", "-", 65001},
                {"C", "-", "-", 65001},
                {"POSIX", "-", "-", 65001},
                {"-", "-", "-", 65001},
                {"de_DE.ISO-8859-1", "-", "-", 1252},
                {"fr_FR.ISO-8859-15@euro", "-", "-", 1252},
                {"pl_PL.ISO-8859-2", "-", "-", 1250},
                {"ru_RU.KOI8-R", "-", "-", 1251},
                {"el_GR.ISO-8859-7", "-", "-", 1253},
                {"tr_TR.ISO-8859-9", "-", "-", 1254},
                {"he_IL.ISO-8859-8", "-", "-", 1255},
                {"ar_SA.ISO-8859-6", "-", "-", 1256},
                {"lt_LT.ISO-8859-13", "-", "-", 1257},
                {"th_TH.TIS-620", "-", "-", 874},
                {"ja_JP.eucJP", "-", "-", 932},
                {"zh_CN.GB18030", "-", "-", 936},
                {"ko_KR.EUC-KR", "-", "-", 949},
                {"zh_TW.Big5", "-", "-", 950},
                {"de_DE.UTF-8", "-", "-", 65001},
                {"hy_AM.ARMSCII-8", "-", "-", 65001},
                {"de_DE", "-", "-", 65001},
                {"-", "ru_RU.KOI8-R", "de_DE.ISO-8859-1", 1251},
                {"-", "-", "de_DE.ISO-8859-1", 1252},
                {"ja_JP.eucJP", "ru_RU.KOI8-R", "de_DE.ISO-8859-1", 932}};
    const char* const names[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    std::vector<std::string> saved;
    for (const char* name : names)
        saved.push_back(getenv(name) ? getenv(name) : "-");
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.all) + " " + row.ctype + " " + row.lang);
        const char* values[] = {row.all, row.ctype, row.lang};
        for (int i = 0; i < 3; ++i)
            strcmp(values[i], "-") ? setenv(names[i], values[i], 1) : unsetenv(names[i]);
        EXPECT_EQ(row.acp, GetACP());
    }
    for (int i = 0; i < 3; ++i)
        saved[i] != "-" ? setenv(names[i], saved[i].c_str(), 1) : unsetenv(names[i]);
}
#endif

} // namespace
