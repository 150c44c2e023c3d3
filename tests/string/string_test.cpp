// tests/string/string_test.cpp: String's 1-based searches and path operations,
// also out of memory; the ABI host checks the exported members.
#include "alloc_failure.h"
#include "common/String.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using Text = std::basic_string<WCHAR>;

Text TextOf(const String& s)
{
    return Text(static_cast<const WCHAR*>(s));
}

// The edges the ABI host does not reach.
TEST(String, SearchesCountFromOneAndZeroIsNotFound)
{
    enum Search { Chr, RChr, Str };
    const struct {
        const char* label;
        const WCHAR* pszText;
        Search op;
        int c;
        const WCHAR* pszFind;
        int expected;
    } rows[] = {
        {"terminator", WSTR("a\\b\\c"), Chr, 0, nullptr, 6},
        {"terminator from the end", WSTR("a\\b\\c"), RChr, 0, nullptr, 6},
        {"high bits of c ignored", WSTR("a\\b\\c"), Chr, 0x10000 + '\\', nullptr, 2},
        {"high bits ignored from the end", WSTR("a\\b\\c"), RChr, 0x7FFF0000 | 'c', nullptr, 5},
        {"negative c is the unit FFFF", WSTR("a\xFFFF"), Chr, -1, nullptr, 2},
        {"match cut off by the end", WSTR("a\\b\\c"), Str, 0, WSTR("c\\"), 0},
        {"match after a false start", WSTR("aaab"), Str, 0, WSTR("aab"), 2},
        {"empty text to find", WSTR("abc"), Str, 0, WSTR(""), 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const String s(row.pszText);
        EXPECT_EQ(row.expected, row.op == Chr    ? s.strchr(row.c)
                                : row.op == RChr ? s.strrchr(row.c)
                                                 : s.strstr(row.pszFind));
    }
}

// A join puts one backslash at the seam (an empty directory is the current
// one); path() keeps its backslash, so that a file at a root keeps the root.
TEST(String, PathOperations)
{
    const struct {
        const WCHAR* pszText;
        const WCHAR* pszComponent; // null: path()
        const WCHAR* pszExpected;
    } rows[] = {
        {WSTR("C:\\out"), WSTR(""), WSTR("C:\\out\\")},
        {WSTR("C:\\out\\"), WSTR(""), WSTR("C:\\out\\")},
        {WSTR("C:"), WSTR(""), WSTR("C:\\")},
        {WSTR("\\"), WSTR(""), WSTR("\\")},
        {WSTR("C:\\out"), WSTR("x"), WSTR("C:\\out\\x")},
        {WSTR("C:\\out\\"), WSTR("\\\\x\\"), WSTR("C:\\out\\x\\")},
        {WSTR(""), WSTR(""), WSTR(".\\")},
        {WSTR(""), WSTR("\\x"), WSTR(".\\x")},
        {WSTR("C:\\out\\data.csv"), nullptr, WSTR("C:\\out\\")},
        {WSTR("C:\\data.csv"), nullptr, WSTR("C:\\")},
        {WSTR("\\data.csv"), nullptr, WSTR("\\")},
        {WSTR("C:\\out\\"), nullptr, WSTR("C:\\out\\")},
        {WSTR("C:data"), nullptr, WSTR("")},
        {WSTR("a/b/c"), nullptr, WSTR("")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        String s(row.pszText);
        if (row.pszComponent) {
            EXPECT_EQ(&s, &(s *= String(row.pszComponent)));
            EXPECT_EQ(Text(row.pszExpected), TextOf(s));
        } else {
            EXPECT_EQ(Text(row.pszExpected), TextOf(s.path()));
            EXPECT_EQ(Text(row.pszText), TextOf(s)) << "the source is unchanged";
        }
    }
}

// Each allocation fails in turn: a text is then empty (never freed), a join
// keeps the previous text, path() gives all or nothing, and nothing leaks.
TEST(String, WithoutMemoryTextsStayValidAndNothingLeaks)
{
    long before = alloc::LiveBlocks();
    for (long n = 0; n < 5; ++n) {
        SCOPED_TRACE(testing::Message() << "failing allocation " << n);
        String s(WSTR("C:\\out\\a.csv"));
        alloc::FailAfter(n);
        String empty;
        String text(WSTR("C:\\b"));
        String directory = s.path();
        s *= empty;
        alloc::NeverFail();
        EXPECT_EQ(Text(), TextOf(empty));
        EXPECT_TRUE(text == WSTR("C:\\b") || !text.strlen());
        EXPECT_TRUE(directory == WSTR("C:\\out\\") || !directory.strlen());
        EXPECT_TRUE(s == WSTR("C:\\out\\a.csv\\") || s == WSTR("C:\\out\\a.csv"));
    }
    EXPECT_EQ(before, alloc::LiveBlocks());
}

} // namespace
