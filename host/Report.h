// host/Report.h: what an export will write, worked out from the settings
// and the tables (--explain), and what it wrote (the summary after a
// successful export).
#pragma once

#include "Export.h"
#include "OptionsCheck.h"

#include <stdio.h>

#include <string>
#include <vector>

class ExportReport
{
public:
    ExportReport(const FilterSettings& settings, const std::vector<std::string>& tables);

    // The system's names of the files the tables go to, one per table; none
    // when each record gets a file of its own.
    const std::vector<std::string>& TableFiles() const { return m_files; }

    // The settings the filter will use and the files that will result.
    void Explain(FILE* out) const;

    // Notes the files as they are before the export.
    void Before();

    // One line per file written: created, replaced or appended to.
    void Summary(const ExportJob& job, FILE* out) const;

private:
    struct FileBefore {
        int64_t nSize; // -1: no file
        int64_t nRecords;
    };

    const FilterSettings& m_settings;
    std::vector<std::string> m_tables;
    std::vector<std::string> m_files;
    std::vector<FileBefore> m_before;
};
