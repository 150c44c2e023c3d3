// tests/directory_test.cpp: the directory walk on the real file system: missing levels made from the top
// down, an existing directory left alone, walks that cannot finish stopping with nothing further made.
#include "output/Directory.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <optional>

namespace
{

const int kUntouched = 0x5EB7;

// Each row walks below a fresh directory holding the file "f" and the directory "e". A failed walk keeps
// the levels made before, tries nothing below, and reports an error only for the last level. "." and ".."
// are resolved in the text first, as Windows does: a level named only to be left is not made.
TEST(EnsureDirectory, MakesWhatIsMissingAndStopsAtAFailure)
{
    const WString sTooLong(300, WSTR('x')); // longer than any file name may be
    const struct {
        WString directory;
        int result;
        std::set<std::string> tree;
        int error;
    } rows[] = {
        {WSTR("e"), 1, {"e", "f"}, kUntouched},
        {WSTR("e\\"), 1, {"e", "f"}, kUntouched},
        {WSTR("a\\b\\c\\"), 1, {"a", "a/b", "a/b/c", "e", "f"}, kUntouched},
        {WSTR("missing\\..\\a"), 1, {"a", "e", "f"}, kUntouched},
        {WSTR("d\\e\\..\\..\\g\\"), 1, {"e", "f", "g"}, kUntouched},
        {WSTR("f\\x\\y"), 0, {"e", "f"}, kUntouched},
        {WSTR("f"), 0, {"e", "f"}, EEXIST},
        {WSTR("new\\") + sTooLong + WSTR("\\c"), 0, {"e", "f", "new"}, kUntouched},
        {sTooLong, 0, {"e", "f"}, ENOENT},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.directory.substr(0, 20).c_str()));
        TempDir dir;
        WriteBytes(dir.Native() / "f", "x");
        fs::create_directory(dir.Native() / "e");
        int nError = kUntouched;
        EXPECT_EQ(row.result, EnsureDirectory(dir.Path(row.directory).c_str(), &nError));
        EXPECT_EQ(row.tree, dir.Tree());
        EXPECT_EQ(row.error, nError);
    }
}

// Names whose walk reaches no existing level: a missing drive, a name without a backslash. The empty name
// is the current directory. sysfs takes no new directory at its top, even from the superuser; Wine
// reaches it through its drive of the Linux root.
TEST(EnsureDirectory, NamesWithoutAnExistingOrWritableLevel)
{
    TempDir dir;
    const bool bSysfs = fs::is_directory(NativePath(WSTR("\\sys\\class")));
    const struct {
        WString directory;
        int result, error;
    } rows[] = {
        {MISSING_DRIVE WSTR("\\a\\b"), 0, kUntouched},
        {WSTR("data"), 0, kUntouched},
        {WSTR(""), 1, kUntouched},
        {WSTR("\\sys\\ferlo-test\\x"), 0, kUntouched},
        {WSTR("\\sys\\ferlo-test"), 0, bSysfs ? EACCES : kUntouched},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.directory.c_str()));
        std::optional<CurrentDirectory> current;
        if (row.directory.rfind(WSTR("\\sys"), 0) != 0)
            current.emplace(dir.Native());
        int nError = kUntouched;
        EXPECT_EQ(row.result, EnsureDirectory(row.directory.c_str(), &nError));
        EXPECT_EQ(row.error, nError);
        EXPECT_TRUE(dir.Tree().empty());
    }
    EXPECT_FALSE(fs::exists(NativePath(WSTR("\\sys\\ferlo-test"))));
}

} // namespace
