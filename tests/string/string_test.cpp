// tests/string/string_test.cpp: String's 1-based searches, its exact
// comparisons, its copies, the path operations the filter relies on, and
// what it does when memory runs out.
#include "alloc_failure.h"
#include "common/String.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using Text = std::basic_string<WCHAR>;

// Wine's C runtime finds no text, not even the empty one, in the empty
// text, where Windows' finds the empty text at its start.
bool WineFindsNothingInEmptyText()
{
#if defined(_WIN32)
    HMODULE hNtdll = GetModuleHandleW(L"ntdll.dll");
    return hNtdll && GetProcAddress(hNtdll, "wine_get_version");
#else
    return false;
#endif
}

// The text of s as a value gtest can compare and print.
Text TextOf(const String& s)
{
    return Text(static_cast<const WCHAR*>(s));
}

TEST(StringConstruction, DefaultIsAnEmptyTextNotNull)
{
    String s;
    const WCHAR* p = s;
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0, p[0]);
    EXPECT_EQ(0, s.strlen());
    EXPECT_EQ(1, s.empty());
    EXPECT_EQ(1, !s);
}

TEST(StringConstruction, CopiesTheTextItIsGiven)
{
    WCHAR source[] = WSTR("abc");
    String s(source);
    String t;
    t = source;
    source[0] = WSTR('x');
    EXPECT_EQ(Text(WSTR("abc")), TextOf(s));
    EXPECT_EQ(Text(WSTR("abc")), TextOf(t));
    EXPECT_NE(static_cast<const WCHAR*>(source), static_cast<const WCHAR*>(s));
    EXPECT_EQ(0, s.empty());
    EXPECT_EQ(0, !s);
}

TEST(StringConstruction, NullTextIsTakenAsEmpty)
{
    String s(static_cast<const WCHAR*>(nullptr));
    EXPECT_EQ(Text(), TextOf(s));
    String t(WSTR("abc"));
    t = static_cast<const WCHAR*>(nullptr);
    EXPECT_EQ(Text(), TextOf(t));
}

TEST(StringConstruction, AssigningAPartOfItsOwnTextReadsBeforeReleasing)
{
    String s(WSTR("a\\b\\c"));
    s = static_cast<const WCHAR*>(s) + 2;
    EXPECT_EQ(Text(WSTR("b\\c")), TextOf(s));
    s = static_cast<const WCHAR*>(s);
    EXPECT_EQ(Text(WSTR("b\\c")), TextOf(s));
}

TEST(StringConstruction, CopiesOwnTheirText)
{
    String a(WSTR("abc"));
    String b(a);
    String c(WSTR("something longer"));
    c = a;
    a.strupr();
    EXPECT_EQ(Text(WSTR("ABC")), TextOf(a));
    EXPECT_EQ(Text(WSTR("abc")), TextOf(b));
    EXPECT_EQ(Text(WSTR("abc")), TextOf(c));
    const String& self = c;
    c = self;
    EXPECT_EQ(Text(WSTR("abc")), TextOf(c));
}

enum class Search { Chr, RChr, Str };

struct SearchRow {
    const char* label;
    const WCHAR* pszText;
    Search op;
    int c;
    const WCHAR* pszFind;
    int expected;
};

TEST(StringSearch, PositionsCountFromOneAndZeroIsNotFound)
{
    const SearchRow rows[] = {
        {"first backslash", WSTR("a\\b\\c"), Search::Chr, '\\', nullptr, 2},
        {"last backslash", WSTR("a\\b\\c"), Search::RChr, '\\', nullptr, 4},
        {"text b\\c", WSTR("a\\b\\c"), Search::Str, 0, WSTR("b\\c"), 3},
        {"absent unit", WSTR("a\\b\\c"), Search::Chr, 'x', nullptr, 0},
        {"absent unit from the end", WSTR("a\\b\\c"), Search::RChr, 'x', nullptr, 0},
        {"first unit", WSTR("a\\b\\c"), Search::Chr, 'a', nullptr, 1},
        {"last unit", WSTR("a\\b\\c"), Search::RChr, 'c', nullptr, 5},
        {"terminator", WSTR("a\\b\\c"), Search::Chr, 0, nullptr, 6},
        {"terminator from the end", WSTR("a\\b\\c"), Search::RChr, 0, nullptr, 6},
        {"terminator of the empty text", WSTR(""), Search::Chr, 0, nullptr, 1},
        {"unit in the empty text", WSTR(""), Search::Chr, 'a', nullptr, 0},
        {"empty text to find", WSTR("abc"), Search::Str, 0, WSTR(""), 1},
        {"empty text in the empty text", WSTR(""), Search::Str, 0, WSTR(""), 1},
        {"text in the empty text", WSTR(""), Search::Str, 0, WSTR("a"), 0},
        {"text longer than the string", WSTR("ab"), Search::Str, 0, WSTR("abc"), 0},
        {"match cut off by the end", WSTR("a\\b\\c"), Search::Str, 0, WSTR("c\\"), 0},
        {"match after a false start", WSTR("aaab"), Search::Str, 0, WSTR("aab"), 2},
        {"case differs", WSTR("abc"), Search::Str, 0, WSTR("B"), 0},
        {"high bits of c ignored", WSTR("a\\b\\c"), Search::Chr, 0x10000 + '\\', nullptr, 2},
        {"high bits ignored from the end", WSTR("a\\b\\c"), Search::RChr, 0x7FFF0000 | 'c', nullptr, 5},
        {"only high bits finds the terminator", WSTR("abc"), Search::Chr, 0x10000, nullptr, 4},
        {"negative c is the unit FFFF", WSTR("a\xFFFF"), Search::Chr, -1, nullptr, 2},
        {"unit above 7FFF", WSTR("\x00E9\x8000x"), Search::RChr, 0x8000, nullptr, 2},
    };
    for (const SearchRow& row : rows) {
        SCOPED_TRACE(row.label);
        const String s(row.pszText);
        switch (row.op) {
        case Search::Chr:
            EXPECT_EQ(row.expected, s.strchr(row.c));
            break;
        case Search::RChr:
            EXPECT_EQ(row.expected, s.strrchr(row.c));
            break;
        case Search::Str:
            if (!s.strlen() && !row.pszFind[0] && WineFindsNothingInEmptyText()) {
                EXPECT_EQ(0, s.strstr(row.pszFind)) << "Wine";
            } else {
                EXPECT_EQ(row.expected, s.strstr(row.pszFind));
            }
            break;
        }
    }
}

struct CompareRow {
    const WCHAR* pszA;
    const WCHAR* pszB;
    int equal;
};

TEST(StringCompare, EveryFormComparesUnitsExactly)
{
    const CompareRow rows[] = {
        {WSTR("abc"), WSTR("abc"), 1},
        {WSTR("Abc"), WSTR("abc"), 0},
        {WSTR("abc"), WSTR("ABC"), 0},
        {WSTR(""), WSTR(""), 1},
        {WSTR("abc"), WSTR("ab"), 0},
        {WSTR("ab"), WSTR("abc"), 0},
        {WSTR(""), WSTR("a"), 0},
        {WSTR("\x00E9"), WSTR("\x00C9"), 0},
        {WSTR("a\xFFFF"), WSTR("a\xFFFF"), 1},
        {WSTR("a\xFFFF"), WSTR("a\x0001"), 0},
    };
    for (const CompareRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        String a(row.pszA);
        String b(row.pszB);
        const String& ca = a;
        const String& cb = b;
        WCHAR* pszB = const_cast<WCHAR*>(static_cast<const WCHAR*>(b));
        EXPECT_EQ(row.equal, ca == cb);
        EXPECT_EQ(row.equal, a == cb);
        EXPECT_EQ(row.equal, cb == ca) << "symmetric";
        EXPECT_EQ(row.equal, ca == row.pszB);
        EXPECT_EQ(row.equal, a == row.pszB);
        EXPECT_EQ(row.equal, ca == pszB);
        EXPECT_EQ(row.equal, a == pszB);
        EXPECT_EQ(1 - row.equal, ca != cb);
    }
}

TEST(StringCase, ChangesTheTextInPlaceAndReturnsTheSameObject)
{
    String s(WSTR("abc"));
    const WCHAR* before = s;
    String& upper = s.strupr();
    EXPECT_EQ(&s, &upper);
    EXPECT_EQ(before, static_cast<const WCHAR*>(s)) << "in place";
    EXPECT_EQ(Text(WSTR("ABC")), TextOf(s));

    String mixed(WSTR("Path\\To-File_9.txt"));
    EXPECT_EQ(&mixed, &mixed.strlwr());
    EXPECT_EQ(Text(WSTR("path\\to-file_9.txt")), TextOf(mixed));

    String empty;
    EXPECT_EQ(Text(), TextOf(empty.strupr()));
}

struct JoinRow {
    const WCHAR* pszLeft;
    const WCHAR* pszComponent;
    const WCHAR* pszExpected;
};

TEST(StringPath, JoiningPutsExactlyOneBackslashAtTheSeam)
{
    const JoinRow rows[] = {
        {WSTR("C:\\out"), WSTR(""), WSTR("C:\\out\\")},
        {WSTR("C:\\out\\"), WSTR(""), WSTR("C:\\out\\")},
        {WSTR("C:\\"), WSTR(""), WSTR("C:\\")},
        {WSTR("C:"), WSTR(""), WSTR("C:\\")},
        {WSTR("\\"), WSTR(""), WSTR("\\")},
        {WSTR("\\\\server\\share"), WSTR(""), WSTR("\\\\server\\share\\")},
        {WSTR("data"), WSTR(""), WSTR("data\\")},
        {WSTR("a/b"), WSTR(""), WSTR("a/b\\")},
        {WSTR("C:\\out"), WSTR("x"), WSTR("C:\\out\\x")},
        {WSTR("C:\\out\\"), WSTR("x"), WSTR("C:\\out\\x")},
        {WSTR("C:\\out"), WSTR("\\x"), WSTR("C:\\out\\x")},
        {WSTR("C:\\out\\"), WSTR("\\\\x\\"), WSTR("C:\\out\\x\\")},
        // An empty directory is the current one.
        {WSTR(""), WSTR(""), WSTR(".\\")},
        {WSTR(""), WSTR("x"), WSTR(".\\x")},
        {WSTR(""), WSTR("\\x"), WSTR(".\\x")},
    };
    for (const JoinRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        String s(row.pszLeft);
        const String component(row.pszComponent);
        String& result = (s *= component);
        EXPECT_EQ(&s, &result);
        EXPECT_EQ(Text(row.pszExpected), TextOf(s));
        EXPECT_EQ(Text(row.pszComponent), TextOf(component));
    }
}

TEST(StringPath, JoiningAStringToItself)
{
    String s(WSTR("a"));
    s *= s;
    EXPECT_EQ(Text(WSTR("a\\a")), TextOf(s));
}

struct PathRow {
    const WCHAR* pszText;
    const WCHAR* pszDirectory;
};

TEST(StringPath, DirectoryPartKeepsItsBackslash)
{
    const PathRow rows[] = {
        {WSTR("C:\\out\\data.csv"), WSTR("C:\\out\\")},
        {WSTR("C:\\data.csv"), WSTR("C:\\")},
        {WSTR("\\data.csv"), WSTR("\\")},
        {WSTR("C:\\out\\"), WSTR("C:\\out\\")},
        {WSTR("a\\b\\c"), WSTR("a\\b\\")},
        {WSTR("\\\\server\\share\\f"), WSTR("\\\\server\\share\\")},
        {WSTR("data"), WSTR("")},
        {WSTR("C:data"), WSTR("")},
        {WSTR("a/b/c"), WSTR("")},
        {WSTR(""), WSTR("")},
    };
    for (const PathRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        const String s(row.pszText);
        String directory = s.path();
        EXPECT_EQ(Text(row.pszDirectory), TextOf(directory));
        EXPECT_EQ(Text(row.pszText), TextOf(s)) << "the source is unchanged";
        EXPECT_NE(static_cast<const WCHAR*>(s), static_cast<const WCHAR*>(directory));
    }
}

// Under fault injection: a constructor without memory holds an empty text
// that is never freed, an assignment or join without memory keeps the
// previous text, and nothing leaks either way.
TEST(StringMemory, ConstructionWithoutMemoryGivesTheEmptyText)
{
    long before = alloc::LiveBlocks();
    {
        alloc::ScopedFailAfter fail(0);
        String s;
        EXPECT_EQ(0, s.strlen());
        ASSERT_NE(nullptr, static_cast<const WCHAR*>(s));
    }
    {
        alloc::ScopedFailAfter fail(0);
        String s(WSTR("abc"));
        EXPECT_EQ(Text(), TextOf(s));
        EXPECT_EQ(1, s.empty());
        s.strupr();
    }
    {
        String a(WSTR("abc"));
        alloc::ScopedFailAfter fail(0);
        String b(a);
        EXPECT_EQ(Text(), TextOf(b));
    }
    EXPECT_EQ(before, alloc::LiveBlocks());
}

TEST(StringMemory, ChangesWithoutMemoryKeepThePreviousText)
{
    long before = alloc::LiveBlocks();
    {
        String s(WSTR("C:\\out"));
        String other(WSTR("other"));
        const String empty;
        {
            alloc::ScopedFailAfter fail(0);
            s = WSTR("new");
        }
        EXPECT_EQ(Text(WSTR("C:\\out")), TextOf(s));
        {
            alloc::ScopedFailAfter fail(0);
            s = other;
        }
        EXPECT_EQ(Text(WSTR("C:\\out")), TextOf(s));
        {
            alloc::ScopedFailAfter fail(0);
            s *= empty;
        }
        EXPECT_EQ(Text(WSTR("C:\\out")), TextOf(s));
        s *= empty;
        EXPECT_EQ(Text(WSTR("C:\\out\\")), TextOf(s));
    }
    EXPECT_EQ(before, alloc::LiveBlocks());
}

// path() needs two blocks: whichever is missing, the result is the whole
// directory or the empty text.
TEST(StringMemory, DirectoryPartWithoutMemoryIsWholeOrEmpty)
{
    long before = alloc::LiveBlocks();
    {
        const String s(WSTR("C:\\out\\data.csv"));
        for (long n = 0; n < 3; ++n) {
            SCOPED_TRACE(testing::Message() << "failing allocation " << n);
            Text directory;
            {
                alloc::FailAfter(n);
                String part = s.path();
                alloc::NeverFail();
                directory = TextOf(part);
            }
            EXPECT_TRUE(directory == Text(WSTR("C:\\out\\")) || directory.empty());
        }
    }
    EXPECT_EQ(before, alloc::LiveBlocks());
}

} // namespace
