// host/FailureCause.cpp: the file or folder behind a failed status, and the
// system's reason. The filter names its files by fixed rules: the folder
// of FILE, made by ParseOptions; a work file there for the first table,
// renamed to its final name when the second table begins or by Commit;
// the later tables' files opened directly.
#include "FailureCause.h"

#include "HostPlatform.h"

#include <errno.h>
#include <string.h>

namespace
{

std::string Reason(int nError)
{
    if (nError == host::kHeldByAnother)
        return "another export holds it open";
    return nError != 0 ? strerror(nError) : "the system gives no reason";
}

std::string System(const WString& filterPath)
{
    return host::SystemPath(Narrow(filterPath));
}

// The first level of FOLDER that does not exist, walked from the top as the
// filter makes them; the top level itself has no folder above it in the
// text, and the filter does not make it.
std::string FolderCause(const WString& folder)
{
    for (size_t nEnd = folder.find('\\');; nEnd = folder.find('\\', nEnd + 1)) {
        WString level = folder.substr(0, nEnd);
        bool bTop = level.find('\\') == WString::npos;
        if (!level.empty() && level.back() != ':') {
            std::string path = System(level);
            if (host::FileSize(path) >= 0)
                return "cannot make the folder " + System(folder) + ": " + path + " is a file";
            int nError = host::WhyNoFolder(path);
            if (nError != EEXIST && bTop)
                return "cannot make the folder " + System(folder) + ": the path has no folder above " + path +
                       "; start a relative path with .\\";
            if (nError != EEXIST)
                return "cannot make the folder " + path + ": " + Reason(nError);
        }
        if (nEnd == WString::npos)
            return "";
    }
}

std::string ParseOptionsCause(const FilterSettings& s)
{
    size_t nSlash = s.file.rfind('\\');
    if (s.file.empty())
        return "";
    if (nSlash == WString::npos)
        return "FILE " + Narrow(s.file) + " has no backslash, so it names no folder";
    return FolderCause(s.file.substr(0, nSlash));
}

// The work file lies in the folder of FILE without its extension, or, for
// a FILE without a backslash, in a folder of that name. The filter takes
// the first of FER1.TMP, FER2.TMP, ... that does not exist.
const unsigned kLastWorkFileNumber = 0xFFFF;

std::string WorkFolder(const FilterSettings& s)
{
    WString base = s.file.substr(0, s.file.rfind('.'));
    return Narrow(base.substr(0, base.rfind('\\')));
}

std::string WorkFileCause(const FilterSettings& s)
{
    std::string folder = WorkFolder(s);
    if (s.file.substr(0, s.file.rfind('.')).find('\\') == WString::npos)
        return "FILE " + Narrow(s.file) + " has no backslash, so the filter looks for the folder " + folder +
               " for its work file; write [FILE=.\\" + Narrow(s.file) + "] or give --output";
    for (unsigned n = 1; n <= kLastWorkFileNumber; ++n) {
        std::string work = host::SystemPath(host::WorkFileName(folder, n));
        int nError = host::WhyNotWritable(work);
        if (host::FileSize(work) < 0 && nError != host::kHeldByAnother)
            return "cannot create the work file " + work + ": " + Reason(nError);
    }
    return "every work file name in " + host::SystemPath(folder) + " is taken";
}

// The work file this export wrote: the last of the names taken one after
// another from FER1.TMP on, as the filter took the first free one.
std::string WorkFile(const FilterSettings& s)
{
    std::string folder = WorkFolder(s), last;
    for (unsigned n = 1; n <= kLastWorkFileNumber; ++n) {
        std::string work = host::SystemPath(host::WorkFileName(folder, n));
        if (host::FileSize(work) < 0)
            break;
        last = work;
    }
    return last.empty() ? host::SystemPath(host::WorkFileName(folder, 1)) : last;
}

std::string BeginTableCause(const FilterSettings& s, const std::vector<std::string>& tables, size_t nTable)
{
    if (nTable == 0)
        return WorkFileCause(s);
    // The second table begins with the first table's rename: while the
    // work file is still there, that rename is what failed.
    std::vector<WString> names = TableFileNames(s, tables);
    std::string first = System(names[0]);
    if (nTable == 1 && host::FileSize(WorkFile(s)) >= 0) {
        if (!s.bOverwrite)
            return "the first table's file " + first + " exists and OVERWRITE is off, so the records of " +
                   tables[0] + " stay in the work file " + WorkFile(s);
        return "cannot replace " + first + " by the work file " + WorkFile(s) + ": " +
               Reason(host::WhyNotWritable(first));
    }
    std::string file = System(names[nTable]);
    return "cannot open " + file + ": " + Reason(host::WhyNotWritable(file));
}

} // namespace

std::string ExplainFailure(const FilterSettings& settings, const std::vector<std::string>& tables,
                           const char* pszOperation, size_t nTable)
{
    std::string operation = pszOperation;
    if (settings.nRefusedFileUnits > 0 && operation != "Commit")
        return "FILE is " + std::to_string(settings.nRefusedFileUnits) +
               " characters long, more than the filter takes, so it has no output file";
    if (operation == "ParseOptions")
        return ParseOptionsCause(settings);
    if (settings.bSingle || settings.file.empty())
        return "";
    if (operation == "BeginTable" && nTable < tables.size())
        return BeginTableCause(settings, tables, nTable);
    if (operation == "Commit" && tables.size() == 1) {
        std::string target = System(settings.file);
        return "cannot give the work file its final name " + target + ": " +
               Reason(host::WhyNotWritable(target)) + "; the records are in " + WorkFile(settings);
    }
    return "";
}
