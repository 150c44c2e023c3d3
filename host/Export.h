// host/Export.h: one export, driven through the plug-in in the order the
// database application keeps.
#pragma once

#include "Database.h"
#include "PluginLoader.h"
#include "Progress.h"
#include "TextConvert.h"

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The exit status of ferlo-export.
enum ExitCode {
    kExitOk = 0,
    kExitFilter = 1,   // the filter reported a failure or made no filter
    kExitUsage = 2,    // a wrong command line or an unreadable options file
    kExitDatabase = 3, // the database cannot be read, or lacks a table or column
    kExitPlugin = 4,   // the filter library cannot be loaded
};

struct ExportJob {
    WString options;
    std::optional<WString> registryKey; // none: a null key
    // The tables, opened and in export order.
    std::vector<std::unique_ptr<TableReader>> tables;
    // Per table, the column holding record paths, or -1 for the default.
    std::vector<int> recordPathColumns;
    // What a failed status of the operation means in this export, at the
    // table of that index, with the file and the system's reason; empty for
    // the operation's general meaning.
    std::function<std::string(const char* pszOperation, size_t nTable)> explainFailure;

    // Filled by the export: the records written of each table ended, and,
    // when asked for, every record path handed to the filter.
    std::vector<int64_t> records;
    bool bKeepRecordPaths = false;
    std::set<WString> recordPaths;
};

// Runs the export: ZRDbCreateFilter, ParseOptions, per table BeginTable and
// per record BeginRecord, WriteField per field and EndRecord, then EndTable;
// Commit after the last table; slot 0 at the end. The first non-zero status
// stops the export: a table already begun is ended, nothing is committed,
// the filter is destroyed, and one line on stderr names the operation, where
// it failed, the status and its meaning. Returns the exit code.
int RunExport(const Plugin& plugin, ExportJob& job, Progress& progress);
