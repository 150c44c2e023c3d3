// host/main.cpp: ferlo-export, the reference host: exports the tables of a
// SQLite database through the Ferlo filter, as the database application
// drives it. docs/HOST.md describes its use.
#include "CommandLine.h"
#include "Configure.h"
#include "Export.h"
#include "HostPlatform.h"

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

// The options file's text: UTF-16 after a byte-order mark FF FE, else UTF-8
// (a UTF-8 byte-order mark is skipped). Line ends at the end are an editor's,
// not the options'.
bool ReadOptionsFile(const std::string& path, WString* pOptions, std::string* pError)
{
    FILE* file = host::OpenForReading(path);
    std::string bytes;
    char block[8192];
    size_t n;
    while (file && (n = fread(block, 1, sizeof(block), file)) > 0)
        bytes.append(block, n);
    if (!file || ferror(file)) {
        *pError = "cannot read the options file " + path + ": " + strerror(errno);
        if (file)
            fclose(file);
        return false;
    }
    fclose(file);
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
        pOptions->clear();
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            *pOptions += static_cast<WCHAR>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8);
    } else {
        *pOptions = Widen(bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes);
    }
    while (!pOptions->empty() && (pOptions->back() == '\n' || pOptions->back() == '\r'))
        pOptions->pop_back();
    return true;
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

int Export(const CommandLine& line)
{
    Database db; // outlives the tables read from it
    ExportJob job;
    std::string error;
    if (line.options)
        job.options = Widen(*line.options);
    else if (!ReadOptionsFile(*line.optionsFile, &job.options, &error))
        return Complain(kExitUsage, error);
    if (line.registryKey)
        job.registryKey = Widen(*line.registryKey);
    if (!db.Open(line.database, &error))
        return Complain(kExitDatabase, error);
    int nExitCode = OpenTables(line, db, &job);
    if (nExitCode != kExitOk)
        return nExitCode;
    Plugin plugin;
    if (!LoadPlugin(line.plugin, &plugin, &error))
        return Complain(kExitPlugin, error);
    Progress progress(stderr, !line.bQuiet && host::IsTerminal(stderr));
    return RunExport(plugin, job, progress);
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
