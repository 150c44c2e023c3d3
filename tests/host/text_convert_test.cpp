// tests/host/text_convert_test.cpp: UTF-8 to UTF-16 as every field value
// passes it, on both sides of the sixteen- and eight-byte ASCII paths, and
// for bytes that are no valid UTF-8; the text of reals that are whole
// hundredths, against SQLite's own; and UTF-16 back to UTF-8 for messages.
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <math.h>
#include <random>
#include <sqlite3.h>
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
        {"ASCII, 37 bytes", "abcdefghijklmnopqrstuvwxyz0123456789.", Ascii("abcdefghijklmnopqrstuvwxyz0123456789.")},
        {"non-ASCII as the 16th byte of a run",
         "abcdefghijklmno\xC3\xA9xyz",
         {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 0xE9, 'x', 'y', 'z'}},
        {"non-ASCII as the 17th byte of a run",
         "abcdefghijklmnop\xC3\xA9",
         {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p', 0xE9}},
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

// ASCII texts of every length up to a few blocks, with one two-byte
// character at every place or none: each block size, the overlapping last
// block and the way back to the general path when a block is not ASCII.
TEST(Utf8ToUtf16, EveryLengthAndEveryPlaceOfANonAsciiCharacter)
{
    for (size_t n = 0; n <= 40; ++n) {
        std::string ascii;
        for (size_t i = 0; i < n; ++i)
            ascii += static_cast<char>('a' + i % 26);
        EXPECT_EQ(Ascii(ascii), Units(ascii)) << "length " << n;
        for (size_t at = 0; at < n; ++at) {
            std::string text = ascii.substr(0, at) + "\xC3\xA9" + ascii.substr(at + 1);
            std::vector<unsigned> expected = Ascii(ascii);
            expected[at] = 0xE9;
            EXPECT_EQ(expected, Units(text)) << "length " << n << ", e-acute at " << at;
        }
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
        {"Latin-1 byte", "[FILE=stra\xDF" "e]", 10},
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

namespace
{

// SQLite's text of a real, as the export reads it when no shortcut applies.
class SqliteText
{
public:
    SqliteText()
    {
        EXPECT_EQ(SQLITE_OK, sqlite3_open(":memory:", &m_pDb));
        EXPECT_EQ(SQLITE_OK, sqlite3_prepare_v2(m_pDb, "SELECT ?1", -1, &m_pStmt, nullptr));
    }
    ~SqliteText()
    {
        sqlite3_finalize(m_pStmt);
        sqlite3_close(m_pDb);
    }
    std::string Of(double r)
    {
        sqlite3_reset(m_pStmt);
        sqlite3_bind_double(m_pStmt, 1, r);
        EXPECT_EQ(SQLITE_ROW, sqlite3_step(m_pStmt));
        return reinterpret_cast<const char*>(sqlite3_column_text(m_pStmt, 0));
    }

private:
    sqlite3* m_pDb = nullptr;
    sqlite3_stmt* m_pStmt = nullptr;
};

std::string Made(double r)
{
    WCHAR units[16];
    size_t n = HundredthsToUtf16(r, units);
    return std::string(units, units + n);
}

} // namespace

// Every whole number of hundredths up to 1,000.00 either way, and many up
// to the largest taken: the text made must be SQLite's, whichever version
// of SQLite the host is built with.
TEST(HundredthsToUtf16, GivesSqlitesTextOfEveryAmount)
{
    SqliteText sqlite;
    std::vector<int64_t> hundredths;
    for (int64_t k = -100000; k <= 100000; ++k)
        hundredths.push_back(k);
    std::mt19937_64 random(20261205);
    for (int64_t limit = 1000; limit <= 10000000000000; limit *= 10) {
        std::uniform_int_distribution<int64_t> pick(-limit + 1, limit - 1);
        for (int i = 0; i < 20000; ++i)
            hundredths.push_back(pick(random));
        // The edges of each power of ten.
        for (int64_t k : {limit - 1, limit, limit + 1, -limit + 1, -limit, -limit - 1})
            hundredths.push_back(k);
    }
    size_t made = 0;
    for (int64_t k : hundredths) {
        double r = static_cast<double>(k) / 100;
        std::string text = Made(r);
        if (text.empty())
            continue;
        ++made;
        ASSERT_EQ(sqlite.Of(r), text) << "hundredths " << k;
    }
    // Only zero and the largest magnitudes are left to SQLite.
    EXPECT_GE(made, hundredths.size() - 20);
}

// Any other real is left to SQLite: not a whole number of hundredths (the
// doubles just beside one among them), too large, zero of either sign, or
// not a number at all.
TEST(HundredthsToUtf16, LeavesEveryOtherRealToSqlite)
{
    const double others[] = {0.0,    -0.0,   0.005,          0.1 + 0.2, nextafter(0.3, 0), nextafter(-99999999999.99, 0),
                             1.0 / 3, 1e11, -1e11, 123456789012.5, 1e-300, 5e-324, INFINITY, -INFINITY, NAN,
                             2.675 * 1.0000001};
    for (double r : others)
        EXPECT_EQ("", Made(r)) << r;
}
