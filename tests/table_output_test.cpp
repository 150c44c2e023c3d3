// tests/table_output_test.cpp: where a table is written (work file, final
// names, the rename when a second table begins), what its head holds, and
// the record operations' statuses outside an open file.
#include "alloc_failure.h"
#include "export_host.h"
#include "file_bytes.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace
{

// A filter with its options parsed, and fields the test owns.
struct Table {
    FilterPtr filter = MakeFilter();
    std::vector<TestField> fields;
    std::vector<HostField*> pointers;

    explicit Table(const WString& options, std::vector<WString> names = {WSTR("ID"), WSTR("Name")})
    {
        for (const WString& name : names)
            fields.emplace_back(name);
        for (TestField& field : fields)
            pointers.push_back(&field);
        parsed = filter->ParseOptions(HostString{options.c_str()});
    }
    int Begin(const WString& name)
    {
        return filter->BeginTable(HostString{name.c_str()}, pointers.data(),
                                  static_cast<int>(pointers.size()));
    }
    int parsed;
};

TEST(TableOutput, FirstTableGoesToTheWorkFileWithItsHead)
{
    struct Row {
        const WCHAR* options;
        int64_t recordsStart;
    } rows[] = {
        {WSTR("[CHARSET=1252][DELIMITER=;]"), 9},            // id;Name CR LF
        {WSTR("[CHARSET=UNICODE][DELIMITER=;]"), 2 + 2 * 9}, // byte-order mark, 9 units
        {WSTR("[WRITEHEAD=FALSE][CHARSET=1252]"), 0},
        {WSTR("[WRITEHEAD=FALSE][CHARSET=UNICODE]"), 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.options));
        TempDir dir;
        Table t(WString(WSTR("[FILE=")) + dir.Path(WSTR("data.csv")) + WSTR("]") + row.options);
        ASSERT_EQ(0, t.parsed);
        ASSERT_EQ(0, t.Begin(WSTR("Customers")));
        EXPECT_EQ(row.recordsStart, t.filter->m_output.m_nRecordsStart);
        EXPECT_EQ(1, t.filter->m_output.m_nTables);
        EXPECT_EQ(WString(WSTR("Customers")), t.filter->m_output.m_szPrevTable);
        // The work file lies in the FILE path's directory, under a name
        // that depends on that directory alone.
        WString work = t.filter->m_output.m_szWorkFile;
        EXPECT_EQ(dir.Path() + WSTR("\\"), work.substr(0, dir.Path().size() + 1));
        EXPECT_EQ(0, t.filter->EndTable());
        EXPECT_EQ(static_cast<uintmax_t>(row.recordsStart), fs::file_size(NativePath(work)));
        EXPECT_FALSE(fs::exists(dir.Native() / "data.csv")) << "only Commit gives the final name";
    }
}

TEST(TableOutput, SecondTableRenamesTheFirstAfterItsName)
{
    struct Row {
        const WCHAR* file;
        const char* first;
        const char* second;
    } rows[] = {
        {WSTR("data.csv"), "data-Customers.csv", "data-Orders.csv"},
        // Without an extension the table name is simply appended.
        {WSTR("data"), "data-Customers", "data-Orders"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.first);
        TempDir dir;
        // SINGLE keeps ParseOptions from adding an extension, then is reset.
        Table t(WString(WSTR("[SINGLE=TRUE][FILE=")) + dir.Path(row.file) + WSTR("]"));
        t.filter->m_options.m_bSingle = 0;
        ASSERT_EQ(0, t.Begin(WSTR("Customers")));
        ASSERT_EQ(0, t.filter->EndTable());
        ASSERT_EQ(0, t.Begin(WSTR("Orders")));
        ASSERT_EQ(0, t.filter->EndTable());
        EXPECT_EQ((std::set<std::string>{row.first, row.second}), dir.Tree());
        EXPECT_EQ(0, t.filter->Commit()) << "two tables: nothing to commit";
        EXPECT_EQ((std::set<std::string>{row.first, row.second}), dir.Tree());
    }
}

// A host that forgets EndTable: the next table closes the open file first,
// and both tables keep their heads.
TEST(TableOutput, NextTableClosesATableLeftOpen)
{
    TempDir dir;
    Table t(WString(WSTR("[CHARSET=1252][DELIMITER=;][FILE=")) + dir.Path(WSTR("data")) + WSTR("]"));
    ASSERT_EQ(0, t.Begin(WSTR("A")));
    ASSERT_EQ(0, t.Begin(WSTR("B")));
    ASSERT_EQ(0, t.filter->EndTable());
    EXPECT_EQ((std::set<std::string>{"data-A.txt", "data-B.txt"}), dir.Tree());
    EXPECT_EQ("id;Name\r\n", ReadBytes(dir.Native() / "data-A.txt"));
    EXPECT_EQ("id;Name\r\n", ReadBytes(dir.Native() / "data-B.txt"));
}

// A host that goes straight from its records to Commit: the table is closed
// and committed all the same.
TEST(TableOutput, CommitClosesATableLeftOpen)
{
    TempDir dir;
    Table t(WString(WSTR("[CHARSET=1252][DELIMITER=;][FILE=")) + dir.Path(WSTR("data")) + WSTR("]"));
    ASSERT_EQ(0, t.Begin(WSTR("A")));
    EXPECT_EQ(0, t.filter->Commit());
    EXPECT_EQ(nullptr, t.filter->m_output.m_pFile);
    EXPECT_EQ(std::set<std::string>{"data.txt"}, dir.Tree());
    EXPECT_EQ("id;Name\r\n", ReadBytes(dir.Native() / "data.txt"));
}

// The first table's final name is taken: without OVERWRITE its records stay
// in the work file and the second table is refused; with it, the old file
// is replaced.
TEST(TableOutput, TakenNameForTheFirstTable)
{
    for (bool overwrite : {false, true}) {
        SCOPED_TRACE(overwrite ? "OVERWRITE on" : "OVERWRITE off");
        TempDir dir;
        WriteBytes(dir.Native() / "data-Customers.txt", "old");
        Table t(WString(WSTR("[CHARSET=1252][DELIMITER=;][FILE=")) + dir.Path(WSTR("data")) + WSTR("]") +
                (overwrite ? WSTR("[OVERWRITE=TRUE]") : WSTR("")));
        ASSERT_EQ(0, t.Begin(WSTR("Customers")));
        WString work = t.filter->m_output.m_szWorkFile;
        ASSERT_EQ(0, t.filter->EndTable());
        int status = t.Begin(WSTR("Orders"));
        if (overwrite) {
            EXPECT_EQ(0, status);
            EXPECT_EQ("id;Name\r\n", ReadBytes(dir.Native() / "data-Customers.txt"));
            EXPECT_FALSE(fs::exists(NativePath(work)));
        } else {
            EXPECT_EQ(2, status);
            EXPECT_EQ("old", ReadBytes(dir.Native() / "data-Customers.txt"));
            EXPECT_EQ("id;Name\r\n", ReadBytes(NativePath(work))) << "the first table is not lost";
            EXPECT_EQ(nullptr, t.filter->m_output.m_pFile);
            EXPECT_EQ(1, t.filter->m_output.m_nTables);
        }
        t.filter->EndTable();
    }
}

TEST(TableOutput, HeadlineNamesAndTheFirstID)
{
    struct Row {
        std::vector<WString> names;
        const char* headline;
    } rows[] = {
        {{WSTR("ID"), WSTR("ID")}, "id;ID\r\n"},
        {{WSTR("Id"), WSTR("Name")}, "Id;Name\r\n"},
        {{WSTR("Name"), WSTR("ID")}, "Name;ID\r\n"},
        {{WSTR("a;b"), WSTR(" x")}, "\"a;b\";\" x\"\r\n"}, // quoted by the CSV rule
        {{}, "\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.headline);
        TempDir dir;
        Table t(WString(WSTR("[CSV=TRUE][CHARSET=1252][DELIMITER=;][FILE=")) + dir.Path(WSTR("d")) +
                    WSTR("]"),
                row.names);
        ASSERT_EQ(0, t.Begin(WSTR("T")));
        WString work = t.filter->m_output.m_szWorkFile;
        t.filter->EndTable();
        EXPECT_EQ(row.headline, ReadBytes(NativePath(work)));
    }
}

// One file per record: the tables open nothing and keep the names of the
// last table only.
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

// Outside an open file the record operations answer as the host expects,
// and each field is still prepared.
TEST(TableOutput, RecordOperationsWithoutAnOpenFile)
{
    struct Row {
        const WCHAR* options;
        int endRecord;
    } rows[] = {
        {WSTR("[CHARSET=1252]"), 0}, // one file per table: the line end goes nowhere
        {WSTR("[SINGLE=TRUE]"), 1},  // one file per record: no record file is open
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.options));
        Table t(row.options);
        TestField& field = t.fields[0];
        EXPECT_EQ(1, t.filter->WriteField(&field));
        EXPECT_EQ(1, field.prepared);
        EXPECT_EQ(0, field.valuesTaken);
        EXPECT_EQ(row.endRecord, t.filter->EndRecord());
        EXPECT_EQ(0, t.filter->EndTable());
        EXPECT_EQ(0, t.filter->EndTable());
        EXPECT_EQ(0, t.filter->Commit());
        EXPECT_EQ(1, t.filter->WriteField(nullptr));
    }
}

} // namespace

namespace
{

// A field whose value shares one string block: handing it out allocates
// nothing, so any allocation counted while fields are written is the
// filter's.
class SharedValueField final : public HostField
{
public:
    SharedValueField(const WCHAR* name, const WString& value) : m_name(name), m_value(value.c_str()) {}
    int ZRCALL Prepare() override { return 0; }
    const CString& ZRCALL GetName() override { return m_name; }
    CString* ZRCALL GetValueText(CString* pResult) override { return new (pResult) CString(m_value); }

private:
    CString m_name;
    CString m_value;
};

TEST(TableOutput, WritingFieldsAllocatesNothing)
{
    const WCHAR* options[] = {
        WSTR("[CSV=TRUE][CHARSET=1252][DELIMITER=;]"),
        WSTR("[CSV=TRUE][CHARSET=65001][DELIMITER=,]"),
        WSTR("[CHARSET=UNICODE]"),
        WSTR("[XML=TRUE]"),
    };
    WString quoted = WSTR("needs \"quotes\"; and <escapes> & ümlauts");
    WString longValue(70000, WSTR('x')); // written in pieces through the buffers
    for (const WCHAR* o : options) {
        SCOPED_TRACE(Narrow(o));
        TempDir dir;
        FilterPtr f = MakeFilter();
        ASSERT_EQ(0, f->ParseOptions(HostString{
                         (WString(o) + WSTR("[FILE=") + dir.Path(WSTR("d")) + WSTR("]")).c_str()}));
        SharedValueField a(WSTR("A"), quoted), b(WSTR("B"), longValue), c(WSTR("C"), WSTR(""));
        HostField* fields[] = {&a, &b, &c};
        ASSERT_EQ(0, f->BeginTable(HostString{WSTR("T")}, fields, 3));
        long before = alloc::TotalAllocations();
        for (int record = 0; record < 100; ++record) {
            f->BeginRecord(WSTR(""));
            for (HostField* field : fields)
                ASSERT_EQ(0, f->WriteField(field));
            f->EndRecord();
        }
        EXPECT_EQ(before, alloc::TotalAllocations());
        EXPECT_EQ(0, f->EndTable());
    }
}

} // namespace
