// tests/options_parser_test.cpp: what ParseOptions leaves in the filter's members for each corner of the
// grammar, from two opposite earlier states (so every member not named keeps its value); the FILE length
// limits; a parse that runs out of memory.
#include "alloc_failure.h"
#include "fields.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace
{

Fields Describe(const CFerloFilter& f)
{
    const Options& o = f.m_options;
    Fields fields = {{"file", Narrow(o.m_szFile)},
                     {"delimiter", Narrow(o.m_szDelimiter)},
                     {"tables", std::to_string(f.m_output.m_nTables)}};
    const std::pair<const char*, int64_t> numbers[] = {
        {"codepage", o.m_nCodePage},   {"csv", o.m_bCsv},       {"overwrite", o.m_bOverwrite},
        {"writehead", o.m_bWriteHead}, {"single", o.m_bSingle}, {"xml", o.m_bXml},
        {"headline", o.m_bHeadline},   {"map", o.m_bMap},       {"unicode", o.m_bUnicode}};
    for (const auto& [pszName, n] : numbers)
        fields[pszName] = std::to_string(n);
    return fields;
}

// Two opposite earlier states; neither has MAP or XML on, so their rules act only where a row sets them.
void SetEarlierState(CFerloFilter& f, int b)
{
    f.m_options.m_bCsv = f.m_options.m_bOverwrite = f.m_options.m_bWriteHead = f.m_options.m_bSingle =
        f.m_options.m_bHeadline = f.m_options.m_bUnicode = b;
    f.m_options.m_bXml = f.m_options.m_bMap = 0;
    wcscpy(f.m_options.m_szDelimiter, b ? WSTR("~") : WSTR("#"));
    f.m_options.m_nCodePage = b ? 4343 : 4242;
    wcscpy(f.m_options.m_szFile, WSTR("stale"));
    f.m_output.m_nTables = 7;
}

// Paths lie on a missing drive (MISSING_DRIVE): the directory step makes nothing and fails (result 1).
#define Q "Q:"

TEST(ParseOptions, EveryRowFromBothEarlierStates)
{
    struct Row {
        const char* label;
        const WCHAR* options;
        const char* changes; // from the earlier state, whose file is emptied
    } rows[] = {
        {"no [ at all", WSTR("CSV=TRUE"), ""},
        {"text before the first [ is ignored", WSTR("options:[CSV=TRUE]"), "csv=1"},
        {"any case", WSTR("[csv=true][Overwrite=True][wRITEHEAD=tRUE]"), "csv=1,overwrite=1,writehead=1"},
        {"anything but TRUE is false",
         WSTR("[CSV=FALSE][OVERWRITE=1][WRITEHEAD=yes][SINGLE=][HEADLINE= TRUE]"),
         "csv=0,overwrite=0,writehead=0,single=0,headline=0"},
        {"the later group wins", WSTR("[CSV=TRUE][OVERWRITE=TRUE][CSV=FALSE]"), "csv=0,overwrite=1"},
        {"a blank between groups spoils the next key", WSTR("[CSV=TRUE] [HEADLINE=TRUE]"), "csv=1"},
        {"the unit after ] is taken as [ unseen", WSTR("[CSV=TRUE]XHEADLINE=TRUE]"), "csv=1,headline=1"},
        {"a stray ] ends the parse", WSTR("[CSV=TRUE]][HEADLINE=TRUE]"), "csv=1"},
        {"a group without ] ends the parse", WSTR("[CSV=TRUE][HEADLINE=TRUE"), "csv=1"},
        {"a group without = ends the parse", WSTR("[CSV=TRUE][HEADLINE]"), "csv=1"},
        {"= is searched past the ]", WSTR("[FILE]=name]"), "file=name]"},
        {"= past the ] takes the next group's value", WSTR("[CSV][HEADLINE=TRUE]"), "csv=0"},
        {"unknown and untrimmed keys are ignored", WSTR("[COLOR=TRUE][ CSV=TRUE][CSV =TRUE]"), ""},
        {"a value holds = and [", WSTR("[SINGLE=TRUE][FILE=" Q "\\a=b[\\out]"),
         "single=1,file=" Q "\\a=b[\\out,result=1"},
        {"a value ends at the first ]", WSTR("[SINGLE=FALSE][CSV=TRUE][FILE=" Q "\\a]b\\c.txt]"),
         "single=0,csv=1,file=" Q "\\a.csv,result=1"},
        {"extension .txt", WSTR("[SINGLE=FALSE][CSV=FALSE][FILE=" Q "\\out\\data]"),
         "single=0,csv=0,file=" Q "\\out\\data.txt,result=1"},
        {"extension by the final CSV flag", WSTR("[SINGLE=FALSE][FILE=" Q "\\out\\data][CSV=TRUE]"),
         "single=0,csv=1,file=" Q "\\out\\data.csv,result=1"},
        {"no extension for a file per record", WSTR("[SINGLE=TRUE][FILE=" Q "\\out\\data]"),
         "single=1,file=" Q "\\out\\data,result=1"},
        {"a . in a directory is no extension", WSTR("[SINGLE=FALSE][CSV=FALSE][FILE=" Q "\\o.d\\data]"),
         "single=0,csv=0,file=" Q "\\o.d\\data.txt,result=1"},
        {"an extension of its own", WSTR("[SINGLE=FALSE][FILE=" Q "\\out\\data.dat]"),
         "single=0,file=" Q "\\out\\data.dat,result=1"},
        {"no extension without a backslash", WSTR("[SINGLE=FALSE][FILE=data]"), "single=0,file=data"},
        {"an existing directory", WSTR("[SINGLE=FALSE][CSV=FALSE][FILE=.\\data]"),
         "single=0,csv=0,file=.\\data.txt"},
        {"the extension sees SINGLE before the MAP rule",
         WSTR("[MAP=TRUE][SINGLE=TRUE][CSV=FALSE][FILE=" Q "\\o\\d]"),
         "map=1,single=0,csv=0,file=" Q "\\o\\d,result=1"},
        {"the XML rule after the extension",
         WSTR("[XML=TRUE][CSV=TRUE][CHARSET=UNICODE][SINGLE=FALSE][FILE=" Q "\\x\\y]"),
         "xml=1,csv=0,unicode=0,codepage=65001,single=0,file=" Q "\\x\\y.csv,result=1"},
        {"MAP rule before XML rule", WSTR("[MAP=TRUE][XML=TRUE][SINGLE=TRUE]"), "map=1,xml=0,single=0"},
        {"DELIMITER \\t", WSTR("[DELIMITER=\\t]"), "delimiter=\t"},
        {"DELIMITER \\T", WSTR("[DELIMITER=\\T]"), "delimiter=\t"},
        {"DELIMITER |", WSTR("[DELIMITER=|]"), "delimiter=|"},
        {"DELIMITER blank", WSTR("[DELIMITER= ]"), "delimiter= "},
        {"DELIMITER L is one unit", WSTR("[DELIMITER=L]"), "delimiter=L"},
        {"DELIMITER =", WSTR("[DELIMITER==]"), "delimiter=="},
        {"kept", WSTR("[DELIMITER=LS][DELIMITER=ls][DELIMITER=ab][DELIMITER=TAB][DELIMITER=]"), ""},
        {"DELIMITER of two units (one character)", WSTR("[DELIMITER=\xD83D\xDE00]"), ""},
        {"CHARSET number keeps Unicode", WSTR("[CHARSET=1252]"), "codepage=1252"},
        {"CHARSET ACP changes nothing", WSTR("[CHARSET=ACP][CHARSET=acp]"), ""},
        {"CHARSET unicode keeps the code page", WSTR("[CHARSET=unicode]"), "unicode=1"},
        {"CHARSET without digits", WSTR("[CHARSET=abc]"), "codepage=0"},
        {"CHARSET read as _wtol", WSTR("[CHARSET= \t+850x]"), "codepage=850"},
        {"CHARSET negative", WSTR("[CHARSET=-5]"), "codepage=4294967291"},
        {"CHARSET beyond 32 bits", WSTR("[CHARSET=99999999999]"), "codepage=2147483647"},
    };
    TempDir dir;
    CurrentDirectory current(dir.Native());
    for (const Row& row : rows) {
        for (int b : {0, 1}) {
            SCOPED_TRACE(std::string(row.label) + (b ? ", flags on before" : ", flags off before"));
            FilterPtr f = MakeFilter();
            SetEarlierState(*f, b);
            Fields expected = Changed(Changed(Describe(*f), "file=,tables=0,result=0"), row.changes);
            WString options = row.options;
            int nResult = f->ParseOptions(HostStr(options));
            Fields actual = Describe(*f);
            actual["result"] = std::to_string(nResult);
            EXPECT_EQ(expected, actual);
            EXPECT_EQ(WString(row.options), options) << "the caller's text is not changed";
        }
    }
    EXPECT_EQ(std::set<std::string>{}, dir.Tree()) << "nothing made on the missing drive";
}

// A FILE value must fit 2048 units with its terminator and any added extension, or is refused whole.
TEST(ParseOptions, FileFitsWholeOrNotAtAll)
{
    const WString sDirectory = MISSING_DRIVE WSTR("\\d\\");
    auto Name = [&](size_t nUnits, const WString& sEnd) {
        return sDirectory + WString(nUnits - sDirectory.size() - sEnd.size(), 'n') + sEnd;
    };
    const struct {
        const char* label;
        WString file, parsed;
    } rows[] = {
        {"2047 units", Name(2047, WSTR(".x")), Name(2047, WSTR(".x"))},
        {"2048 units", Name(2048, WSTR(".x")), WSTR("")},
        {"2043 units and .txt", Name(2043, WSTR("")), Name(2047, WSTR(".txt"))},
        {"2044 units and .txt", Name(2044, WSTR("")), WSTR("")},
        {"a later value refused", WSTR("a][FILE=") + Name(5000, WSTR("")), WSTR("")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        FilterPtr f = MakeFilter();
        f->ParseOptions(HostStr(WSTR("[FILE=") + row.file + WSTR("]")));
        EXPECT_EQ(row.parsed, f->m_options.m_szFile);
    }
}

// Whichever allocation fails, the parse ends normally and releases all it took; if the copy of the text
// fails, no group is applied.
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
        EXPECT_EQ(n == 0 ? 0 : 1, f->m_options.m_bCsv);
    }
}

} // namespace
