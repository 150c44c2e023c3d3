// tests/export_faults_test.cpp: exports that meet a fault: a directory that
// cannot be made, files held by another opener, a taken name, a full disk
// during the append, names too long for the path buffers. Each gives its
// status, and no record that reached a file is lost.
#include "export_host.h"
#include "file_bytes.h"
#include "temp_dir.h"

#include <gtest/gtest.h>


namespace {

TestTable Customers()
{
    return {WSTR("Customers"),
            {WSTR("ID"), WSTR("Name")},
            {{WSTR(""), {WSTR("1"), WSTR("Ann")}}, {WSTR(""), {WSTR("2"), WSTR("Bob")}}}};
}

const char kRecords[] = "1;Ann\r\n2;Bob\r\n";

WString Options(const TempDir& dir, const WString& file, const WCHAR* more = WSTR(""))
{
    return WString(WSTR("[CHARSET=1252][DELIMITER=;][FILE=")) + dir.Path(file) + WSTR("]") + more;
}

// The files other than the named ones: work files left behind.
std::set<std::string> Others(const TempDir& dir, std::set<std::string> known)
{
    std::set<std::string> others;
    for (const std::string& entry : dir.Tree())
        if (!known.count(entry))
            others.insert(entry);
    return others;
}

// Holds a file open with sharing denied, as another program would.
class HeldFile {
public:
    explicit HeldFile(const WString& path) : m_stream(_wfsopen(path.c_str(), WSTR("r+b"), 0x10)) {}
    ~HeldFile()
    {
        if (m_stream)
            fclose(m_stream);
    }
    bool Held() const { return m_stream != nullptr; }

private:
    FILE* m_stream;
};

// A file stands where the output directory should be made: the options
// report it, and the table cannot be begun.
TEST(ExportFaults, DirectoryThatCannotBeMade)
{
    TempDir dir;
    WriteBytes(dir.Native() / "blocker", "x");
    ExportLog log = RunExport(Options(dir, WSTR("blocker\\out\\data")), {Customers()});
    EXPECT_EQ(0u, log.calls.find("ParseOptions=1 BeginTable(Customers)=2 ")) << log.calls;
    EXPECT_EQ(std::set<std::string>{"blocker"}, dir.Tree());
}

// The target is held by another program. Replacing fails to delete it,
// appending fails to open it; either way Commit reports 1, the target is as
// it was, and the records wait in the work file.
TEST(ExportFaults, TargetHeldByAnotherOpener)
{
    for (bool overwrite : {true, false}) {
        SCOPED_TRACE(overwrite ? "replace" : "append");
        TempDir dir;
        WriteBytes(dir.Native() / "data.txt", "old\r\n");
        ExportLog log;
        {
            HeldFile held(dir.Path(WSTR("data.txt")));
            ASSERT_TRUE(held.Held());
            log = RunExport(Options(dir, WSTR("data"), overwrite ? WSTR("[OVERWRITE=TRUE]") : WSTR("")),
                            {Customers()});
        }
        EXPECT_NE(std::string::npos, log.calls.find("EndTable=0 Commit=1")) << log.calls;
        EXPECT_EQ("old\r\n", ReadBytes(dir.Native() / "data.txt"));
        std::set<std::string> work = Others(dir, {"data.txt"});
        ASSERT_EQ(1u, work.size());
        EXPECT_EQ(std::string("id;Name\r\n") + kRecords, ReadBytes(dir.Native() / *work.begin()));
    }
}

// A second export into the same directory while the first is writing
// cannot open the shared work file, and leaves the first one's file alone.
TEST(ExportFaults, SecondExportIntoTheSameDirectory)
{
    TempDir dir;
    FilterPtr first = MakeFilter();
    ASSERT_EQ(0, first->ParseOptions(HostString{Options(dir, WSTR("a")).c_str()}));
    TestField id(WSTR("ID"));
    HostField* fields[] = {&id};
    ASSERT_EQ(0, first->BeginTable(HostString{WSTR("T")}, fields, 1));
    WString work = first->m_szWorkFile;

    ExportLog second = RunExport(Options(dir, WSTR("b")), {Customers()});
    EXPECT_EQ(0u, second.calls.find("ParseOptions=0 BeginTable(Customers)=2 ")) << second.calls;
    EXPECT_EQ(0, first->EndTable());
    EXPECT_EQ("id\r\n", ReadBytes(NativePath(work)));
}

// The work file is held when Commit wants to append it: the target is
// closed again untouched, and the work file stays.
TEST(ExportFaults, WorkFileThatCannotBeReopened)
{
    TempDir dir;
    WriteBytes(dir.Native() / "data.txt", "old\r\n");
    FilterPtr f = MakeFilter();
    ASSERT_EQ(0, f->ParseOptions(HostString{Options(dir, WSTR("data")).c_str()}));
    TestField id(WSTR("ID"));
    HostField* fields[] = {&id};
    ASSERT_EQ(0, f->BeginTable(HostString{WSTR("T")}, fields, 1));
    ASSERT_EQ(0, f->EndTable());
    {
        HeldFile held(f->m_szWorkFile);
        ASSERT_TRUE(held.Held());
        EXPECT_EQ(1, f->Commit());
        EXPECT_EQ(nullptr, f->m_pFile);
    }
    EXPECT_EQ("old\r\n", ReadBytes(dir.Native() / "data.txt"));
    EXPECT_TRUE(fs::exists(NativePath(f->m_szWorkFile)));
}

// After a commit the work file is gone; a second Commit finds nothing to
// move and must not delete the committed target.
TEST(ExportFaults, SecondCommitTouchesNothing)
{
    for (bool overwrite : {true, false}) {
        SCOPED_TRACE(overwrite ? "replace" : "append");
        TempDir dir;
        FilterPtr f = MakeFilter();
        ASSERT_EQ(0, f->ParseOptions(HostString{
                         Options(dir, WSTR("data"), overwrite ? WSTR("[OVERWRITE=TRUE]") : WSTR("")).c_str()}));
        TestField id(WSTR("ID"));
        HostField* fields[] = {&id};
        ASSERT_EQ(0, f->BeginTable(HostString{WSTR("T")}, fields, 1));
        ASSERT_EQ(0, f->EndTable());
        ASSERT_EQ(0, f->Commit());
        EXPECT_EQ(0, f->Commit());
        EXPECT_EQ((std::set<std::string>{"data.txt"}), dir.Tree());
        EXPECT_EQ("id\r\n", ReadBytes(dir.Native() / "data.txt"));
    }
}

// Names that do not fit the 2048-unit path buffers are refused whole, and
// no file is touched: a cut name would be another, valid file.
TEST(ExportFaults, NamesTooLongForThePathBuffers)
{
    TempDir dir;
    // A second table whose final name does not fit: the first table's work
    // file keeps its records and its name.
    WString longTable(2100, WSTR('t'));
    ExportLog log = RunExport(Options(dir, WSTR("data")),
                              {Customers(), TestTable{longTable, {WSTR("ID")}, {}}});
    EXPECT_NE(std::string::npos, log.calls.find("BeginTable(" + Ascii(longTable) + ")=2")) << log.calls;
    std::set<std::string> left = dir.Tree();
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ(std::string("id;Name\r\n") + kRecords, ReadBytes(dir.Native() / *left.begin()));

    // A record path that does not fit once its extension is changed.
    FilterPtr f = MakeFilter();
    ASSERT_EQ(0, f->ParseOptions(HostString{WSTR("[SINGLE=TRUE][FILE=x]")}));
    WString longPath = dir.Path(WString(2100, WSTR('r')));
    EXPECT_EQ(2, f->BeginRecord(longPath.c_str()));
    EXPECT_EQ(1, f->EndRecord());
    EXPECT_EQ(1u, dir.Tree().size());
}

#if !defined(_WIN32)
// A full disk while the records are appended: the copy's failure shows at
// the latest when the target is flushed. The target is closed, Commit
// reports 1 and the work file, with every record, stays. The full disk is
// the Linux device that refuses every write for lack of space.
TEST(ExportFaults, FullDiskDuringTheAppend)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no device that is always full";
    TempDir dir;
    fs::create_symlink("/dev/full", dir.Native() / "data.txt");
    ExportLog log = RunExport(Options(dir, WSTR("data")), {Customers()});
    EXPECT_NE(std::string::npos, log.calls.find("EndTable=0 Commit=1")) << log.calls;
    std::set<std::string> work = Others(dir, {"data.txt"});
    ASSERT_EQ(1u, work.size());
    EXPECT_EQ(std::string("id;Name\r\n") + kRecords, ReadBytes(dir.Native() / *work.begin()));
}
#endif

} // namespace
