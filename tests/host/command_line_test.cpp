// tests/host/command_line_test.cpp: the arguments ferlo-export accepts, and
// the one-line message for each it refuses.
#include "CommandLine.h"

#include <gtest/gtest.h>

// The command as one line, the mode and what was given, or the message.
static std::string Parsed(const std::vector<std::string>& args)
{
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(args, &line, &error))
        return error;
    std::string out = std::vector<std::string>{"export", "info", "help", "configure"}[line.mode];
    for (const std::string& table : line.tables)
        out += " table=" + table;
    for (const auto& given : {std::make_pair("options", line.options),
                              {"options-file", line.optionsFile},
                              {"column", line.recordPathColumn},
                              {"key", line.registryKey},
                              {"output", line.output}})
        out += given.second ? std::string(" ") + given.first + "=" + *given.second : "";
    out += (line.plugin.empty() ? "" : " plugin=" + line.plugin) +
           (line.database.empty() ? "" : " db=" + line.database);
    return out + (line.bQuiet ? " quiet" : "") + (line.bMap ? " map" : "") + (line.bStrict ? " strict" : "") +
           (line.bExplain ? " explain" : "");
}

TEST(CommandLine, ParsesOrRefusesWithOneLine)
{
    const char* const kNeedsOptions = "an options string is needed: give --options or --options-file";
    const char* const kInfoAlone = "--info takes no database and no export options, only --plugin";
    const struct {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{"--options=[FILE=a=b]", "shop.db"}, "export options=[FILE=a=b] db=shop.db"},
        {{"--options", "", "shop.db"}, "export options= db=shop.db"},
        {{"--table", "orders", "--table=customers", "--options", "x", "shop.db"},
         "export table=orders table=customers options=x db=shop.db"},
        {{"shop.db", "--options", "x"}, "export options=x db=shop.db"},
        {{"--options", "x", "--", "--help"}, "export options=x db=--help"},
        {{"--options", "x", "-"}, "export options=x db=-"},
        {{"--registry-key", "", "--quiet", "--options=", "a.db"}, "export options= key= db=a.db quiet"},
        {{"--help"}, "help"},
        {{"--options", "x", "-h", "shop.db"}, "help"},
        {{"--bogus", "--help"}, "help"},
        {{"--map", "--configure", "--registry-key", "k"}, "configure key=k map"},
        {{"--configure", "--options-file", "o.txt"}, "configure options-file=o.txt"},
        {{}, kNeedsOptions},
        {{"shop.db"}, kNeedsOptions},
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
        {{"--info", "a.db"}, kInfoAlone},
        {{"--info", "--table", "t"}, kInfoAlone},
        {{"--info", "--explain"}, kInfoAlone},
        {{"--info", "--configure"}, "--info and --configure cannot both be given"},
        {{"--configure", "a.db"},
         "--configure takes no database and no export options, only --plugin, --options or --options-file, "
         "--map and --registry-key"},
        {{"--configure", "--map", "--options", "x"},
         "--map asks for the stored options of a map export: it takes no --options or --options-file"},
        {{"--map", "--options", "x", "a.db"}, "--map is for --configure only"},
        {{"-o", "a", "--output", "b"}, "--output is given twice"},
        {{"--output="}, "--output needs a path"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(c.expected, Parsed(c.args));
    }
}
