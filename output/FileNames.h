// output/FileNames.h: the names of output files, built in the filter's
// fixed path buffers (refusing any name that does not fit whole), and the
// way every output file is opened.
#pragma once

#include "../platform/Platform.h"

// Appends texts to a fixed buffer of units. Once a piece does not fit, the
// builder is failed and its buffer must not be used: a path cut short would
// name another, valid file.
class PathBuilder
{
public:
    PathBuilder(WCHAR* pBuffer, size_t nCapacity) : m_p(pBuffer), m_nCapacity(nCapacity)
    {
        if (m_nCapacity)
            m_p[0] = 0;
    }

    PathBuilder& Append(const WCHAR* psz) { return Append(psz, wcslen(psz)); }
    PathBuilder& Append(const WCHAR* p, size_t nUnits);
    bool Ok() const { return m_bOk && m_nCapacity > 0; }

private:
    WCHAR* m_p;
    size_t m_nCapacity;
    size_t m_nLength = 0;
    bool m_bOk = true;
};

// The length of the part of pszPath before its last ".", or the whole
// length when it holds none. The search covers directories too.
size_t BaseLength(const WCHAR* pszPath);

// Creates or empties an output file for reading and writing, binary, with
// sharing denied to other openers while it is written; null on failure.
FILE* OpenOutputFile(const WCHAR* pszPath);

// Creates the work file pszPath for reading and writing, binary, with
// sharing denied, only if no file of that name exists, never through a
// link. Null on failure; *pbTaken tells whether the name was taken by a
// file (another export's work file, or one kept by a failed commit).
FILE* CreateWorkFile(const WCHAR* pszPath, bool* pbTaken);

// Opens the closed work file again, for reading, with sharing denied and
// never through a link; null on failure.
FILE* OpenWorkFile(const WCHAR* pszPath);

// The byte-order mark that begins every UTF-16LE text file.
void WriteByteOrderMark(FILE* pFile);
