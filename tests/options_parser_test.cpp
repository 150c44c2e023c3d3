// tests/options_parser_test.cpp: what ParseOptions leaves in the filter's
// option members for each corner of the grammar and each keyword rule,
// starting from two opposite earlier states, so that every member a string
// does not name is seen to keep its value; the FILE length limits; and a
// parse that runs out of memory.
#include "alloc_failure.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace
{

const int kKeep = -1;

// The members a parse leaves; kKeep (or null) where the earlier value stays.
struct Expect {
    const WCHAR* pszFile = WSTR("");
    int bCsv = kKeep, bOverwrite = kKeep, bWriteHead = kKeep, bSingle = kKeep, bXml = kKeep,
        bHeadline = kKeep, bMap = kKeep, bUnicode = kKeep;
    const WCHAR* pszDelimiter = nullptr;
    int64_t nCodePage = kKeep;
    int nResult = 0;

    Expect& File(const WCHAR* psz, int nResultOfWalk)
    {
        pszFile = psz;
        nResult = nResultOfWalk;
        return *this;
    }
    Expect& Csv(int b) { return Set(bCsv, b); }
    Expect& Overwrite(int b) { return Set(bOverwrite, b); }
    Expect& WriteHead(int b) { return Set(bWriteHead, b); }
    Expect& Single(int b) { return Set(bSingle, b); }
    Expect& Xml(int b) { return Set(bXml, b); }
    Expect& Headline(int b) { return Set(bHeadline, b); }
    Expect& Map(int b) { return Set(bMap, b); }
    Expect& Unicode(int b) { return Set(bUnicode, b); }
    Expect& Delimiter(const WCHAR* psz)
    {
        pszDelimiter = psz;
        return *this;
    }
    Expect& CodePage(int64_t n)
    {
        nCodePage = n;
        return *this;
    }

private:
    Expect& Set(int& member, int b)
    {
        member = b;
        return *this;
    }
};

// Two opposite earlier states. Neither has MAP or XML on, so the mode rules
// act only where a row's string turns them on.
void SetEarlierState(CFerloFilter& f, int b)
{
    f.m_bCsv = f.m_bOverwrite = f.m_bWriteHead = f.m_bSingle = f.m_bHeadline = f.m_bUnicode = b;
    f.m_bXml = f.m_bMap = 0;
    wcscpy(f.m_szDelimiter, b ? WSTR("~") : WSTR("#"));
    f.m_nCodePage = b ? 4343 : 4242;
    wcscpy(f.m_szFile, WSTR("stale"));
    f.m_nTables = 7;
}

// The option members, in a form whose differences read at a glance.
std::string Describe(const CFerloFilter& f)
{
    return "file=" + Narrow(f.m_szFile) + " csv=" + std::to_string(f.m_bCsv) +
           " overwrite=" + std::to_string(f.m_bOverwrite) + " writehead=" + std::to_string(f.m_bWriteHead) +
           " single=" + std::to_string(f.m_bSingle) + " xml=" + std::to_string(f.m_bXml) +
           " headline=" + std::to_string(f.m_bHeadline) + " map=" + std::to_string(f.m_bMap) +
           " unicode=" + std::to_string(f.m_bUnicode) + " delimiter=" + Narrow(f.m_szDelimiter) +
           " codepage=" + std::to_string(f.m_nCodePage) + " tables=" + std::to_string(f.m_nTables);
}

// What the filter f held before should hold after a parse that leaves e.
void ApplyExpected(const Expect& e, CFerloFilter& f)
{
    wcscpy(f.m_szFile, e.pszFile);
    for (auto [n, pMember] : {std::pair{e.bCsv, &f.m_bCsv},
                              {e.bOverwrite, &f.m_bOverwrite},
                              {e.bWriteHead, &f.m_bWriteHead},
                              {e.bSingle, &f.m_bSingle},
                              {e.bXml, &f.m_bXml},
                              {e.bHeadline, &f.m_bHeadline},
                              {e.bMap, &f.m_bMap},
                              {e.bUnicode, &f.m_bUnicode}})
        if (n != kKeep)
            *pMember = n;
    if (e.pszDelimiter)
        wcscpy(f.m_szDelimiter, e.pszDelimiter);
    if (e.nCodePage != kKeep)
        f.m_nCodePage = static_cast<uint32_t>(e.nCodePage);
    f.m_nTables = 0;
}

// Paths lie on a missing drive, so the directory step creates nothing and
// fails (1); names without a directory part stand in the current one (0).
#define Q WSTR("Q:")

TEST(ParseOptions, EveryRowFromBothEarlierStates)
{
    struct Row {
        const char* label;
        const WCHAR* options;
        Expect expect;
    } rows[] = {
        {"no [ at all", WSTR("CSV=TRUE"), Expect()},
        {"text before the first [ is ignored", WSTR("options:[CSV=TRUE]"), Expect().Csv(1)},
        {"keys and TRUE in any case", WSTR("[csv=true][Overwrite=True][wRITEHEAD=tRUE]"),
         Expect().Csv(1).Overwrite(1).WriteHead(1)},
        {"anything but TRUE is false",
         WSTR("[CSV=FALSE][OVERWRITE=1][WRITEHEAD=yes][SINGLE=][HEADLINE= TRUE]"),
         Expect().Csv(0).Overwrite(0).WriteHead(0).Single(0).Headline(0)},
        {"the later group wins", WSTR("[CSV=TRUE][OVERWRITE=TRUE][CSV=FALSE]"), Expect().Csv(0).Overwrite(1)},
        {"a blank between groups spoils the next key", WSTR("[CSV=TRUE] [HEADLINE=TRUE]"), Expect().Csv(1)},
        {"the unit after ] is taken as [ unseen", WSTR("[CSV=TRUE]XHEADLINE=TRUE]"),
         Expect().Csv(1).Headline(1)},
        {"a stray ] ends the parse", WSTR("[CSV=TRUE]][HEADLINE=TRUE]"), Expect().Csv(1)},
        {"a group without ] ends the parse", WSTR("[CSV=TRUE][HEADLINE=TRUE"), Expect().Csv(1)},
        {"a group without = ends the parse", WSTR("[CSV=TRUE][HEADLINE]"), Expect().Csv(1)},
        {"= is searched past the ]", WSTR("[FILE]=name]"), Expect().File(WSTR("name]"), 0)},
        {"= past the ] takes the next group's value", WSTR("[CSV][HEADLINE=TRUE]"), Expect().Csv(0)},
        {"unknown and untrimmed keys are ignored", WSTR("[COLOR=TRUE][ CSV=TRUE][CSV =TRUE]"), Expect()},
        {"a value holds = and [", WSTR("[SINGLE=TRUE][FILE=" Q "\\a=b[\\out]"),
         Expect().Single(1).File(Q WSTR("\\a=b[\\out"), 1)},
        {"a value ends at the first ]", WSTR("[SINGLE=FALSE][CSV=TRUE][FILE=" Q "\\a]b\\c.txt]"),
         Expect().Single(0).Csv(1).File(Q WSTR("\\a.csv"), 1)},
        {"extension .txt", WSTR("[SINGLE=FALSE][CSV=FALSE][FILE=" Q "\\out\\data]"),
         Expect().Single(0).Csv(0).File(Q WSTR("\\out\\data.txt"), 1)},
        {"extension by the final CSV flag", WSTR("[SINGLE=FALSE][FILE=" Q "\\out\\data][CSV=TRUE]"),
         Expect().Single(0).Csv(1).File(Q WSTR("\\out\\data.csv"), 1)},
        {"no extension for a file per record", WSTR("[SINGLE=TRUE][FILE=" Q "\\out\\data]"),
         Expect().Single(1).File(Q WSTR("\\out\\data"), 1)},
        {"a . in a directory is no extension", WSTR("[SINGLE=FALSE][CSV=FALSE][FILE=" Q "\\o.d\\data]"),
         Expect().Single(0).Csv(0).File(Q WSTR("\\o.d\\data.txt"), 1)},
        {"an extension of its own", WSTR("[SINGLE=FALSE][FILE=" Q "\\out\\data.dat]"),
         Expect().Single(0).File(Q WSTR("\\out\\data.dat"), 1)},
        {"no extension without a backslash", WSTR("[SINGLE=FALSE][FILE=data]"),
         Expect().Single(0).File(WSTR("data"), 0)},
        {"an existing directory", WSTR("[SINGLE=FALSE][CSV=FALSE][FILE=.\\data]"),
         Expect().Single(0).Csv(0).File(WSTR(".\\data.txt"), 0)},
        {"the extension sees SINGLE before the MAP rule",
         WSTR("[MAP=TRUE][SINGLE=TRUE][CSV=FALSE][FILE=" Q "\\o\\d]"),
         Expect().Map(1).Single(0).Xml(0).Csv(0).File(Q WSTR("\\o\\d"), 1)},
        {"XML rule after the extension",
         WSTR("[XML=TRUE][CSV=TRUE][CHARSET=UNICODE][SINGLE=FALSE][FILE=" Q "\\x\\y]"),
         Expect().Xml(1).Csv(0).Unicode(0).CodePage(65001).Single(0).File(Q WSTR("\\x\\y.csv"), 1)},
        {"MAP rule before the XML rule", WSTR("[MAP=TRUE][XML=TRUE][SINGLE=TRUE]"),
         Expect().Map(1).Xml(0).Single(0)},
        {"DELIMITER \\t", WSTR("[DELIMITER=\\t]"), Expect().Delimiter(WSTR("\t"))},
        {"DELIMITER \\T", WSTR("[DELIMITER=\\T]"), Expect().Delimiter(WSTR("\t"))},
        {"DELIMITER |", WSTR("[DELIMITER=|]"), Expect().Delimiter(WSTR("|"))},
        {"DELIMITER blank", WSTR("[DELIMITER= ]"), Expect().Delimiter(WSTR(" "))},
        {"DELIMITER L is one unit", WSTR("[DELIMITER=L]"), Expect().Delimiter(WSTR("L"))},
        {"DELIMITER =", WSTR("[DELIMITER==]"), Expect().Delimiter(WSTR("="))},
        {"DELIMITER keeps", WSTR("[DELIMITER=LS][DELIMITER=ls][DELIMITER=ab][DELIMITER=TAB][DELIMITER=]"),
         Expect()},
        {"DELIMITER of two units (one character)", WSTR("[DELIMITER=\xD83D\xDE00]"), Expect()},
        {"CHARSET number keeps Unicode", WSTR("[CHARSET=1252]"), Expect().CodePage(1252)},
        {"CHARSET ACP changes nothing", WSTR("[CHARSET=ACP][CHARSET=acp]"), Expect()},
        {"CHARSET unicode keeps the code page", WSTR("[CHARSET=unicode]"), Expect().Unicode(1)},
        {"CHARSET without digits", WSTR("[CHARSET=abc]"), Expect().CodePage(0)},
        {"CHARSET read as _wtol", WSTR("[CHARSET= \t+850x]"), Expect().CodePage(850)},
        {"CHARSET negative", WSTR("[CHARSET=-5]"), Expect().CodePage(uint32_t(-5))},
        {"CHARSET beyond 32 bits", WSTR("[CHARSET=99999999999]"), Expect().CodePage(2147483647)},
    };
    TempDir dir;
    CurrentDirectory current(dir.Native());
    for (const Row& row : rows) {
        for (int b : {0, 1}) {
            SCOPED_TRACE(std::string(row.label) + (b ? ", flags on before" : ", flags off before"));
            FilterPtr f = MakeFilter();
            FilterPtr expected = MakeFilter();
            SetEarlierState(*f, b);
            SetEarlierState(*expected, b);
            ApplyExpected(row.expect, *expected);
            WString options = row.options;
            EXPECT_EQ(row.expect.nResult, f->ParseOptions(HostStr(options)));
            EXPECT_EQ(WString(row.options), options) << "the caller's text is not changed";
            EXPECT_EQ(Describe(*expected), Describe(*f));
        }
    }
    EXPECT_EQ(std::set<std::string>{}, dir.Tree()) << "nothing made on the missing drive";
}

// A FILE value must fit 2048 units with its terminator and any extension
// the parse adds; one that does not is refused whole, leaving no path, so
// that an export never writes to a name cut short.
TEST(ParseOptions, FileFitsWholeOrNotAtAll)
{
    const WString sDirectory = WString(MissingDrive()) + WSTR("\\d\\");
    auto Name = [&](size_t nUnits, const WCHAR* pszEnd) {
        WString s = sDirectory + pszEnd;
        return sDirectory + WString(nUnits - s.size(), WSTR('n')) + pszEnd;
    };
    struct Row {
        const char* label;
        WString options;
        WString file;
    } rows[] = {
        {"2047 units", WSTR("[FILE=") + Name(2047, WSTR(".x")) + WSTR("]"), Name(2047, WSTR(".x"))},
        {"2048 units", WSTR("[FILE=") + Name(2048, WSTR(".x")) + WSTR("]"), WSTR("")},
        {"2043 units and .txt", WSTR("[FILE=") + Name(2043, WSTR("")) + WSTR("]"), Name(2047, WSTR(".txt"))},
        {"2044 units and .txt", WSTR("[FILE=") + Name(2044, WSTR("")) + WSTR("]"), WSTR("")},
        {"a later value refused", WSTR("[FILE=a][FILE=") + Name(5000, WSTR("")) + WSTR("]"), WSTR("")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        FilterPtr f = MakeFilter();
        f->ParseOptions(HostStr(row.options));
        EXPECT_EQ(row.file, f->m_szFile);
    }
}

TEST(ParseOptions, LaterParseEmptiesFileAndKeepsUnnamedFlags)
{
    TempDir dir;
    FilterPtr f = MakeFilter();
    EXPECT_EQ(0, f->ParseOptions(HostStr(WSTR("[OVERWRITE=TRUE][FILE=") + dir.Path(WSTR("out\\data]")))));
    EXPECT_EQ(dir.Path(WSTR("out\\data.txt")), f->m_szFile);
    EXPECT_TRUE(fs::is_directory(dir.Native() / "out"));
    f->m_nTables = 3;
    EXPECT_EQ(0, f->ParseOptions(HostStr(WSTR("[CSV=TRUE]"))));
    EXPECT_EQ(WString(), f->m_szFile);
    EXPECT_EQ(1, f->m_bOverwrite);
    EXPECT_EQ(0, f->m_nTables);
}

// Whichever allocation fails, the parse ends normally and releases all it
// took; when the copy of the text is what fails, no group is applied.
TEST(ParseOptions, RunsOutOfMemoryWithoutHarm)
{
    TempDir dir;
    const WString options = WSTR("[CSV=TRUE][FILE=") + dir.Path(WSTR("a\\b\\c]"));
    for (long n = 0; n < 20; ++n) {
        SCOPED_TRACE(n);
        FilterPtr f = MakeFilter();
        long nLive = alloc::LiveBlocks();
        {
            alloc::ScopedFailAfter failure(n);
            f->ParseOptions(HostStr(options));
        }
        EXPECT_EQ(nLive, alloc::LiveBlocks());
        if (n == 0) {
            EXPECT_EQ(0, f->m_bCsv);
        }
    }
}

} // namespace
