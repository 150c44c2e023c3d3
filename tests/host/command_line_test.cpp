// tests/host/command_line_test.cpp: the arguments ferlo-export accepts and
// the one-line message for each it refuses.
#include "CommandLine.h"

#include <gtest/gtest.h>

using Args = std::vector<std::string>;

TEST(CommandLine, AcceptsExports)
{
    const struct {
        const char* label;
        Args args;
        std::string options;
        std::vector<std::string> tables;
        std::string database;
    } cases[] = {
        {"value as the next argument", {"--options", "[CSV=TRUE]", "shop.db"}, "[CSV=TRUE]", {}, "shop.db"},
        {"value after =, which may hold =", {"--options=[FILE=a=b]", "shop.db"}, "[FILE=a=b]", {}, "shop.db"},
        {"an empty options string", {"--options", "", "shop.db"}, "", {}, "shop.db"},
        {"tables in the order given",
         {"--table", "orders", "--table=customers", "--options", "x", "shop.db"},
         "x",
         {"orders", "customers"},
         "shop.db"},
        {"database before the options", {"shop.db", "--options", "x"}, "x", {}, "shop.db"},
        {"-- ends the options", {"--options", "x", "--", "--help"}, "x", {}, "--help"},
        {"- is a name", {"--options", "x", "-"}, "x", {}, "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CommandLine line;
        std::string error;
        ASSERT_TRUE(ParseCommandLine(c.args, &line, &error)) << error;
        EXPECT_EQ(CommandLine::kExport, line.mode);
        EXPECT_EQ(c.options, line.options.value_or("(none)"));
        EXPECT_EQ(c.tables, line.tables);
        EXPECT_EQ(c.database, line.database);
    }
}

TEST(CommandLine, KeepsEveryExportOption)
{
    CommandLine line;
    std::string error;
    Args args = {"--plugin",       "p.so", "--options-file", "o.txt",  "--record-path-column", "path",
                 "--registry-key", "",     "--quiet",        "shop.db"};
    ASSERT_TRUE(ParseCommandLine(args, &line, &error)) << error;
    EXPECT_EQ("p.so", line.plugin);
    EXPECT_FALSE(line.options);
    EXPECT_EQ("o.txt", line.optionsFile.value_or("(none)"));
    EXPECT_EQ("path", line.recordPathColumn.value_or("(none)"));
    EXPECT_EQ("", line.registryKey.value_or("(none)")) << "an empty key is a key, not none";
    EXPECT_TRUE(line.bQuiet);

    ASSERT_TRUE(
        ParseCommandLine({"-o", "out/c.csv", "--strict", "--explain", "--options=", "a.db"}, &line, &error))
        << error;
    EXPECT_EQ("out/c.csv", line.output.value_or("(none)"));
    EXPECT_TRUE(line.bStrict && line.bExplain);
}

TEST(CommandLine, ChoosesInfoAndHelp)
{
    const struct {
        const char* label;
        Args args;
        CommandLine::Mode mode;
    } cases[] = {
        {"info", {"--info"}, CommandLine::kInfo},
        {"info with a plug-in", {"--info", "--plugin", "p.so"}, CommandLine::kInfo},
        {"help", {"--help"}, CommandLine::kHelp},
        {"-h among export arguments", {"--options", "x", "-h", "shop.db"}, CommandLine::kHelp},
        {"help beside a wrong argument", {"--bogus", "--help"}, CommandLine::kHelp},
        {"configure on the stored options", {"--configure"}, CommandLine::kConfigure},
        {"configure a map export", {"--map", "--configure", "--registry-key", "k"}, CommandLine::kConfigure},
        {"configure given options", {"--configure", "--options-file", "o.txt"}, CommandLine::kConfigure},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CommandLine line;
        std::string error;
        ASSERT_TRUE(ParseCommandLine(c.args, &line, &error)) << error;
        EXPECT_EQ(c.mode, line.mode);
    }
}

TEST(CommandLine, RefusesWithOneLine)
{
    const struct {
        Args args;
        const char* message;
    } cases[] = {
        {{}, "an options string is needed: give --options or --options-file"},
        {{"shop.db"}, "an options string is needed: give --options or --options-file"},
        {{"--options", "x"}, "no database given"},
        {{"--options", "x", "a.db", "b.db"}, "unexpected argument b.db: one database is exported at a time"},
        {{"--options"}, "--options needs a value"},
        {{"--options", "x", "--options", "y", "a.db"}, "--options is given twice"},
        {{"--options", "x", "--options-file", "f", "a.db"},
         "--options and --options-file cannot both be given"},
        {{"--record-path-column", "a", "--record-path-column", "b"}, "--record-path-column is given twice"},
        {{"--plugin", "a", "--plugin", "b"}, "--plugin is given twice"},
        {{"--plugin="}, "--plugin needs a path"},
        {{"--table", ""}, "--table needs a table name"},
        {{"--record-path-column="}, "--record-path-column needs a column name"},
        {{"--quiet=yes"}, "--quiet takes no value"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"--bogus=1"}, "unknown option --bogus"},
        {{"-x"}, "unknown option -x"},
        {{"--info", "a.db"}, "--info takes no database and no export options, only --plugin"},
        {{"--info", "--table", "t"}, "--info takes no database and no export options, only --plugin"},
        {{"--info", "--configure"}, "--info and --configure cannot both be given"},
        {{"--configure", "a.db"},
         "--configure takes no database and no export options, only --plugin, --options or --options-file, "
         "--map and --registry-key"},
        {{"--configure", "--map", "--options", "x"},
         "--map asks for the stored options of a map export: it takes no --options or --options-file"},
        {{"--map", "--options", "x", "a.db"}, "--map is for --configure only"},
        {{"-o", "a", "--output", "b"}, "--output is given twice"},
        {{"--output="}, "--output needs a path"},
        {{"--info", "--explain"}, "--info takes no database and no export options, only --plugin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        CommandLine line;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(c.args, &line, &error));
        EXPECT_EQ(c.message, error);
    }
}
