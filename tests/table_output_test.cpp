// tests/table_output_test.cpp: a table's head, tables left open, a taken name, record operations outside
// an open file, and writing records without allocating.
#include "alloc_failure.h"
#include "export_host.h"
#include "reference_text.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace
{

// A filter with its options parsed, and fields the test owns.
struct Table {
    FilterPtr filter = MakeFilter();
    std::vector<TestField> fields;
    std::vector<HostField*> pointers;
    int parsed;

    explicit Table(const WString& options, std::vector<WString> names = {WSTR("ID"), WSTR("Name")})
        : fields(names.begin(), names.end()), parsed(filter->ParseOptions(HostStr(options)))
    {
        for (TestField& field : fields)
            pointers.push_back(&field);
    }
    int Begin(const WString& name)
    {
        return filter->BeginTable(HostStr(name), pointers.data(), static_cast<int>(pointers.size()));
    }
    WString Work() const { return filter->m_output.m_szWorkFile; }
};

WString Options(const TempDir& dir, const WCHAR* file, const WCHAR* more = WSTR(""))
{
    return WSTR("[CHARSET=1252][DELIMITER=;][FILE=") + dir.Path(file) + WSTR("]") + more;
}

// The head: names quoted by the CSV rule, a line even without fields, only the byte-order mark with
// WRITEHEAD off. The records begin where it ends: the commit of an append copies them from there.
TEST(TableOutput, HeadAndWhereTheRecordsStart)
{
    const std::vector<WString> idName = {WSTR("ID"), WSTR("Name")};
    const std::string bom = "\xFF\xFE";
    const struct {
        const WCHAR* options;
        std::vector<WString> names;
        std::string head;
    } rows[] = {{WSTR(""), idName, "id;Name\r\n"},
                {WSTR("[CHARSET=UNICODE]"), idName, bom + Utf16le(WSTR("id;Name\r\n"))},
                {WSTR("[WRITEHEAD=FALSE]"), idName, ""},
                {WSTR("[WRITEHEAD=FALSE][CHARSET=UNICODE]"), idName, bom},
                {WSTR("[CSV=TRUE]"), {WSTR("a;b"), WSTR(" x")}, "\"a;b\";\" x\"\r\n"},
                {WSTR("[CSV=TRUE]"), {}, "\r\n"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.options) + ", " + std::to_string(row.names.size()) + " names");
        TempDir dir;
        Table t(Options(dir, WSTR("data"), row.options), row.names);
        ASSERT_EQ(0, t.Begin(WSTR("Customers")));
        EXPECT_EQ(static_cast<int64_t>(row.head.size()), t.filter->m_output.m_nRecordsStart);
        EXPECT_EQ(0, t.filter->EndTable());
        EXPECT_EQ(row.head, ReadBytes(NativePath(t.Work())));
    }
}

// A host that forgets EndTable: the next table, or Commit, closes the open file; each table keeps its head.
TEST(TableOutput, TableLeftOpenIsClosedByTheNextTableOrCommit)
{
    TempDir dir;
    Table t(Options(dir, WSTR("data")));
    ASSERT_EQ(0, t.Begin(WSTR("A")));
    ASSERT_EQ(0, t.Begin(WSTR("B")));
    ASSERT_EQ(0, t.filter->EndTable());
    EXPECT_EQ((std::set<std::string>{"data-A.txt", "data-B.txt"}), dir.Tree());
    EXPECT_EQ("id;Name\r\n", ReadBytes(dir.Native() / "data-A.txt"));
    EXPECT_EQ("id;Name\r\n", ReadBytes(dir.Native() / "data-B.txt"));

    TempDir other;
    Table u(Options(other, WSTR("data")));
    ASSERT_EQ(0, u.Begin(WSTR("A")));
    EXPECT_EQ(0, u.filter->Commit());
    EXPECT_EQ(nullptr, u.filter->m_output.m_pFile);
    EXPECT_EQ(std::set<std::string>{"data.txt"}, other.Tree());
    EXPECT_EQ("id;Name\r\n", ReadBytes(other.Native() / "data.txt"));
}

// The first table's final name is taken: without OVERWRITE its records stay in the work file and the
// second table is refused; with it, the old file is replaced.
TEST(TableOutput, TakenNameForTheFirstTable)
{
    for (bool overwrite : {false, true}) {
        SCOPED_TRACE(overwrite ? "OVERWRITE on" : "OVERWRITE off");
        TempDir dir;
        WriteBytes(dir.Native() / "data-Customers.txt", "old");
        Table t(Options(dir, WSTR("data"), overwrite ? WSTR("[OVERWRITE=TRUE]") : WSTR("")));
        ASSERT_EQ(0, t.Begin(WSTR("Customers")));
        WString work = t.Work();
        ASSERT_EQ(0, t.filter->EndTable());
        EXPECT_EQ(overwrite ? 0 : 2, t.Begin(WSTR("Orders")));
        EXPECT_EQ(overwrite ? "id;Name\r\n" : "old", ReadBytes(dir.Native() / "data-Customers.txt"));
        EXPECT_EQ(overwrite ? "" : "id;Name\r\n", ReadBytes(NativePath(work)))
            << "the first table is not lost";
        EXPECT_EQ(overwrite, t.filter->m_output.m_pFile != nullptr);
        t.filter->EndTable();
    }
}

// One file per record: the tables open nothing and keep the last table's names only.
TEST(TableOutput, PerRecordTablesKeepOnlyTheirNames)
{
    TempDir dir;
    CurrentDirectory inside(dir.Native());
    Table t(WSTR("[SINGLE=TRUE][FILE=x]"), {WSTR("A"), WSTR("B"), WSTR("C")});
    ASSERT_EQ(0, t.Begin(WSTR("First")));
    t.pointers.resize(1);
    ASSERT_EQ(0, t.Begin(WSTR("Second")));
    ASSERT_EQ(1, t.filter->m_output.m_nFieldNames);
    EXPECT_EQ(WString(WSTR("A")), t.filter->m_output.m_ppszFieldNames[0]);
    EXPECT_EQ(0, t.filter->m_output.m_nTables);
    EXPECT_TRUE(dir.Tree().empty());
}

// Outside an open file the record operations answer as the host expects (one file per record: EndRecord
// gives 1), and each field is still prepared.
TEST(TableOutput, RecordOperationsWithoutAnOpenFile)
{
    for (const WCHAR* options : {WSTR("[CHARSET=1252]"), WSTR("[SINGLE=TRUE]")}) {
        SCOPED_TRACE(Narrow(options));
        Table t(options);
        EXPECT_EQ(1, t.filter->WriteField(&t.fields[0]));
        EXPECT_EQ(1, t.fields[0].prepared);
        EXPECT_EQ(0, t.fields[0].valuesTaken);
        EXPECT_EQ(WString(options) == WSTR("[SINGLE=TRUE]"), t.filter->EndRecord());
        EXPECT_EQ(0, t.filter->EndTable());
        EXPECT_EQ(0, t.filter->EndTable());
        EXPECT_EQ(0, t.filter->Commit());
        EXPECT_EQ(1, t.filter->WriteField(nullptr));
    }
}

// The test's fields allocate nothing, so any allocation while records are written is the filter's.
TEST(TableOutput, WritingFieldsAllocatesNothing)
{
    const WCHAR* options[] = {
        WSTR("[CSV=TRUE][CHARSET=1252]"), WSTR("[CSV=TRUE][CHARSET=65001][DELIMITER=,]"),
        WSTR("[CSV=TRUE][CHARSET=932]"),  WSTR("[CHARSET=12345]"),
        WSTR("[CHARSET=UNICODE]"),        WSTR("[XML=TRUE]")};
    const WString values[] = {WSTR("needs \"quotes\"; and <escapes> & \u00FCmlauts \u65E5"),
                              WString(70000, WSTR('x')), WSTR("")};
    for (const WCHAR* o : options) {
        SCOPED_TRACE(Narrow(o));
        TempDir dir;
        Table t(Options(dir, WSTR("d"), o), {WSTR("A"), WSTR("B"), WSTR("C")});
        ASSERT_EQ(0, t.Begin(WSTR("T")));
        for (int i = 0; i < 3; ++i)
            t.fields[i].value = values[i].c_str();
        long before = alloc::TotalAllocations();
        for (int record = 0; record < 100; ++record) {
            t.filter->BeginRecord(WSTR(""));
            for (TestField& field : t.fields)
                ASSERT_EQ(0, t.filter->WriteField(&field));
            t.filter->EndRecord();
        }
        EXPECT_EQ(before, alloc::TotalAllocations());
        EXPECT_EQ(0, t.filter->EndTable());
    }
}

} // namespace
