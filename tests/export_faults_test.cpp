// tests/export_faults_test.cpp: exports that meet a fault: a directory that
// cannot be made, files held by another opener, a taken name, a full disk,
// a read-only target, a planted link, exports racing in one directory,
// names too long for the path buffers. Each gives its status, no record
// that reached a file is lost, and a target that was there before is
// byte for byte as it was unless the export succeeded.
#include "export_host.h"
#include "file_bytes.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

#if !defined(_WIN32)
#include "platform/posix/Files.h"
#include "registry_sandbox.h"
#include "settings/SettingsValues.h"

#include <signal.h>
#include <sys/resource.h>
#endif

namespace
{

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
class HeldFile
{
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

// Exports into one directory never meet at one work file: a second export
// while the first is writing, and a work file that a failed commit kept,
// each leave the other's file alone, and each target gets its own records.
TEST(ExportFaults, ExportsIntoTheSameDirectory)
{
    TempDir dir;
    WriteBytes(dir.Native() / "FER1.TMP", "kept records\r\n");
    FilterPtr first = MakeFilter();
    ASSERT_EQ(0, first->ParseOptions(HostString{Options(dir, WSTR("a")).c_str()}));
    TestField id(WSTR("ID"));
    HostField* fields[] = {&id};
    ASSERT_EQ(0, first->BeginTable(HostString{WSTR("T")}, fields, 1));

    ExportLog second = RunExport(Options(dir, WSTR("b")), {Customers()});
    EXPECT_TRUE(second.AllZero()) << second.calls;
    EXPECT_EQ(0, first->EndTable());
    EXPECT_EQ(0, first->Commit());
    EXPECT_EQ("kept records\r\n", ReadBytes(dir.Native() / "FER1.TMP"));
    EXPECT_EQ("id\r\n", ReadBytes(dir.Native() / "a.txt"));
    EXPECT_EQ(std::string("id;Name\r\n") + kRecords, ReadBytes(dir.Native() / "b.txt"));
    EXPECT_EQ((std::set<std::string>{"FER1.TMP", "a.txt", "b.txt"}), dir.Tree());
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
        HeldFile held(f->m_output.m_szWorkFile);
        ASSERT_TRUE(held.Held());
        EXPECT_EQ(1, f->Commit());
        EXPECT_EQ(nullptr, f->m_output.m_pFile);
    }
    EXPECT_EQ("old\r\n", ReadBytes(dir.Native() / "data.txt"));
    EXPECT_TRUE(fs::exists(NativePath(f->m_output.m_szWorkFile)));
}

// After a commit the work file is gone; a second Commit finds nothing to
// move and must not delete the committed target.
TEST(ExportFaults, SecondCommitTouchesNothing)
{
    for (bool overwrite : {true, false}) {
        SCOPED_TRACE(overwrite ? "replace" : "append");
        TempDir dir;
        FilterPtr f = MakeFilter();
        ASSERT_EQ(0,
                  f->ParseOptions(HostString{
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
    ExportLog log =
        RunExport(Options(dir, WSTR("data")), {Customers(), TestTable{longTable, {WSTR("ID")}, {}}});
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

// A read-only target is neither replaced nor appended to, as Windows
// refuses to change such a file: Commit reports 1, the target is as it was,
// and the records wait in the work file.
TEST(ExportFaults, ReadOnlyTarget)
{
    for (bool overwrite : {true, false}) {
        SCOPED_TRACE(overwrite ? "replace" : "append");
        TempDir dir;
        fs::path target = dir.Native() / "data.txt";
        WriteBytes(target, "old\r\n");
        fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        ExportLog log = RunExport(Options(dir, WSTR("data"), overwrite ? WSTR("[OVERWRITE=TRUE]") : WSTR("")),
                                  {Customers()});
        fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
        EXPECT_NE(std::string::npos, log.calls.find("EndTable=0 Commit=1")) << log.calls;
        EXPECT_EQ("old\r\n", ReadBytes(target));
        std::set<std::string> work = Others(dir, {"data.txt"});
        ASSERT_EQ(1u, work.size());
        EXPECT_EQ(std::string("id;Name\r\n") + kRecords, ReadBytes(dir.Native() / *work.begin()));
    }
}

// Exports race in one directory, each into a target of its own, replacing
// or appending, with pauses of random length between their steps. An export
// that reports success leaves its target with its own records after what
// was there; one that fails leaves the target as it was. Bounded in time.
TEST(ExportFaults, ConcurrentExportsKeepTheirOwnRecords)
{
    const int kExports = 5;
    const auto kUntil = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::mt19937 random(12345);
    int nRounds = 0;
    while (std::chrono::steady_clock::now() < kUntil && nRounds < 200) {
        ++nRounds;
        TempDir dir;
        std::string before[kExports];
        bool overwrite[kExports];
        unsigned seeds[kExports];
        for (int i = 0; i < kExports; ++i) {
            overwrite[i] = random() % 2 == 0;
            seeds[i] = static_cast<unsigned>(random());
            if (random() % 2 == 0) {
                before[i] = "old " + std::to_string(i) + "\r\n";
                WriteBytes(dir.Native() / ("t" + std::to_string(i) + ".txt"), before[i]);
            }
        }
        std::string logs[kExports];
        std::vector<std::thread> threads;
        for (int i = 0; i < kExports; ++i) {
            threads.emplace_back([&, i] {
                std::mt19937 pause(seeds[i]);
                std::this_thread::sleep_for(std::chrono::microseconds(pause() % 2000));
                WString n(1, static_cast<WCHAR>(WSTR('0') + i));
                TestTable table{WSTR("T") + n, {WSTR("N")}, {}};
                for (int k = 0; k < 50; ++k)
                    table.records.push_back({WSTR(""), {WSTR("export ") + n}});
                logs[i] =
                    RunExport(
                        Options(dir, WSTR("t") + n, overwrite[i] ? WSTR("[OVERWRITE=TRUE]") : WSTR("")),
                        {table},
                        [&pause] { std::this_thread::sleep_for(std::chrono::microseconds(pause() % 500)); })
                        .calls;
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        for (int i = 0; i < kExports; ++i) {
            SCOPED_TRACE("round " + std::to_string(nRounds) + ", export " + std::to_string(i) + ": " +
                         logs[i]);
            std::string records;
            for (int k = 0; k < 50; ++k)
                records += "export " + std::to_string(i) + "\r\n";
            std::string expected =
                before[i].empty() || overwrite[i] ? "N\r\n" + records : before[i] + records;
            std::string name = "t" + std::to_string(i) + ".txt";
            bool bExists = fs::exists(dir.Native() / name);
            if (logs[i].find("Commit=0") != std::string::npos)
                EXPECT_EQ(expected, ReadBytes(dir.Native() / name));
            else if (before[i].empty())
                EXPECT_FALSE(bExists);
            else
                EXPECT_EQ(before[i], ReadBytes(dir.Native() / name));
        }
        if (::testing::Test::HasFailure())
            break;
    }
}

#if !defined(_WIN32)
// The file system is full for every file past nBytes while this lives: the
// process may not make a file larger, and a write past the limit fails
// (EFBIG) instead of raising the signal that would end the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t nBytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previous = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = nBytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_previous);
    }

private:
    rlimit m_saved;
    void (*m_previous)(int);
};

// A table of nRecords records of 68 bytes each, or with a record path, one
// file per record, one record of 70,008 bytes.
TestTable BigTable(int nRecords, const WString& recordPath = WString())
{
    TestTable table{WSTR("Big"), {WSTR("ID"), WSTR("Text")}, {}};
    for (int i = 0; i < nRecords; ++i)
        table.records.push_back(
            {recordPath, {WSTR("12345"), WString(recordPath.empty() ? 60 : 70000, WSTR('x'))}});
    return table;
}

// The disk fills while the table's file is written, and has room again
// when the file is closed: a block of the file is missing all the same. The
// table's end and Commit report 1, no target is replaced, appended to or
// made from the cut file, and the cut work file is kept. One file per
// record, the record's end and Commit report 1.
TEST(ExportFaults, FullDiskWhileWriting)
{
    const struct {
        const char* name;
        const WCHAR* more;
        bool bTarget;
        const char* expected;
    } kCases[] = {
        {"replace", WSTR("[OVERWRITE=TRUE]"), true, "EndTable=1 Commit=1"},
        {"append", WSTR(""), true, "EndTable=1 Commit=1"},
        {"new target", WSTR(""), false, "EndTable=1 Commit=1"},
        {"one file per record", WSTR("[SINGLE=TRUE]"), false, "EndRecord=1 EndTable=0 Commit=1"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        if (c.bTarget)
            WriteBytes(dir.Native() / "data.txt", "old\r\n");
        bool bPerRecord = WString(c.more) == WSTR("[SINGLE=TRUE]");
        std::optional<FileSizeLimit> full(std::in_place, 65536);
        ExportLog log = RunExport(Options(dir, WSTR("data"), c.more),
                                  {bPerRecord ? BigTable(1, dir.Path(WSTR("record"))) : BigTable(2000)},
                                  [&full] { full.reset(); });
        EXPECT_NE(std::string::npos, log.calls.find(c.expected)) << log.calls;
        if (c.bTarget)
            EXPECT_EQ("old\r\n", ReadBytes(dir.Native() / "data.txt"));
        else
            EXPECT_FALSE(fs::exists(dir.Native() / "data.txt"));
        EXPECT_EQ(bPerRecord ? 1u : c.bTarget ? 2u : 1u, dir.Tree().size());
    }
}

// The disk fills while the records are appended to the target: the append
// is undone, so the target is byte for byte as it was, Commit reports 1,
// and the work file keeps every record.
TEST(ExportFaults, FullDiskDuringTheAppend)
{
    TempDir dir;
    std::string old(40000, 'o');
    WriteBytes(dir.Native() / "data.txt", old);
    std::optional<FileSizeLimit> full;
    ExportLog log = RunExport(Options(dir, WSTR("data")), {BigTable(400)}, [&full] { full.emplace(65536); });
    full.reset();
    EXPECT_NE(std::string::npos, log.calls.find("EndTable=0 Commit=1")) << log.calls;
    EXPECT_EQ(old, ReadBytes(dir.Native() / "data.txt"));
    std::string records;
    for (int i = 0; i < 400; ++i)
        records += "12345;" + std::string(60, 'x') + "\r\n";
    std::set<std::string> work = Others(dir, {"data.txt"});
    ASSERT_EQ(1u, work.size());
    EXPECT_EQ("id;Text\r\n" + records, ReadBytes(dir.Native() / *work.begin()));
}

// A symbolic link planted at the work file's name is not followed: the
// table is refused (2), and neither the file it leads to nor the target is
// written.
TEST(ExportFaults, LinkAtTheWorkFileName)
{
    TempDir dir;
    fs::create_directory(dir.Native() / "elsewhere");
    WriteBytes(dir.Native() / "elsewhere" / "shadow", "shadow\n");
    fs::create_symlink("elsewhere/shadow", dir.Native() / "FER1.TMP");
    ExportLog log = RunExport(Options(dir, WSTR("data"), WSTR("[OVERWRITE=TRUE]")), {Customers()});
    EXPECT_EQ(0u, log.calls.find("ParseOptions=0 BeginTable(Customers)=2 ")) << log.calls;
    EXPECT_EQ("shadow\n", ReadBytes(dir.Native() / "elsewhere" / "shadow"));
    EXPECT_TRUE(fs::is_symlink(dir.Native() / "FER1.TMP"));
    EXPECT_FALSE(fs::exists(dir.Native() / "data.txt"));
}

// What another export does when it slips in at the step g_pszSlipStep of
// an open or a move, once.
const char* g_pszSlipStep = nullptr;
std::function<void()> g_slipIn;

void SlipIn(const char* pszStep)
{
    if (g_slipIn && strcmp(pszStep, g_pszSlipStep) == 0) {
        auto slip = std::move(g_slipIn);
        g_slipIn = nullptr;
        slip();
    }
}

// The two races of exports into one directory, made to happen at their
// worst moment. An opener whose file is moved to its final name between
// the open and the lock must not empty it there; and while a file is being
// moved, an opener must not take and empty it.
TEST(ExportFaults, OpenAndMoveDoNotInterleave)
{
    files::SetStepHook(SlipIn);
    TempDir dir;
    WString work = dir.Path(WSTR("FER1.TMP"));
    WString target = dir.Path(WSTR("data.txt"));

    WriteBytes(NativePath(work), "records\r\n");
    g_pszSlipStep = "opened";
    g_slipIn = [&] { EXPECT_EQ(0, _wrename(work.c_str(), target.c_str())); };
    FILE* pFile = _wfsopen(work.c_str(), WSTR("w+b"), _SH_DENYRW);
    ASSERT_NE(nullptr, pFile);
    fclose(pFile);
    EXPECT_EQ("records\r\n", ReadBytes(NativePath(target)));
    EXPECT_EQ("", ReadBytes(NativePath(work)));

    fs::remove(NativePath(target));
    WriteBytes(NativePath(work), "records\r\n");
    bool bHeld = false;
    g_pszSlipStep = "held";
    g_slipIn = [&] {
        FILE* pOther = _wfsopen(work.c_str(), WSTR("w+b"), _SH_DENYRW);
        bHeld = pOther == nullptr;
        if (pOther)
            fclose(pOther);
    };
    EXPECT_TRUE(MoveFileExW(work.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_TRUE(bHeld);
    EXPECT_EQ("records\r\n", ReadBytes(NativePath(target)));
    EXPECT_FALSE(g_slipIn);
    files::SetStepHook(nullptr);
}

// A settings value that cannot be written in full leaves the one stored
// before readable.
TEST(StoreFaults, FailedStoreKeepsTheStoredSettings)
{
    RegistrySandbox sandbox;
    StoreOptions(nullptr, WSTR("[CSV=TRUE]"));
    {
        FileSizeLimit full(64);
        StoreOptions(nullptr, WString(200, WSTR('x')).c_str());
    }
    WCHAR szStored[kStoredOptionsUnits];
    LoadStoredOptions(nullptr, szStored);
    EXPECT_EQ(WString(WSTR("[CSV=TRUE]")), WString(szStored));
}
#endif

} // namespace
