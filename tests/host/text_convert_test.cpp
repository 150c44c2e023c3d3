// tests/host/text_convert_test.cpp: UTF-8 to UTF-16 as every value of a
// UTF-8 database passes it, including bytes that are no valid UTF-8; the
// text of integers; and UTF-16 back to UTF-8 for messages.
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

std::vector<unsigned> Units(const std::string& utf8)
{
    // Sentinels after the room the converter may use prove it writes
    // nothing beyond the units it reports.
    std::vector<WCHAR> buffer(utf8.size() + 4, WCHAR(0x7878));
    size_t n = Utf8ToUtf16(utf8.data(), utf8.size(), buffer.data());
    EXPECT_LE(n, utf8.size());
    for (size_t i = n; i < buffer.size(); ++i)
        EXPECT_EQ(0x7878u, static_cast<unsigned>(buffer[i])) << "unit " << i << " was written";
    return std::vector<unsigned>(buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(n));
}

} // namespace

TEST(Utf8ToUtf16, ConvertsValidText)
{
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
        {"non-ASCII as the last byte of eight",
         "abcdefg\xC3\xA9h",
         {'a', 'b', 'c', 'd', 'e', 'f', 'g', 0xE9, 'h'}},
        {"ASCII after a non-ASCII run",
         "\xC3\xA4\xC3\xB6"
         "abcdefghij",
         {0xE4, 0xF6, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'}},
        {"embedded NUL", std::string("a\0b", 3), {'a', 0, 'b'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.expected, Units(c.utf8));
    }
}

// The decimal text of integers, as SQLite gives it, at both ends of the
// range and where the number of digits changes.
TEST(IntegerToUtf16, WritesTheDecimalText)
{
    std::vector<int64_t> values = {0, INT64_MIN, INT64_MAX, INT64_MIN + 1};
    for (int64_t power = 1; power <= INT64_MAX / 10; power *= 10)
        for (int64_t v : {power - 1, power, power + 1})
            values.insert(values.end(), {v, -v});
    for (int64_t v : values) {
        WCHAR units[20];
        size_t n = IntegerToUtf16(v, units);
        EXPECT_EQ(std::to_string(v), std::string(units, units + n));
    }
}

// Each maximal ill-formed subsequence becomes one U+FFFD; what follows it is
// read again from its first byte.
TEST(Utf8ToUtf16, ReplacesIllFormedSequences)
{
    const unsigned R = 0xFFFD;
    const struct {
        const char* label;
        std::string utf8;
        std::vector<unsigned> expected;
    } cases[] = {
        {"lone continuation byte",
         "a\x80"
         "b",
         {'a', R, 'b'}},
        {"overlong two-byte form", "\xC0\x80", {R, R}},
        {"overlong three-byte form", "\xE0\x80\x80", {R, R, R}},
        {"encoded surrogate", "\xED\xA0\x80", {R, R, R}},
        {"above U+10FFFF", "\xF4\x90\x80\x80", {R, R, R, R}},
        {"byte F5", "\xF5", {R}},
        {"byte FF inside ASCII",
         "abc\xFF"
         "defghijk",
         {'a', 'b', 'c', R, 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k'}},
        {"four-byte sequence cut by the end", "\xF0\x9F\x9A", {R}},
        {"three-byte sequence cut by ASCII",
         "\xE2\x82"
         "A",
         {R, 'A'}},
        {"lead byte followed by a lead byte", "\xC3\xC3\xA9", {R, 0xE9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.expected, Units(c.utf8));
    }
}

// The offset of the first ill-formed sequence; a well-formed U+FFFD or
// four-byte character is no error.
TEST(FindInvalidUtf8, FirstIllFormedSequence)
{
    const struct {
        const char* label;
        std::string utf8;
        size_t offset;
    } cases[] = {
        {"ASCII", "[CSV=TRUE]", std::string::npos},
        {"every length, and U+FFFD itself", "\xC3\xA9\xEF\xBF\xBD\xF0\x9F\x9A\x9A", std::string::npos},
        {"Latin-1 byte",
         "[FILE=stra\xDF"
         "e]",
         10},
        {"lone continuation byte", "ab\x80", 2},
        {"encoded surrogate after a good one", "\xC3\xA9\xED\xA0\x80", 2},
        {"sequence cut by the end", "a\xF0\x9F\x9A", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.offset, FindInvalidUtf8(c.utf8));
    }
}

TEST(Narrow, WritesUtf8AndReplacesUnpairedSurrogates)
{
    const struct {
        const char* label;
        std::vector<WCHAR> utf16;
        std::string expected;
    } cases[] = {
        {"ASCII", {'I', 'D'}, "ID"},
        {"BMP", {0xE4, 0x6771}, "\xC3\xA4\xE6\x9D\xB1"},
        {"pair", {0xD83D, 0xDE9A}, "\xF0\x9F\x9A\x9A"},
        {"high surrogate alone", {0xD83D, 'x'}, "\xEF\xBF\xBDx"},
        {"low surrogate alone", {0xDE9A}, "\xEF\xBF\xBD"},
        {"high surrogate at the end", {'x', 0xD83D}, "x\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<WCHAR> text = c.utf16;
        text.push_back(0);
        EXPECT_EQ(c.expected, Narrow(text.data()));
    }
}

TEST(Widen, RoundTripsThroughNarrow)
{
    std::string text = "Müller 山田 🚚 Ромашка";
    EXPECT_EQ(text, Narrow(Widen(text)));
}
