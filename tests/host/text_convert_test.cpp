// tests/host/text_convert_test.cpp: UTF-8 to UTF-16 as every value of a
// UTF-8 database passes it, bytes that are no UTF-8 included, and UTF-16
// back to UTF-8 for messages.
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <vector>

// Each maximal ill-formed subsequence becomes one U+FFFD; what follows it is
// read again from its first byte.
TEST(Utf8ToUtf16, ConvertsAnyBytes)
{
    const unsigned R = 0xFFFD;
    const struct {
        const char* label;
        std::string utf8;
        std::vector<unsigned> expected;
    } cases[] = {
        {"empty", "", {}},
        {"ASCII up to its last character", "ab\x7F", {'a', 'b', 0x7F}},
        {"two bytes", "\xC3\xA9", {0xE9}},
        {"three bytes", "\xE2\x82\xAC", {0x20AC}},
        {"four bytes: a surrogate pair", "\xF0\x9F\x9A\x9A", {0xD83D, 0xDE9A}},
        {"the last code point", "\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
        {"last of eight", "abcdefg\xC3\xA9h", {'a', 'b', 'c', 'd', 'e', 'f', 'g', 0xE9, 'h'}},
        {"eight after", "\xC3\xA4\xC3\xB6ghijklmn", {0xE4, 0xF6, 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n'}},
        {"embedded NUL", std::string("a\0z", 3), {'a', 0, 'z'}},
        {"lone continuation byte", "a\x80z", {'a', R, 'z'}},
        {"overlong two-byte form", "\xC0\x80", {R, R}},
        {"overlong three-byte form", "\xE0\x80\x80", {R, R, R}},
        {"encoded surrogate", "\xED\xA0\x80", {R, R, R}},
        {"above U+10FFFF", "\xF4\x90\x80\x80", {R, R, R, R}},
        {"byte F5", "\xF5", {R}},
        {"FF among ASCII", "abc\xFFghijklmn", {'a', 'b', 'c', R, 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n'}},
        {"four-byte sequence cut by the end", "\xF0\x9F\x9A", {R}},
        {"three-byte sequence cut by ASCII", "\xE2\x82Z", {R, 'Z'}},
        {"lead byte followed by a lead byte", "\xC3\xC3\xA9", {R, 0xE9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<WCHAR> units(c.utf8.size() + 4, 0x7878), expected(c.expected.begin(), c.expected.end());
        EXPECT_EQ(expected.size(), Utf8ToUtf16(c.utf8.data(), c.utf8.size(), units.data()));
        expected.resize(units.size(), 0x7878); // and nothing written beyond the units reported
        EXPECT_EQ(expected, units);
    }
}

// The offset of the first ill-formed sequence; a well-formed U+FFFD or
// four-byte character is no error.
TEST(FindInvalidUtf8, FirstIllFormedSequence)
{
    const struct {
        std::string utf8;
        size_t offset;
    } cases[] = {
        {"[CSV=TRUE]", std::string::npos}, {"\xC3\xA9\xEF\xBF\xBD\xF0\x9F\x9A\x9A", std::string::npos},
        {"[FILE=gro\xDF.txt]", 9},         {"ab\x80", 2},
        {"\xC3\xA9\xED\xA0\x80", 2},       {"a\xF0\x9F\x9A", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.offset, FindInvalidUtf8(c.utf8)) << c.utf8;
}

TEST(Narrow, WritesUtf8AndReplacesUnpairedSurrogates)
{
    const struct {
        WString utf16;
        std::string expected;
    } cases[] = {
        {{'I', 'D'}, "ID"},
        {{0xE4, 0x6771}, "\xC3\xA4\xE6\x9D\xB1"},
        {{0xD83D, 0xDE9A}, "\xF0\x9F\x9A\x9A"},
        {{0xD83D, 'x'}, "\xEF\xBF\xBDx"},
        {{0xDE9A}, "\xEF\xBF\xBD"},
        {{'x', 0xD83D}, "x\xEF\xBF\xBD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, Narrow(c.utf16));
    EXPECT_EQ("Müller 山田 🚚", Narrow(Widen("Müller 山田 🚚")));
}
