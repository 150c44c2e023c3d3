// tests/export_faults_test.cpp: exports that meet a fault. Each gives its status, no record that reached
// a file is lost, and a target that was there is byte for byte as it was unless the export succeeded.
#include "export_host.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <thread>
#include <utility>

#if !defined(_WIN32)
#include "platform/posix/Files.h"
#include "registry_sandbox.h"
#include "settings/SettingsValues.h"

#include <signal.h>
#include <sys/resource.h>
#endif

namespace
{

const TestTable kCustomers = {WSTR("Customers"),
                              {WSTR("ID"), WSTR("Name")},
                              {{{}, {WSTR("1"), WSTR("Ann")}}, {{}, {WSTR("2"), WSTR("Bob")}}}};
const char kCustomersFile[] = "id;Name\r\n1;Ann\r\n2;Bob\r\n";

WString Options(const TempDir& dir, const WString& file, bool overwrite = false, const WCHAR* more = WSTR(""))
{
    return WSTR("[CHARSET=1252][DELIMITER=;][FILE=") + dir.Path(file) + WSTR("]") +
           (overwrite ? WSTR("[OVERWRITE=TRUE]") : WSTR("")) + more;
}

// The bytes of the one file besides the named one: the work file left.
std::string Left(const TempDir& dir, const std::string& known)
{
    std::set<std::string> others = dir.Tree();
    others.erase(known);
    return others.size() == 1 ? ReadBytes(dir.Native() / *others.begin())
                              : "files: " + std::to_string(others.size());
}

// Holds a file open with sharing denied, as another program would.
struct HeldFile {
    FILE* stream;
    explicit HeldFile(const WString& path) : stream(_wfsopen(path.c_str(), WSTR("r+b"), _SH_DENYRW)) {}
    ~HeldFile() { stream ? fclose(stream) : 0; }
};

// A filter whose table "T" with the field ID is begun, as the host leaves it between records.
FilterPtr BegunTable(const WString& options)
{
    static TestField id(WSTR("ID"));
    HostField* fields[] = {&id};
    FilterPtr f = MakeFilter();
    EXPECT_EQ(0, f->ParseOptions(HostStr(options)));
    EXPECT_EQ(0, f->BeginTable(HostStr(WSTR("T")), fields, 1));
    return f;
}

// A file stands where the output directory should be made: the options report it, the table is refused.
TEST(ExportFaults, DirectoryThatCannotBeMade)
{
    TempDir dir;
    WriteBytes(dir.Native() / "blocker", "x");
    ExportLog log = RunExport(Options(dir, WSTR("blocker\\out\\data")), {kCustomers});
    EXPECT_EQ(0u, log.calls.find("ParseOptions=1 BeginTable(Customers)=2 ")) << log.calls;
    EXPECT_EQ(std::set<std::string>{"blocker"}, dir.Tree());
}

// The target is held by another program, or read-only (Windows refuses to change it): Commit reports 1,
// the target is as it was, and the records wait in the work file.
TEST(ExportFaults, TargetThatCannotBeChanged)
{
    for (int n = 0; n < 4; ++n) {
        bool held = n < 2, overwrite = n % 2;
        SCOPED_TRACE(std::string(held ? "held, " : "read-only, ") + (overwrite ? "replace" : "append"));
        TempDir dir;
        fs::path target = dir.Native() / "data.txt";
        WriteBytes(target, "old\r\n");
        const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        std::optional<HeldFile> holder;
        if (held)
            holder.emplace(dir.Path(WSTR("data.txt")));
        else
            fs::permissions(target, write, fs::perm_options::remove);
        ASSERT_TRUE(!held || holder->stream);
        ExportLog log = RunExport(Options(dir, WSTR("data"), overwrite), {kCustomers});
        holder.reset();
        fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
        EXPECT_NE(std::string::npos, log.calls.find("EndTable=0 Commit=1")) << log.calls;
        EXPECT_EQ("old\r\n", ReadBytes(target));
        EXPECT_EQ(kCustomersFile, Left(dir, "data.txt"));
    }
}

// Exports into one directory never meet at one work file: a second export while the first writes, and a
// work file a failed commit kept, each leave the other's file alone; each target gets its own records.
TEST(ExportFaults, ExportsIntoTheSameDirectory)
{
    TempDir dir;
    WriteBytes(dir.Native() / "FER1.TMP", "kept records\r\n");
    FilterPtr first = BegunTable(Options(dir, WSTR("a")));
    ExportLog second = RunExport(Options(dir, WSTR("b")), {kCustomers});
    EXPECT_TRUE(second.AllZero()) << second.calls;
    EXPECT_EQ(0, first->EndTable());
    EXPECT_EQ(0, first->Commit());
    EXPECT_EQ("kept records\r\n", ReadBytes(dir.Native() / "FER1.TMP"));
    EXPECT_EQ("id\r\n", ReadBytes(dir.Native() / "a.txt"));
    EXPECT_EQ(kCustomersFile, ReadBytes(dir.Native() / "b.txt"));
    EXPECT_EQ((std::set<std::string>{"FER1.TMP", "a.txt", "b.txt"}), dir.Tree());
}

// A work file held when Commit would append it leaves the target untouched and closed, the work file
// in place. A second Commit finds nothing to move and must not delete the committed target.
TEST(ExportFaults, CommitOfAWorkFileHeldOrGone)
{
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        TempDir dir;
        if (n == 0)
            WriteBytes(dir.Native() / "data.txt", "old\r\n");
        FilterPtr f = BegunTable(Options(dir, WSTR("data"), n == 2));
        ASSERT_EQ(0, f->EndTable());
        if (n == 0) {
            HeldFile held(f->m_output.m_szWorkFile);
            ASSERT_TRUE(held.stream);
            EXPECT_EQ(1, f->Commit());
            EXPECT_EQ(nullptr, f->m_output.m_pFile);
        } else {
            ASSERT_EQ(0, f->Commit());
            EXPECT_EQ(0, f->Commit());
        }
        EXPECT_EQ(n == 0 ? "old\r\n" : "id\r\n", ReadBytes(dir.Native() / "data.txt"));
        EXPECT_EQ(n == 0 ? 2u : 1u, dir.Tree().size());
    }
}

// Names that do not fit the 2048-unit path buffers are refused whole and touch no file: a cut name would
// be another, valid file. A second table's name: the first table's work file keeps its records.
TEST(ExportFaults, NamesTooLongForThePathBuffers)
{
    TempDir dir;
    WString longTable(2100, WSTR('t'));
    ExportLog log =
        RunExport(Options(dir, WSTR("data")), {kCustomers, TestTable{longTable, {WSTR("ID")}, {}}});
    EXPECT_NE(std::string::npos, log.calls.find("BeginTable(" + Narrow(longTable.c_str()) + ")=2"))
        << log.calls;
    EXPECT_EQ(kCustomersFile, Left(dir, ""));

    // A record path that does not fit once its extension is changed.
    FilterPtr f = MakeFilter();
    ASSERT_EQ(0, f->ParseOptions(HostStr(WSTR("[SINGLE=TRUE][FILE=x]"))));
    EXPECT_EQ(2, f->BeginRecord(dir.Path(WString(2100, WSTR('r'))).c_str()));
    EXPECT_EQ(1, f->EndRecord());
    EXPECT_EQ(1u, dir.Tree().size());
}

// Exports race in one directory, each into its own target, replacing or appending, with random pauses
// between their steps. Success leaves the old bytes and then the export's records; failure, the old bytes.
TEST(ExportFaults, ConcurrentExportsKeepTheirOwnRecords)
{
    const auto kUntil = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::mt19937 random(12345);
    for (int round = 0; round < 200 && std::chrono::steady_clock::now() < kUntil && !HasFailure(); ++round) {
        TempDir dir;
        std::string before[5], logs[5];
        bool overwrite[5];
        std::vector<std::thread> threads;
        for (int i = 0; i < 5; ++i) {
            WString n(1, static_cast<WCHAR>(WSTR('0') + i));
            overwrite[i] = random() % 2;
            if (random() % 2)
                WriteBytes(NativePath(dir.Path(WSTR("t") + n + WSTR(".txt"))),
                           before[i] = "old " + std::to_string(i) + "\r\n");
            threads.emplace_back([&, i, n, seed = random()] {
                std::mt19937 pause(seed);
                auto Pause = [&pause](unsigned us) {
                    std::this_thread::sleep_for(std::chrono::microseconds(pause() % us));
                };
                Pause(2000);
                TestTable table{
                    WSTR("T") + n, {WSTR("N")}, std::vector<TestRecord>(50, {{}, {WSTR("export ") + n}})};
                logs[i] =
                    RunExport(Options(dir, WSTR("t") + n, overwrite[i]), {table}, [&] { Pause(500); }).calls;
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE("round " + std::to_string(round) + ", export " + std::to_string(i) + ": " + logs[i]);
            std::string expected = before[i].empty() || overwrite[i] ? "N\r\n" : before[i];
            for (int k = 0; k < 50; ++k)
                expected += "export " + std::to_string(i) + "\r\n";
            if (logs[i].find("Commit=0") == std::string::npos)
                expected = before[i].empty() ? "(no file)" : before[i];
            fs::path target = dir.Native() / ("t" + std::to_string(i) + ".txt");
            EXPECT_EQ(expected, fs::exists(target) ? ReadBytes(target) : "(no file)");
        }
    }
}

#if !defined(_WIN32)
// While this lives the disk is full for files past nBytes: a write there fails (EFBIG), with no signal.
struct FileSizeLimit {
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    explicit FileSizeLimit(rlim_t nBytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = {nBytes, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, previous);
    }
};

// nRecords records of 68 bytes, or with a record path (one file per record) of 70,008 bytes.
TestTable BigTable(int nRecords, const WString& recordPath = WString())
{
    WString text(recordPath.empty() ? 60 : 70000, WSTR('x'));
    return {WSTR("Big"),
            {WSTR("ID"), WSTR("Text")},
            std::vector<TestRecord>(nRecords, {recordPath, {WSTR("12345"), text}})};
}

// The disk fills while the table's file is written and has room again when it is closed: the table's
// (or record's) end and Commit report 1, no target is made or changed, the cut work file is kept.
TEST(ExportFaults, FullDiskWhileWriting)
{
    const struct {
        bool overwrite, target, perRecord;
        const char* expected;
    } cases[] = {{true, true, false, "EndTable=1 Commit=1"},
                 {false, true, false, "EndTable=1 Commit=1"},
                 {false, false, false, "EndTable=1 Commit=1"},
                 {false, false, true, "EndRecord=1 EndTable=0 Commit=1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        TempDir dir;
        if (c.target)
            WriteBytes(dir.Native() / "data.txt", "old\r\n");
        std::optional<FileSizeLimit> full(std::in_place, 65536);
        ExportLog log =
            RunExport(Options(dir, WSTR("data"), c.overwrite, c.perRecord ? WSTR("[SINGLE=TRUE]") : WSTR("")),
                      {c.perRecord ? BigTable(1, dir.Path(WSTR("record"))) : BigTable(2000)},
                      [&full] { full.reset(); });
        EXPECT_NE(std::string::npos, log.calls.find(c.expected)) << log.calls;
        EXPECT_EQ(c.target ? "old\r\n" : "", ReadBytes(dir.Native() / "data.txt"));
        EXPECT_EQ(c.target ? 2u : 1u, dir.Tree().size());
    }
}

// The disk fills while the records are appended to the target: the append is undone, Commit reports 1,
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
    std::string records = "id;Text\r\n";
    for (int i = 0; i < 400; ++i)
        records += "12345;" + std::string(60, 'x') + "\r\n";
    EXPECT_EQ(records, Left(dir, "data.txt"));
}

// A symbolic link planted at the work file's name is not followed: the table is refused (2), and neither
// the file it leads to nor the target is written.
TEST(ExportFaults, LinkAtTheWorkFileName)
{
    TempDir dir;
    fs::create_directory(dir.Native() / "elsewhere");
    WriteBytes(dir.Native() / "elsewhere" / "shadow", "shadow\n");
    fs::create_symlink("elsewhere/shadow", dir.Native() / "FER1.TMP");
    ExportLog log = RunExport(Options(dir, WSTR("data"), true), {kCustomers});
    EXPECT_EQ(0u, log.calls.find("ParseOptions=0 BeginTable(Customers)=2 ")) << log.calls;
    EXPECT_EQ("shadow\n", ReadBytes(dir.Native() / "elsewhere" / "shadow"));
    EXPECT_TRUE(fs::is_symlink(dir.Native() / "FER1.TMP"));
    EXPECT_FALSE(fs::exists(dir.Native() / "data.txt"));
}

// What another export does when it slips in, once, at the step g_pszSlipStep of an open or a move.
const char* g_pszSlipStep = nullptr;
std::function<void()> g_slipIn;

void SlipIn(const char* pszStep)
{
    if (g_slipIn && strcmp(pszStep, g_pszSlipStep) == 0)
        std::exchange(g_slipIn, nullptr)();
}

// Two exports' races at their worst moment: a file moved to its final name between its open and its lock
// is not emptied there, and a file being moved cannot be taken and emptied by an opener.
TEST(ExportFaults, OpenAndMoveDoNotInterleave)
{
    files::SetStepHook(SlipIn);
    TempDir dir;
    WString work = dir.Path(WSTR("FER1.TMP")), target = dir.Path(WSTR("data.txt"));
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
    g_slipIn = [&] { bHeld = HeldFile(work).stream == nullptr; };
    EXPECT_TRUE(MoveFileExW(work.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_TRUE(bHeld);
    EXPECT_EQ("records\r\n", ReadBytes(NativePath(target)));
    EXPECT_FALSE(g_slipIn);
    files::SetStepHook(nullptr);
}

// A settings value that cannot be written in full leaves the one stored before readable.
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
    EXPECT_EQ(WString(WSTR("[CSV=TRUE]")), szStored);
}
#endif

} // namespace
