// tests/host/text_convert_test.cpp: UTF-8 to UTF-16 as every field value
// passes it, on both sides of the eight-byte ASCII path, and for bytes that
// are no valid UTF-8; and UTF-16 back to UTF-8 for messages.
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

std::vector<unsigned> Ascii(const std::string& text)
{
    return std::vector<unsigned>(text.begin(), text.end());
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
        {"ASCII, 7 bytes", "abcdefg", Ascii("abcdefg")},
        {"ASCII, 8 bytes", "abcdefgh", Ascii("abcdefgh")},
        {"ASCII, 17 bytes", "abcdefghijklmnopq", Ascii("abcdefghijklmnopq")},
        {"two bytes", "\xC3\xA9", {0xE9}},
        {"three bytes", "\xE2\x82\xAC", {0x20AC}},
        {"four bytes: a surrogate pair", "\xF0\x9F\x9A\x9A", {0xD83D, 0xDE9A}},
        {"the last code point", "\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
        {"non-ASCII as the 8th byte of a run",
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
