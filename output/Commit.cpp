// output/Commit.cpp: the commit of a one-table export: the work file gets
// the FILE path as its name, replacing the file there or appending its
// records to it.
//
// Nothing is lost on the way: the work file is deleted only after every
// one of its bytes reached the target, and a failed rename or copy leaves
// it under its temporary name, where the user finds the records.
#include "OutputFiles.h"

#include "FileNames.h"

#include <new>

namespace
{

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

// Puts the work file in the target's place in one step, so that the old
// target stays whole until the new one stands there. A target that cannot
// be replaced (held by another program, read-only) stays as it was.
int OutputFiles::ReplaceTarget()
{
    // Only a work file that is really there may take the target's place.
    if (_waccess(m_szWorkFile, 0) != 0)
        return 1;
    return MoveFileExW(m_szWorkFile, m_options.m_szFile, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

// Appends the records of the work file, from m_nRecordsStart on, so that
// the target gets no second byte-order mark or headline. An append that
// fails is undone: the target, still held, is cut back to its old length.
int OutputFiles::AppendToTarget()
{
    FILE* pWork = OpenWorkFile(m_szWorkFile);
    if (!pWork) {
        fclose(m_pFile);
        m_pFile = nullptr;
        return 1;
    }
    // Unbuffered, every block goes straight to the file: once the target is
    // cut back, no buffered block is left to land behind its old end.
    setvbuf(m_pFile, nullptr, _IONBF, 0);
    int64_t nOldLength = -1;
    bool bOk = _fseeki64(m_pFile, 0, SEEK_END) == 0 && (nOldLength = _ftelli64(m_pFile)) >= 0 &&
               _fseeki64(pWork, m_nRecordsStart, SEEK_SET) == 0 && CopyRest(pWork, m_pFile);
    bOk = fflush(m_pFile) == 0 && bOk;
    if (!bOk && nOldLength >= 0)
        _chsize_s(_fileno(m_pFile), nOldLength);
    bOk = fclose(m_pFile) == 0 && bOk;
    m_pFile = nullptr;
    fclose(pWork);
    if (!bOk)
        return 1;
    _wremove(m_szWorkFile);
    return 0;
}

int OutputFiles::Commit()
{
    // A table left open by a missing EndTable is closed first, as EndTable
    // would have done, so that its records are committed too.
    if (!m_options.m_bSingle)
        EndTable();
    // A file of this export that could not be written in full fails the
    // export; a damaged work file is kept and takes no target's place.
    if (m_bWriteFailed)
        return 1;
    // Nothing to move: one file per record, several tables (each file has
    // its final name), no table, or a work file already committed.
    if (m_options.m_bSingle || m_nTables != 1 || m_szWorkFile[0] == 0)
        return 0;
    // A read-only target is neither replaced nor appended to. Windows
    // refuses both; an emulation running as the superuser may not, so the
    // filter does not leave it to the platform.
    if (_waccess(m_options.m_szFile, 2) != 0 && errno == EACCES)
        return 1;
    int status;
    if (m_options.m_bOverwrite) {
        status = ReplaceTarget();
    } else {
        m_pFile = _wfsopen(m_options.m_szFile, WSTR("r+b"), _SH_DENYRW);
        if (m_pFile)
            status = AppendToTarget();
        else
            status = _wrename(m_szWorkFile, m_options.m_szFile) == 0 ? 0 : 1;
    }
    if (status == 0)
        m_szWorkFile[0] = 0;
    return status;
}
