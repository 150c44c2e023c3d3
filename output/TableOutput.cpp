// output/TableOutput.cpp: beginning a table: which file it is written to,
// the rename of the first table's file when a second table begins, and the
// file's head (byte-order mark and headline).
#include "FileNames.h"

#include "../filter/FerloFilter.h"

#include <new>

namespace {

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
bool CFerloFilter::TableFileName(const WCHAR* pszTable, WCHAR* pszOut) const
{
    size_t nBase = BaseLength(m_szFile);
    return PathBuilder(pszOut, kPathUnits)
        .Append(m_szFile, nBase)
        .Append(WSTR("-"))
        .Append(pszTable)
        .Append(m_szFile + nBase)
        .Ok();
}

// The name of the first table's work file with the unique number nUnique:
// in the directory of the FILE path (its base cut at the last backslash, or
// the base itself without one), FER1.TMP for 1, FER2.TMP for 2, and so on.
bool CFerloFilter::WorkFileName(UINT nUnique, WCHAR* pszOut) const
{
    WCHAR szDirectory[kTempDirUnits];
    size_t nBase = BaseLength(m_szFile);
    size_t nDirectory = nBase;
    for (size_t i = 0; i < nBase; ++i)
        if (m_szFile[i] == WSTR('\\'))
            nDirectory = i;
    if (!PathBuilder(szDirectory, kTempDirUnits).Append(m_szFile, nDirectory).Ok())
        return false;
    return GetTempFileNameW(szDirectory, kWorkFilePrefix, nUnique, pszOut) != 0;
}

// Creates the first table's work file as a new file of its own: FER1.TMP,
// or the next free number when another export is writing its work file in
// the same directory or a failed commit kept one there. No file that exists
// is opened, so nothing another export wrote, or a user kept, is emptied.
// The name taken is left in pszName.
FILE* CFerloFilter::CreateFirstTableFile(WCHAR* pszName) const
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
int CFerloFilter::RenameFirstTable()
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
    if (!m_bOverwrite)
        return 2;
    _wremove(szFinal);
    return _wrename(m_szWorkFile, szFinal) == 0 ? 0 : 2;
}

// Writes a headline name: the first name "ID" is written as "id", so that
// spreadsheet programs do not take the file for another format.
void CFerloFilter::WriteHeadName(int i, const WCHAR* pszName)
{
    if (i == 0 && wcscmp(pszName, WSTR("ID")) == 0)
        pszName = WSTR("id");
    WriteQuoted(pszName, i > 0 ? m_szDelimiter : nullptr);
}

void CFerloFilter::WriteTableHeadline()
{
    for (int i = 0; i < m_fields.nSize; ++i)
        WriteHeadName(i, FieldName(m_fields.pData[i]));
    WriteText(m_szLineEnd, 0);
}

int ZRCALL CFerloFilter::BeginTable(const HostString& table, HostField** ppFields, int nFields)
{
    const WCHAR* pszTable = HostText(table);
    if (!pszTable)
        pszTable = WSTR("");
    if (m_bSingle)
        return BeginRecordTable(table, ppFields, nFields);
    // Without a FILE path there is no file to write the table to.
    if (m_szFile[0] == 0)
        return 2;
    // A table left open by a missing EndTable is closed first, so that its
    // file can be renamed and nothing written to it is lost.
    EndTable();

    // Every name is made before any file is touched, so that a name that
    // does not fit refuses the table and leaves all files as they are.
    WCHAR szFile[kPathUnits];
    WCHAR szPrevTable[kPathUnits];
    bool bNamed = m_nTables == 0 ? WorkFileName(1, szFile) : TableFileName(pszTable, szFile);
    if (!bNamed || !PathBuilder(szPrevTable, kPathUnits).Append(pszTable).Ok())
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
    if (m_bUnicode)
        WriteByteOrderMark(m_pFile);
    if (CZRDbFilter::BeginTable(table, ppFields, nFields) != 0) {
        fclose(m_pFile);
        m_pFile = nullptr;
        _wremove(m_szWorkFile);
        m_szWorkFile[0] = 0;
        return 2;
    }
    if (m_bWriteHead)
        WriteTableHeadline();
    fflush(m_pFile);
    m_nRecordsStart = _ftelli64(m_pFile);
    PathBuilder(m_szPrevTable, kPathUnits).Append(szPrevTable);
    ++m_nTables;
    return 0;
}

// One-file-per-record mode: the table opens no file; it keeps its fields
// and copies of their names for the headlines of the record files.
int CFerloFilter::BeginRecordTable(const HostString& table, HostField** ppFields, int nFields)
{
    if (CZRDbFilter::BeginTable(table, ppFields, nFields) != 0)
        return 2;
    ReleaseFieldNames();
    int32_t nNames = m_fields.nSize;
    if (nNames == 0)
        return 0;
    m_ppszFieldNames = new (std::nothrow) WCHAR*[static_cast<size_t>(nNames)];
    if (!m_ppszFieldNames)
        return 2;
    for (int32_t i = 0; i < nNames; ++i) {
        const WCHAR* pszName = FieldName(m_fields.pData[i]);
        size_t nUnits = wcslen(pszName) + 1;
        WCHAR* pszCopy = new (std::nothrow) WCHAR[nUnits];
        if (!pszCopy) {
            ReleaseFieldNames();
            return 2;
        }
        memcpy(pszCopy, pszName, nUnits * sizeof(WCHAR));
        m_ppszFieldNames[m_nFieldNames++] = pszCopy;
    }
    return 0;
}
