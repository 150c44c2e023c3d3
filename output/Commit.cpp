// output/Commit.cpp: the commit of a one-table export: the work file gets
// the FILE path as its name, replacing the file there or appending its
// records to it.
//
// Nothing is lost on the way: the work file is deleted only after every
// one of its bytes reached the target, and a failed rename or copy leaves
// it under its temporary name, where the user finds the records.
#include "../filter/FerloFilter.h"

#include <new>

namespace {

const size_t kCopyBlockBytes = 8192;

// Copies src from its position to its end onto dst. False when a block
// could not be had, read or written whole.
bool CopyRest(FILE* src, FILE* dst)
{
    char* pBlock = new (std::nothrow) char[kCopyBlockBytes];
    if (!pBlock)
        return false;
    bool bOk = true;
    size_t nRead;
    while (bOk && (nRead = fread(pBlock, 1, kCopyBlockBytes, src)) > 0)
        bOk = fwrite(pBlock, 1, nRead, dst) == nRead;
    bOk = bOk && !ferror(src);
    delete[] pBlock;
    return bOk;
}

} // namespace

int CFerloFilter::ReplaceTarget()
{
    // Only a work file that is really there may take the target's place.
    if (_waccess(m_szWorkFile, 0) != 0)
        return 1;
    _wremove(m_szFile);
    return _wrename(m_szWorkFile, m_szFile) == 0 ? 0 : 1;
}

// Appends the records of the work file, from m_nRecordsStart on, so that
// the target gets no second byte-order mark or headline.
int CFerloFilter::AppendToTarget()
{
    FILE* pWork = _wfsopen(m_szWorkFile, WSTR("rb"), _SH_DENYRW);
    if (!pWork) {
        fclose(m_pFile);
        m_pFile = nullptr;
        return 1;
    }
    bool bOk = _fseeki64(pWork, m_nRecordsStart, SEEK_SET) == 0 &&
               _fseeki64(m_pFile, 0, SEEK_END) == 0 && CopyRest(pWork, m_pFile);
    // A full disk may show only when the last block leaves the buffer.
    bOk = fflush(m_pFile) == 0 && bOk;
    bOk = fclose(m_pFile) == 0 && bOk;
    m_pFile = nullptr;
    fclose(pWork);
    if (!bOk)
        return 1;
    _wremove(m_szWorkFile);
    return 0;
}

int ZRCALL CFerloFilter::Commit()
{
    // Nothing to move: one file per record, several tables (each file has
    // its final name), no table, or a work file already committed.
    if (m_bSingle || m_nTables != 1 || m_szWorkFile[0] == 0)
        return 0;
    // A table left open by a missing EndTable is closed first, as EndTable
    // would have done, so that its records are committed too.
    EndTable();
    int status;
    if (m_bOverwrite) {
        status = ReplaceTarget();
    } else {
        m_pFile = _wfsopen(m_szFile, WSTR("r+b"), _SH_DENYRW);
        if (m_pFile)
            status = AppendToTarget();
        else
            status = _wrename(m_szWorkFile, m_szFile) == 0 ? 0 : 1;
    }
    if (status == 0)
        m_szWorkFile[0] = 0;
    return status;
}
