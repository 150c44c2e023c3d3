// output/TableOutput.cpp: beginning a table: which file it is written to,
// the rename of the first table's file when a second table begins, and the
// file's head (byte-order mark and headline).
#include "OutputFiles.h"

#include "FileNames.h"

#include <new>
#include <string.h>

namespace
{

const WCHAR kWorkFilePrefix[] = WSTR("FERLO");
// The work file's directory is copied into a buffer of this many units,
// terminator included; a longer directory cannot hold a work file.
const size_t kTempDirUnits = 245;
// The work file's unique numbers run from 1 up to this, the largest that
// the temporary-name call takes.
const UINT kLastWorkFileNumber = 0xFFFF;

} // namespace

// One-file mode names a later table's file after the FILE path and the
// table: base + "-" + table + ext, where ext is the FILE path from its last
// "." on. False when the name does not fit.
bool OutputFiles::TableFileName(const WCHAR* pszTable, WCHAR* pszOut) const
{
    const WCHAR* pszFile = m_options.m_szFile;
    size_t nBase = BaseLength(pszFile);
    return PathBuilder(pszOut, kPathUnits)
        .Append(pszFile, nBase)
        .Append(WSTR("-"))
        .Append(pszTable)
        .Append(pszFile + nBase)
        .Ok();
}

// The name of the first table's work file with the unique number nUnique:
// in the directory of the FILE path (its base cut at the last backslash, or
// the base itself without one), FER1.TMP for 1, FER2.TMP for 2, and so on.
bool OutputFiles::WorkFileName(UINT nUnique, WCHAR* pszOut) const
{
    const WCHAR* pszFile = m_options.m_szFile;
    WCHAR szDirectory[kTempDirUnits];
    size_t nBase = BaseLength(pszFile);
    size_t nDirectory = nBase;
    for (size_t i = 0; i < nBase; ++i)
        if (pszFile[i] == WSTR('\\'))
            nDirectory = i;
    if (!PathBuilder(szDirectory, kTempDirUnits).Append(pszFile, nDirectory).Ok())
        return false;
    return GetTempFileNameW(szDirectory, kWorkFilePrefix, nUnique, pszOut) != 0;
}

// Creates the first table's work file as a new file of its own: FER1.TMP,
// or the next free number when another export is writing its work file in
// the same directory or a failed commit kept one there. No file that exists
// is opened, so nothing another export wrote, or a user kept, is emptied.
// The name taken is left in pszName.
FILE* OutputFiles::CreateFirstTableFile(WCHAR* pszName) const
{
    bool bTaken = true;
    for (UINT n = 1; bTaken && n <= kLastWorkFileNumber; ++n) {
        if (!WorkFileName(n, pszName))
            return nullptr;
        if (FILE* pFile = CreateWorkFile(pszName, &bTaken))
            return pFile;
    }
    return nullptr;
}

// The second table's begin gives the first table's closed work file its
// final name. A file of that name is replaced only with OVERWRITE on.
int OutputFiles::RenameFirstTable()
{
    // A work file that could not be written in full keeps its name, so that
    // it replaces no file.
    if (m_bWriteFailed)
        return 2;
    WCHAR szFinal[kPathUnits];
    if (!TableFileName(m_szPrevTable, szFinal))
        return 2;
    if (_wrename(m_szWorkFile, szFinal) == 0)
        return 0;
    if (!m_options.m_bOverwrite)
        return 2;
    _wremove(szFinal);
    return _wrename(m_szWorkFile, szFinal) == 0 ? 0 : 2;
}

int OutputFiles::OpenTable(const WCHAR* pszTable)
{
    // Without a FILE path there is no file to write the table to.
    if (m_options.m_szFile[0] == 0)
        return 2;
    // A table left open by a missing EndTable is closed first, so that its
    // file can be renamed and nothing written to it is lost.
    EndTable();

    // Every name is made before any file is touched, so that a name that
    // does not fit refuses the table and leaves all files as they are.
    WCHAR szFile[kPathUnits];
    bool bNamed = m_nTables == 0 ? WorkFileName(1, szFile) : TableFileName(pszTable, szFile);
    if (!bNamed || wcslen(pszTable) >= static_cast<size_t>(kPathUnits))
        return 2;
    if (m_nTables == 1) {
        if (RenameFirstTable() != 0)
            return 2;
        // The work file's name may be taken by another export from now on:
        // nothing here may refer to it again.
        m_szWorkFile[0] = 0;
    }

    m_pFile = m_nTables == 0 ? CreateFirstTableFile(szFile) : OpenOutputFile(szFile);
    if (!m_pFile)
        return 2;
    PathBuilder(m_szWorkFile, kPathUnits).Append(szFile);
    if (m_options.m_bUnicode)
        WriteByteOrderMark(m_pFile);
    return 0;
}

void OutputFiles::DiscardTable()
{
    m_writer.Flush();
    fclose(m_pFile);
    m_pFile = nullptr;
    _wremove(m_szWorkFile);
    m_szWorkFile[0] = 0;
}

// Writes a headline name: the first name "ID" is written as "id", so that
// spreadsheet programs do not take the file for another format.
void OutputFiles::WriteHeadName(int i, const WCHAR* pszName)
{
    if (i == 0 && wcscmp(pszName, WSTR("ID")) == 0)
        pszName = WSTR("id");
    m_writer.WriteQuoted(m_pFile, pszName, i > 0 ? m_options.m_szDelimiter : nullptr);
}

// The records of the table begin where its head ends; the commit of an
// append copies them from there.
void OutputFiles::WriteTableHead(const WCHAR* pszTable, const FieldNames& names)
{
    if (m_options.m_bWriteHead) {
        for (int i = 0; i < names.Count(); ++i)
            WriteHeadName(i, names.Name(i));
        m_writer.WriteText(m_pFile, m_szLineEnd, 0);
    }
    m_writer.Flush();
    fflush(m_pFile);
    m_nRecordsStart = _ftelli64(m_pFile);
    PathBuilder(m_szPrevTable, kPathUnits).Append(pszTable);
    ++m_nTables;
}

bool OutputFiles::KeepFieldNames(const FieldNames& names)
{
    ReleaseFieldNames();
    int32_t nNames = names.Count();
    if (nNames == 0)
        return true;
    m_ppszFieldNames = new (std::nothrow) WCHAR*[static_cast<size_t>(nNames)];
    if (!m_ppszFieldNames)
        return false;
    for (int32_t i = 0; i < nNames; ++i) {
        const WCHAR* pszName = names.Name(i);
        size_t nUnits = wcslen(pszName) + 1;
        WCHAR* pszCopy = new (std::nothrow) WCHAR[nUnits];
        if (!pszCopy) {
            ReleaseFieldNames();
            return false;
        }
        memcpy(pszCopy, pszName, nUnits * sizeof(WCHAR));
        m_ppszFieldNames[m_nFieldNames++] = pszCopy;
    }
    return true;
}

void OutputFiles::ReleaseFieldNames()
{
    if (!m_ppszFieldNames)
        return;
    for (int32_t i = 0; i < m_nFieldNames; ++i)
        delete[] m_ppszFieldNames[i];
    delete[] m_ppszFieldNames;
    m_ppszFieldNames = nullptr;
    m_nFieldNames = 0;
}
