// host/Report.cpp: the settings and files an export will have, and the
// summary of what it wrote.
#include "Report.h"

#include "HostPlatform.h"

namespace
{

const char* YesNo(bool bFlag)
{
    return bFlag ? "TRUE" : "FALSE";
}

std::string DelimiterText(WCHAR delimiter)
{
    if (delimiter == 0)
        return "LS: the list separator of the user's settings";
    if (delimiter == '\t')
        return "\\T: a tab";
    return "\"" + Narrow(WString(1, delimiter)) + "\"";
}

std::string CharsetText(const FilterSettings& s)
{
    if (s.bUnicode)
        return "UNICODE: UTF-16 with a byte-order mark";
    if (s.nCodePage < 0)
        return "ACP: the system's ANSI code page";
    return "code page " + std::to_string(s.nCodePage);
}

// The records in a file the filter wrote: its record ends (CR LF, outside
// quotes in CSV), less the headline. A value that holds a line break of its
// own, unquoted, counts as more than one.
int64_t CountRecords(const std::string& path, const FilterSettings& s)
{
    FILE* file = host::OpenForReading(path);
    if (!file)
        return 0;
    int64_t nEnds = 0;
    bool bQuoted = false;
    unsigned previous = 0;
    int nUnit = s.bUnicode ? 2 : 1;
    unsigned char bytes[2];
    while (fread(bytes, 1, static_cast<size_t>(nUnit), file) == static_cast<size_t>(nUnit)) {
        unsigned unit = nUnit == 2 ? (bytes[0] | bytes[1] << 8u) : bytes[0];
        if (s.bCsv && unit == '"')
            bQuoted = !bQuoted;
        else if (!bQuoted && previous == '\r' && unit == '\n')
            ++nEnds;
        previous = unit;
    }
    fclose(file);
    return nEnds > 0 && s.bWriteHead ? nEnds - 1 : nEnds;
}

std::string Records(int64_t n)
{
    return std::to_string(n) + (n == 1 ? " record" : " records");
}

} // namespace

ExportReport::ExportReport(const FilterSettings& settings, const std::vector<std::string>& tables)
    : m_settings(settings), m_tables(tables)
{
    if (!settings.bSingle && !settings.file.empty())
        for (const WString& name : TableFileNames(settings, tables))
            m_files.push_back(host::SystemPath(Narrow(name)));
}

void ExportReport::Explain(FILE* out) const
{
    const FilterSettings& s = m_settings;
    fprintf(out, "The filter will use:\n");
    fprintf(out, "  FILE       %s\n", s.file.empty() ? "(none)" : Narrow(s.file).c_str());
    fprintf(out, "  CSV        %s\n", YesNo(s.bCsv));
    fprintf(out, "  OVERWRITE  %s%s\n", YesNo(s.bOverwrite),
            s.bOverwrite || s.bSingle ? "" : ": a single table's records are appended to an existing file");
    fprintf(out, "  WRITEHEAD  %s\n", YesNo(s.bWriteHead));
    fprintf(out, "  SINGLE     %s\n", YesNo(s.bSingle));
    fprintf(out, "  XML        %s\n", YesNo(s.bXml));
    fprintf(out, "  HEADLINE   %s\n", YesNo(s.bHeadline));
    fprintf(out, "  DELIMITER  %s\n", DelimiterText(s.delimiter).c_str());
    fprintf(out, "  CHARSET    %s\n", CharsetText(s).c_str());
    fprintf(out, "  MAP        %s\n", YesNo(s.bMap));
    if (s.bSingle) {
        fprintf(out, "Each record goes to a file of its own, named after its record path with %s.\n",
                s.bXml ? ".XML" : ".TXT");
        return;
    }
    fprintf(out, "Files:\n");
    for (size_t i = 0; i < m_tables.size(); ++i)
        fprintf(out, "  %s -> %s\n", m_tables[i].c_str(), m_files[i].c_str());
}

void ExportReport::Before()
{
    m_before.clear();
    for (const std::string& file : m_files) {
        int64_t nSize = host::FileSize(file);
        m_before.push_back({nSize, nSize > 0 ? CountRecords(file, m_settings) : 0});
    }
}

void ExportReport::Summary(const ExportJob& job, FILE* out) const
{
    if (m_settings.bSingle) {
        std::set<WString> folders;
        for (const WString& path : job.recordPaths) {
            size_t nSlash = path.rfind('\\');
            folders.insert(nSlash == WString::npos ? WString(1, '.') : path.substr(0, nSlash));
        }
        std::string where = folders.size() == 1 ? host::SystemPath(Narrow(*folders.begin()))
                                                : std::to_string(folders.size()) + " folders";
        fprintf(out, "wrote %zu file%s in %s, one per record\n", job.recordPaths.size(),
                job.recordPaths.size() == 1 ? "" : "s", where.c_str());
        return;
    }
    for (size_t i = 0; i < m_files.size() && i < job.records.size(); ++i) {
        const std::string& file = m_files[i];
        int64_t nSize = host::FileSize(file);
        const FileBefore& before = m_before[i];
        std::string size = std::to_string(nSize) + " bytes";
        if (before.nSize < 0)
            fprintf(out, "created  %s: %s, %s\n", file.c_str(), Records(job.records[i]).c_str(),
                    size.c_str());
        else if (m_settings.bOverwrite || m_files.size() > 1)
            fprintf(out, "replaced %s: %s, %s\n", file.c_str(), Records(job.records[i]).c_str(),
                    size.c_str());
        else
            fprintf(out, "appended %s to %s, which had %s before: now %s, %s\n",
                    Records(job.records[i]).c_str(), file.c_str(), Records(before.nRecords).c_str(),
                    Records(before.nRecords + job.records[i]).c_str(), size.c_str());
    }
}
