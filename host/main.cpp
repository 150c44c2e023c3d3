// host/main.cpp: ferlo-export, the reference host: exports the tables of a
// SQLite database through the Ferlo filter, as the database application
// drives it. docs/HOST.md describes its use.
#include "CommandLine.h"
#include "Configure.h"
#include "Export.h"
#include "FailureCause.h"
#include "HostPlatform.h"
#include "OptionsCheck.h"
#include "OptionsFile.h"
#include "Report.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

namespace
{

int Complain(int nExitCode, const std::string& message)
{
    fprintf(stderr, "ferlo-export: %s\n", message.c_str());
    return nExitCode;
}

int ShowInfo(const CommandLine& line)
{
    Plugin plugin;
    std::string error;
    if (!LoadPlugin(line.plugin, &plugin, &error))
        return Complain(kExitPlugin, error);
    FilterInfo info = {};
    int status = plugin.pfnGetFilterInfo(&info);
    if (status != 0)
        return Complain(kExitFilter, "ZRDbGetFilterInfo failed with status " + std::to_string(status));
    const struct {
        const char* pszMember;
        const WCHAR* pszText;
    } texts[] = {
        {"pszDescription", info.pszDescription},
        {"pszName", info.pszName},
        {"pszVersion", info.pszVersion},
        {"pszMaker", info.pszMaker},
    };
    printf("%-15s 0x%08lX\n", "nVersion", static_cast<unsigned long>(info.nVersion));
    printf("%-15s %lu\n", "nType", static_cast<unsigned long>(info.nType));
    for (const auto& text : texts)
        printf("%-15s %s\n", text.pszMember, text.pszText ? Narrow(text.pszText).c_str() : "(null)");
    return kExitOk;
}

// Opens every table to export before the filter sees anything, so that a
// wrong name stops the export before a file is touched.
int OpenTables(const CommandLine& line, Database& db, ExportJob* pJob)
{
    std::string error;
    std::vector<std::string> names;
    if (line.tables.empty() && !db.UserTables(&names, &error))
        return Complain(kExitDatabase, error);
    for (const std::string& wanted : line.tables) {
        std::string found;
        if (!db.FindTable(wanted, &found, &error))
            return Complain(kExitDatabase, error);
        if (found.empty())
            return Complain(kExitDatabase, "no table named " + wanted + " in " + line.database);
        names.push_back(found);
    }
    for (const std::string& name : names) {
        auto reader = std::make_unique<TableReader>();
        if (!reader->Open(db, name, &error))
            return Complain(kExitDatabase, error);
        int nColumn = line.recordPathColumn ? reader->FindColumn(*line.recordPathColumn) : -1;
        if (line.recordPathColumn && nColumn < 0)
            return Complain(kExitDatabase, "the table " + name + " has no column " + *line.recordPathColumn);
        pJob->tables.push_back(std::move(reader));
        pJob->recordPathColumns.push_back(nColumn);
    }
    return kExitOk;
}

// The options of the command line: the string or the file's, with the FILE
// item of --output.
bool ExportOptions(const CommandLine& line, WString* pOptions, std::string* pError)
{
    if (line.options)
        *pOptions = Widen(*line.options);
    else if (!ReadOptionsFile(*line.optionsFile, pOptions, pError))
        return false;
    if (!line.output)
        return true;
    WString given = *pOptions;
    if (!ReplaceFileItem(given, FileItemOf(*line.output, host::HasDriveLetters()), pOptions)) {
        *pError = "--output cannot hold \"]\", which would end the FILE value";
        return false;
    }
    return true;
}

// Warns of what the filter will ignore or read otherwise than meant; under
// --strict each is an error. False when the export is to stop.
bool Warn(const CommandLine& line, const std::vector<std::string>& warnings)
{
    for (const std::string& warning : warnings)
        fprintf(stderr, "ferlo-export: %s: %s\n", line.bStrict ? "error" : "warning", warning.c_str());
    return !line.bStrict || warnings.empty();
}

// The filter would replace or append to the database it reads.
bool WritesTheDatabase(const ExportReport& report, const std::string& database, std::string* pError)
{
    for (const std::string& file : report.TableFiles()) {
        if (host::SameFile(file, database)) {
            *pError = "the output file " + file + " is the database being read; choose another FILE";
            return true;
        }
    }
    return false;
}

int Export(const CommandLine& line)
{
    Database db; // outlives the tables read from it
    ExportJob job;
    std::string error;
    if (!ExportOptions(line, &job.options, &error))
        return Complain(kExitUsage, error);
    std::vector<std::string> warnings;
    FilterSettings settings = ReadFilterSettings(job.options, &warnings);
    if (!Warn(line, warnings))
        return kExitUsage;
    if (line.registryKey)
        job.registryKey = Widen(*line.registryKey);
    if (!db.Open(line.database, &error))
        return Complain(kExitDatabase, error);
    int nExitCode = OpenTables(line, db, &job);
    if (nExitCode != kExitOk)
        return nExitCode;
    std::vector<std::string> tables;
    for (const auto& table : job.tables)
        tables.push_back(table->Table());
    ExportReport report(settings, tables);
    if (WritesTheDatabase(report, line.database, &error))
        return Complain(kExitUsage, error);
    if (line.bExplain) {
        report.Explain(stdout);
        return kExitOk;
    }
    Plugin plugin;
    if (!LoadPlugin(line.plugin, &plugin, &error))
        return Complain(kExitPlugin, error);
    job.explainFailure = [&](const char* pszOperation, size_t nTable) {
        return ExplainFailure(settings, tables, pszOperation, nTable);
    };
    job.bKeepRecordPaths = settings.bSingle && !line.bQuiet;
    // Counting the records a file held before reads it whole: only the
    // summary needs them.
    if (!line.bQuiet)
        report.Before();
    Progress progress(stderr, !line.bQuiet && host::IsTerminal(stderr));
    nExitCode = RunExport(plugin, job, progress);
    if (nExitCode == kExitOk && !line.bQuiet)
        report.Summary(job, stdout);
    return nExitCode;
}

int Configure(const CommandLine& line)
{
    if (const char* pszWhy = host::SettingsDialogUnavailable())
        return Complain(kExitUsage, pszWhy);
    ConfigureJob job;
    std::string error;
    job.bMap = line.bMap;
    if (line.options)
        job.options = Widen(*line.options);
    else if (line.optionsFile && !ReadOptionsFile(*line.optionsFile, &job.options.emplace(), &error))
        return Complain(kExitUsage, error);
    if (line.registryKey)
        job.registryKey = Widen(*line.registryKey);
    Plugin plugin;
    if (!LoadPlugin(line.plugin, &plugin, &error))
        return Complain(kExitPlugin, error);
    return RunConfigure(plugin, job);
}

} // namespace

int HostMain(const std::vector<std::string>& args)
{
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(args, &line, &error)) {
        fprintf(stderr, "ferlo-export: %s\nTry 'ferlo-export --help'.\n", error.c_str());
        return kExitUsage;
    }
    switch (line.mode) {
    case CommandLine::kHelp:
        fputs(kHelpText, stdout);
        return kExitOk;
    case CommandLine::kInfo:
        return ShowInfo(line);
    case CommandLine::kConfigure:
        return Configure(line);
    case CommandLine::kExport:
        break;
    }
    return Export(line);
}
