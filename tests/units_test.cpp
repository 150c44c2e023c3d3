// tests/units_test.cpp: the scans over UTF-16 units under every text the
// writers put out: wcslen, copying ASCII runs and finding units,
// for every length up to a few blocks of eight units and with the unit
// that stops them at every position, so that a block boundary, the last
// overlapping block and the unit-by-unit tail are all crossed.
#include "platform/Units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdint.h>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace
{

using WString = std::basic_string<WCHAR>;

constexpr size_t kMaxLength = 40;

// Room for a few blocks more than the longest text.
constexpr size_t kRoomyCap = 4 * kMaxLength;

// n ASCII letters, none of them a unit that stops a scan.
WString AsciiText(size_t n)
{
    WString text;
    for (size_t i = 0; i < n; ++i)
        text += static_cast<WCHAR>('a' + i % 26);
    return text;
}

// The units that end an ASCII run: the first non-ASCII ones, and ones
// whose low byte alone would pass for ASCII.
const WCHAR kNotAscii[] = {0x80, 0xFF, 0x100, 0x141, 0x7F80, 0xD83D, 0xFF41};

TEST(Units, CopyAsciiStopsAtTheFirstUnitAbove0x7F)
{
    for (size_t n = 0; n <= kMaxLength; ++n) {
        for (size_t at = 0; at <= n; ++at) {
            for (WCHAR stop : kNotAscii) {
                SCOPED_TRACE("length " + std::to_string(n) + ", stop at " + std::to_string(at) + ", unit " +
                             std::to_string(stop));
                WString text = AsciiText(n);
                if (at < n)
                    text[at] = stop;
                std::string out(n + 1, 'x');
                size_t copied = units::CopyAscii(text.data(), n, &out[0]);
                ASSERT_EQ(at, copied);
                for (size_t i = 0; i < at; ++i)
                    ASSERT_EQ(static_cast<char>(text[i]), out[i]) << "byte " << i;
                EXPECT_EQ('x', out[n]) << "nothing is written past the text";
                if (at == n)
                    break;
            }
        }
    }
}

// Where a scan of a terminated text must stop, one unit at a time: at a
// control unit (the terminator among them), at a or b, and when copying at
// a unit above 0x7F; a copy at cap at the latest.
size_t ExpectedEnd(const WCHAR* s, bool copy, WCHAR a, WCHAR b, size_t cap)
{
    size_t i = 0;
    while (i < cap && s[i] >= 0x20 && !(copy && s[i] >= 0x80) && s[i] != a && s[i] != b)
        ++i;
    return i;
}

// The scans of terminated texts on the text at s, against the unit by unit
// answer, with the stops of a CSV value and with none; the copies write
// nothing past cap.
void CheckScans(const WCHAR* s, size_t cap, const std::string& where)
{
    SCOPED_TRACE(where + ", cap " + std::to_string(cap));
    // The delimiter may be any unit, ASCII or not.
    for (WCHAR delimiter : {WCHAR(';'), WCHAR(0x7F), WCHAR(0xA7)})
        EXPECT_EQ(ExpectedEnd(s, false, '"', delimiter, SIZE_MAX), units::FindControlOr(s, '"', delimiter))
            << "delimiter " << delimiter;
    for (WCHAR a : {WCHAR(0), WCHAR('"')}) {
        WCHAR b = a ? WCHAR(';') : WCHAR(0);
        std::string out(cap + 1, 'x');
        size_t copied = units::CopyPrintable(s, &out[0], cap, a, b);
        ASSERT_EQ(ExpectedEnd(s, true, a, b, cap), copied) << (a ? "CSV copy" : "plain copy");
        for (size_t i = 0; i < copied; ++i)
            ASSERT_EQ(static_cast<char>(s[i]), out[i]) << "byte " << i;
        EXPECT_EQ('x', out[cap]) << "nothing is written past cap";
    }
}

// Each text begins at every unit of an aligned pair of blocks and has every
// length, with a unit that stops some scan, or one that must not, at every
// place; the copies get room for fewer units than the text has, and more.
TEST(Units, TextScansStopWhereTheUnitByUnitScanStops)
{
    const WCHAR units[] = {'"', ';', '\r', '\n', '\t', 0x1F, ' ', '~', 0x7F, 0x80, 0xFF,
                           0x100, 0xA7, 0x7F80, 0x8022, 0xD83D, 0xFF41, 0x223B};
    alignas(32) WCHAR buffer[16 + kMaxLength + 1];
    for (size_t offset = 0; offset < 16; ++offset) {
        WCHAR* text = buffer + offset;
        for (size_t n = 0; n <= kMaxLength; ++n) {
            WString ascii = AsciiText(n);
            std::copy(ascii.begin(), ascii.end(), text);
            text[n] = 0;
            std::string where = "offset " + std::to_string(offset) + ", length " + std::to_string(n);
            for (size_t cap : {n + 1, n, n / 2, size_t(7), size_t(8), size_t(16), size_t(17), size_t(24), size_t(33),
                               kRoomyCap})
                CheckScans(text, cap, where);
            for (size_t at = 0; at < n; ++at) {
                for (WCHAR unit : units) {
                    text[at] = unit;
                    CheckScans(text, n + 1, where + ", unit " + std::to_string(unit) + " at " + std::to_string(at));
                    text[at] = ascii[at];
                }
            }
        }
    }
}

TEST(Units, ContainsAnyOfFindsEachOfTheFourAnywhere)
{
    const WCHAR wanted[] = {'"', '\r', '\n', 0x00A7};
    for (size_t n = 0; n <= kMaxLength; ++n) {
        WString text = AsciiText(n);
        EXPECT_FALSE(units::ContainsAnyOf(text.data(), n, '"', '\r', '\n', 0x00A7)) << "length " << n;
        for (size_t at = 0; at < n; ++at) {
            for (WCHAR unit : wanted) {
                WString with = text;
                with[at] = unit;
                EXPECT_TRUE(units::ContainsAnyOf(with.data(), n, '"', '\r', '\n', 0x00A7))
                    << "length " << n << ", unit " << unit << " at " << at;
                // A unit just past the ones given is not looked at.
                EXPECT_FALSE(units::ContainsAnyOf(with.data(), at, '"', '\r', '\n', 0x00A7)) << "before " << at;
            }
        }
    }
}

TEST(Units, FindGivesTheFirstPlaceOfTheUnit)
{
    for (size_t n = 0; n <= kMaxLength; ++n) {
        WString text = AsciiText(n) + WSTR('"');
        EXPECT_EQ(n, units::Find(text.data(), n, '"')) << "none among the " << n << " units given";
        for (size_t at = 0; at < n; ++at) {
            WString with = text;
            with[at] = '"';
            for (size_t later = at; later < n; ++later)
                with[later] = later % 3 == 0 ? '"' : with[later];
            EXPECT_EQ(at, units::Find(with.data(), n, '"')) << "length " << n << ", first at " << at;
        }
    }
}

// wcslen from every alignment of the text's first unit, for every length.
TEST(Units, WcslenCountsUpToTheTerminatorFromAnyAlignment)
{
    std::vector<WCHAR> buffer(kMaxLength + 16, 'a');
    for (size_t offset = 0; offset < 8; ++offset) {
        for (size_t n = 0; n <= kMaxLength; ++n) {
            WCHAR* text = buffer.data() + offset;
            WCHAR saved = text[n];
            text[n] = 0;
            EXPECT_EQ(n, wcslen(text)) << "offset " << offset << ", length " << n;
            text[n] = saved;
        }
    }
}

#if !defined(_WIN32)
// A text that ends with the last unit of a page, before a page that cannot
// be read: wcslen reads whole aligned blocks, and none of them may reach
// into the next page.
TEST(Units, WcslenReadsNothingBeyondThePageTheTextEndsIn)
{
    long page = sysconf(_SC_PAGESIZE);
    void* map = mmap(nullptr, static_cast<size_t>(2 * page), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(MAP_FAILED, map);
    char* second = static_cast<char*>(map) + page;
    ASSERT_EQ(0, mprotect(second, static_cast<size_t>(page), PROT_NONE));
    WCHAR* end = reinterpret_cast<WCHAR*>(second);
    for (size_t n = 0; n <= kMaxLength; ++n) {
        WCHAR* text = end - n - 1;
        for (size_t i = 0; i < n; ++i)
            text[i] = 'a';
        text[n] = 0;
        EXPECT_EQ(n, wcslen(text)) << "length " << n;
    }
    munmap(map, static_cast<size_t>(2 * page));
}

// The same for the scans of terminated texts, with the text at the end of
// its page and at the start of a page after one that cannot be read.
TEST(Units, TextScansReadNothingBeyondThePagesTheTextLiesIn)
{
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* map = mmap(nullptr, 3 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(MAP_FAILED, map);
    char* middle = static_cast<char*>(map) + page;
    ASSERT_EQ(0, mprotect(map, page, PROT_NONE));
    ASSERT_EQ(0, mprotect(middle + page, page, PROT_NONE));
    WCHAR* first = reinterpret_cast<WCHAR*>(middle);
    WCHAR* end = reinterpret_cast<WCHAR*>(middle + page);
    for (size_t n = 0; n <= kMaxLength; ++n) {
        for (WCHAR* text : {end - n - 1, first}) {
            for (size_t i = 0; i < n; ++i)
                text[i] = 'a';
            text[n] = 0;
            // Room for more than the text: only the terminator stops the
            // copies.
            CheckScans(text, kRoomyCap, "length " + std::to_string(n));
        }
    }
    munmap(map, 3 * page);
}
#endif

} // namespace
