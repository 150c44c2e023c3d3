// tests/export_golden_test.cpp: whole exports, driven as the host drives them, compared byte for byte
// with the files in tests/golden/. FERLO_UPDATE_GOLDENS=1 writes the files found instead.
#include "export_host.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

const std::vector<TestTable> kTables = {
    {WSTR("Customers"),
     {WSTR("ID"), WSTR("Name"), WSTR("City"), WSTR("Note")},
     {
         {WSTR("c1"), {WSTR("1"), WSTR("Jürgen Müller"), WSTR("Köln"), WSTR("")}},
         {WSTR("c2"), {WSTR("2"), WSTR("Smith; Jones & Co"), WSTR("London"), WSTR("says \"hi\"")}},
         {WSTR("c3"), {WSTR("3"), WSTR(" padded "), WSTR("Paris"), WSTR("two\r\nlines")}},
         {WSTR("c4"), {WSTR("4"), WSTR("山田太郎"), WSTR("東京"), WSTR("<b>'bold'</b>")}},
         {WSTR("c5"), {WSTR("5"), WSTR("Иван Петров"), WSTR("Москва"), WSTR("smile \U0001F600")}},
     }},
    {WSTR("Orders"),
     {WSTR("OrderID"), WSTR("Customer"), WSTR("Amount, EUR")},
     {
         {WSTR("o1"), {WSTR("100"), WSTR("1"), WSTR("19.99")}},
         {WSTR("o2"), {WSTR("101"), WSTR("4"), WSTR("5,00")}},
     }},
    {WSTR("Empty"), {WSTR("Id"), WSTR("ID")}, {}},
};

// The export's files have the golden files' names and bytes. Windows writes a look-alike for a character
// its code page lacks, Linux the default character: such a case keeps Windows' files in "<name>.windows".
void ExpectGolden(const std::string& name, const TempDir& dir)
{
    fs::path golden = fs::path(FERLO_SOURCE_DIR) / "tests" / "golden" / name;
#if defined(_WIN32)
    if (fs::exists(golden.string() + ".windows"))
        golden += ".windows";
#endif
    if (std::getenv("FERLO_UPDATE_GOLDENS")) {
        fs::remove_all(golden);
        fs::create_directories(golden);
        for (const std::string& entry : dir.Tree())
            fs::copy_file(dir.Native() / entry, golden / entry);
    }
    std::set<std::string> expected;
    for (const auto& entry : fs::directory_iterator(golden))
        expected.insert(entry.path().filename().string());
    EXPECT_EQ(expected, dir.Tree());
    for (const std::string& entry : expected) {
        SCOPED_TRACE(entry);
        EXPECT_EQ(ReadBytes(golden / entry), ReadBytes(dir.Native() / entry));
    }
}

// {D} in the options stands for the export's directory.
WString Expand(WString options, const TempDir& dir)
{
    size_t at = options.find(WSTR("{D}"));
    return at == WString::npos ? options : options.replace(at, 3, dir.Path());
}

// An export of the first tables (0: one table of one file per record), or (-1) Orders in the place of
// Customers onto the file of an export of Customers: appended without a second headline, or replaced.
TEST(ExportGolden, EveryFormatByteForByte)
{
    const struct {
        const char* name;
        const WCHAR* options;
        int tables;
    } cases[] = {
        {"csv_1252_one_table", WSTR("[FILE={D}\\data][CSV=TRUE][DELIMITER=;][CHARSET=1252]"), 1},
        {"text_1252_three_tables", WSTR("[FILE={D}\\data][DELIMITER=\\t][CHARSET=1252]"), 3},
        {"csv_65001_no_head",
         WSTR("[FILE={D}\\data.csv][CSV=TRUE][WRITEHEAD=FALSE][CHARSET=65001][DELIMITER=,]"), 2},
        {"csv_932_one_table", WSTR("[FILE={D}\\data][CSV=TRUE][DELIMITER=,][CHARSET=932]"), 1},
        {"unicode_one_table", WSTR("[FILE={D}\\data][CHARSET=UNICODE][DELIMITER=\\t]"), 1},
        {"unicode_csv_two_tables", WSTR("[FILE={D}\\data][CSV=TRUE][CHARSET=UNICODE][DELIMITER=;]"), 2},
        {"xml_one_file", WSTR("[FILE={D}\\data][XML=TRUE][DELIMITER=;]"), 1},
        {"per_record_text_headline_unicode",
         WSTR("[SINGLE=TRUE][HEADLINE=TRUE][CHARSET=UNICODE][CSV=TRUE][DELIMITER=;][FILE=x]"), 0},
        {"per_record_text_65001", WSTR("[SINGLE=TRUE][CHARSET=65001][DELIMITER=|][FILE=x]"), 0},
        {"per_record_xml", WSTR("[SINGLE=TRUE][XML=TRUE][FILE=x]"), 0},
        {"commit_append_65001", WSTR("[FILE={D}\\data.csv][CSV=TRUE][CHARSET=65001][DELIMITER=;]"), -1},
        {"commit_append_unicode", WSTR("[FILE={D}\\data.txt][CHARSET=UNICODE][DELIMITER=;]"), -1},
        {"commit_replace", WSTR("[FILE={D}\\data.csv][CSV=TRUE][OVERWRITE=TRUE][CHARSET=65001][DELIMITER=;]"),
         -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        // Record paths in the current directory, so that the XML files quote the same paths each run.
        CurrentDirectory inside(dir.Native());
        std::vector<TestTable> tables(kTables.begin(), kTables.begin() + std::max(c.tables, 1));
        if (c.tables < 0) {
            ExportLog first = RunExport(Expand(c.options, dir), tables);
            ASSERT_TRUE(first.AllZero()) << first.calls;
            tables = {kTables[1]};
            tables[0].name = WSTR("Customers");
        }
        for (TestRecord& record : tables[0].records)
            record.path += c.tables ? WSTR("") : WSTR(".doc");
        ExportLog log = RunExport(Expand(c.options, dir), tables);
        EXPECT_TRUE(log.AllZero()) << log.calls;
        ExpectGolden(c.name, dir);
    }
}

} // namespace
