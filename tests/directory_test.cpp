// tests/directory_test.cpp: the directory walk on the real file system: the
// missing levels made from the top down, an existing directory left alone,
// and walks that cannot finish stopping with nothing further made.
#include "output/Directory.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{

const int kUntouched = 0x5EB7;

TEST(EnsureDirectory, ExistingDirectoryIsLeftAlone)
{
    TempDir dir;
    fs::create_directory(dir.Native() / "a");
    for (const WCHAR* suffix : {WSTR(""), WSTR("\\")}) {
        SCOPED_TRACE(Narrow(suffix));
        int nError = kUntouched;
        EXPECT_EQ(1, EnsureDirectory((dir.Path(WSTR("a")) + suffix).c_str(), &nError));
        EXPECT_EQ(kUntouched, nError);
        EXPECT_EQ(std::set<std::string>{"a"}, dir.Tree());
    }
}

TEST(EnsureDirectory, MakesEveryMissingLevel)
{
    TempDir dir;
    EXPECT_EQ(1, EnsureDirectory(dir.Path(WSTR("a\\b\\c\\")).c_str()));
    EXPECT_EQ((std::set<std::string>{"a", "a/b", "a/b/c"}), dir.Tree());
    EXPECT_TRUE(fs::is_directory(dir.Native() / "a" / "b" / "c"));
}

// Each row's walk fails; the levels made before the failure stay, nothing
// below it is tried, and only a failure of the last level reports its error.
TEST(EnsureDirectory, WalkThatCannotFinishMakesNothingFurther)
{
    const WString sTooLong(300, WSTR('x')); // longer than any file name may be
    struct Row {
        const char* label;
        WString directory; // below the test's directory
        std::set<std::string> tree;
        int nError;
    } rows[] = {
        {"a file in the way further up", WSTR("f\\x\\y"), {"f"}, kUntouched},
        {"a file where the directory belongs", WSTR("f"), {"f"}, EEXIST},
        {"a level that cannot be named", WSTR("new\\") + sTooLong + WSTR("\\c"), {"f", "new"}, kUntouched},
        {"the last level cannot be named", sTooLong, {"f"}, ENOENT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        TempDir dir;
        fs::path file = dir.Native() / "f";
        std::ofstream(file).put('x');
        int nError = kUntouched;
        EXPECT_EQ(0, EnsureDirectory(dir.Path(row.directory).c_str(), &nError));
        EXPECT_EQ(row.tree, dir.Tree());
        EXPECT_EQ(row.nError, nError);
    }
}

// Names whose walk reaches no existing level: a missing drive, and a name
// without a backslash, have no parent to look at. The empty name is the
// current directory (String joins a component to it as ".\").
TEST(EnsureDirectory, NamesWithoutAnExistingLevel)
{
    TempDir dir;
    CurrentDirectory current(dir.Native());
    ASSERT_FALSE(fs::exists(NativePath(WString(MissingDrive()) + WSTR("\\"))));
    struct Row {
        WString directory;
        int nResult;
    } rows[] = {
        {WString(MissingDrive()) + WSTR("\\a\\b"), 0},
        {WSTR("data"), 0},
        {WSTR(""), 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.directory.c_str()));
        int nError = kUntouched;
        EXPECT_EQ(row.nResult, EnsureDirectory(row.directory.c_str(), &nError));
        EXPECT_EQ(kUntouched, nError);
        EXPECT_TRUE(dir.Tree().empty());
    }
}

// The kernel's sysfs takes no new directory at its top, from anybody: a
// parent that refuses entries even where permissions do not (the tests run
// as the superuser). Wine reaches it through its drive of the Linux root.
TEST(EnsureDirectory, ParentThatRefusesNewEntries)
{
    const WString sParent = WSTR("\\sys\\");
    if (!fs::is_directory(NativePath(sParent + WSTR("class"))))
        GTEST_SKIP() << "no sysfs here";
    int nError = kUntouched;
    EXPECT_EQ(0, EnsureDirectory((sParent + WSTR("ferlo-test\\x")).c_str(), &nError));
    EXPECT_EQ(kUntouched, nError);
    EXPECT_EQ(0, EnsureDirectory((sParent + WSTR("ferlo-test")).c_str(), &nError));
    EXPECT_EQ(EACCES, nError);
    EXPECT_FALSE(fs::exists(NativePath(sParent + WSTR("ferlo-test"))));
}

// "." and ".." are resolved in the path's text before the disk is asked,
// as Windows does: a level named only to be left again is neither needed
// nor made. Each row makes one directory.
TEST(EnsureDirectory, DotsResolvedInTheText)
{
    const struct {
        const WCHAR* pszPath;
        const char* pszMade;
    } cases[] = {
        {WSTR("missing\\..\\a"), "a"},
        {WSTR("d\\e\\..\\..\\f\\"), "f"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.pszPath));
        TempDir dir;
        EXPECT_EQ(1, EnsureDirectory(dir.Path(c.pszPath).c_str()));
        EXPECT_EQ(std::set<std::string>{c.pszMade}, dir.Tree());
    }
}

} // namespace
