// tests/units_test.cpp: the scans over UTF-16 units under every text the
// writers put out: wcslen, copying ASCII runs and finding units,
// for every length up to a few blocks of eight units and with the unit
// that stops them at every position, so that a block boundary, the last
// overlapping block and the unit-by-unit tail are all crossed.
#include "platform/Units.h"

#include <gtest/gtest.h>

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

TEST(Units, CopyAsciiWithoutRefusesSpecialAndNonAsciiUnits)
{
    const WCHAR specials[] = {'"', '\r', '\n', ';'};
    std::vector<WCHAR> stops(std::begin(specials), std::end(specials));
    stops.insert(stops.end(), std::begin(kNotAscii), std::end(kNotAscii));
    for (size_t n = 0; n <= kMaxLength; ++n) {
        SCOPED_TRACE("length " + std::to_string(n));
        WString text = AsciiText(n);
        std::string out(n + 1, 'x');
        ASSERT_TRUE(units::CopyAsciiWithout(text.data(), n, &out[0], '"', '\r', '\n', ';'));
        EXPECT_EQ(std::string(text.begin(), text.end()) + 'x', out);
        for (size_t at = 0; at < n; ++at) {
            for (WCHAR stop : stops) {
                SCOPED_TRACE("stop at " + std::to_string(at) + ", unit " + std::to_string(stop));
                WString stopped = text;
                stopped[at] = stop;
                out.assign(n + 1, 'x');
                EXPECT_FALSE(units::CopyAsciiWithout(stopped.data(), n, &out[0], '"', '\r', '\n', ';'));
                EXPECT_EQ('x', out[n]) << "nothing is written past the text";
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
#endif

} // namespace
