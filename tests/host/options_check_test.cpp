// tests/host/options_check_test.cpp: the FILE item the host writes for
// --output, into options whose other groups must read as before.
#include "OptionsCheck.h"

#include <gtest/gtest.h>

TEST(OptionsCheck, FileItemOfSystemPaths)
{
    const struct {
        const char* path;
        bool bDriveLetters;
        const char* item;
    } cases[] = {
        {"out/c.csv", false, ".\\out\\c.csv"}, {"c.csv", false, ".\\c.csv"},
        {"./c.csv", false, ".\\c.csv"},        {"../c.csv", false, "..\\c.csv"},
        {"/tmp/c", false, "\\tmp\\c"},         {"C:/out/c", false, ".\\C:\\out\\c"},
        {"C:/out/c", true, "C:\\out\\c"},      {"out\\c", true, ".\\out\\c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Widen(c.item), FileItemOf(c.path, c.bDriveLetters)) << c.path;
}

// Every FILE group the filter would apply gets the new value; without one,
// the group goes where the filter starts reading.
TEST(OptionsCheck, ReplaceFileItem)
{
    const struct {
        const char* options;
        const char* result;
    } cases[] = {
        {"[CSV=TRUE]", "[FILE=.\\x][CSV=TRUE]"},
        {"", "[FILE=.\\x]"},
        {"options:[CSV=TRUE]", "options:[FILE=.\\x][CSV=TRUE]"},
        {"[file=a][CSV=TRUE][FILE=bb]", "[file=.\\x][CSV=TRUE][FILE=.\\x]"},
        {"[CSV=TRUE] [FILE=a]", "[FILE=.\\x][CSV=TRUE] [FILE=a]"},
    };
    WString result;
    for (const auto& c : cases) {
        ASSERT_TRUE(ReplaceFileItem(Widen(c.options), Widen(".\\x"), &result));
        EXPECT_EQ(Widen(c.result), result);
    }
    EXPECT_FALSE(ReplaceFileItem(Widen("[CSV=TRUE]"), Widen("a]b"), &result));
}
