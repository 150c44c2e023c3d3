// platform/posix/Streams.cpp: the C runtime's wide stream and file-name
// functions on Linux: shared opens, renames that never replace, deletes,
// 64-bit positions and the names of temporary files.
//
// Windows keeps another program from using a file that was opened with
// sharing denied. Linux has no such mode; here an opener takes an exclusive
// lock (flock) on the file before anything else, and every open, rename and
// delete of these functions respects that lock. The locks are advisory:
// programs that do not use these functions are not stopped.
#include "Files.h"

#include <fcntl.h>
#include <new>
#include <stdio.h>
#include <stdio_ext.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const size_t kStreamBufferBytes = 1 << 16;

// The open flags of a C runtime mode ("w+b", "rb", "r+b", ...), without the
// truncation of "w", which waits until the lock is held.
bool OpenFlags(const WCHAR* mode, int* pFlags, bool* pTruncate)
{
    if (!mode)
        return false;
    bool bPlus = false;
    for (const WCHAR* p = mode + 1; *p; ++p)
        bPlus = bPlus || *p == WSTR('+');
    int access = bPlus ? O_RDWR : 0;
    *pTruncate = false;
    switch (mode[0]) {
    case WSTR('r'):
        *pFlags = bPlus ? access : O_RDONLY;
        return true;
    case WSTR('w'):
        *pFlags = (bPlus ? access : O_WRONLY) | O_CREAT;
        *pTruncate = true;
        return true;
    case WSTR('a'):
        *pFlags = (bPlus ? access : O_WRONLY) | O_CREAT | O_APPEND;
        return true;
    default:
        return false;
    }
}

// The stdio mode for a descriptor already opened (and truncated) by flags.
const char* StdioMode(const WCHAR* mode, int flags)
{
    if (flags & O_APPEND)
        return (flags & O_RDWR) ? "a+" : "a";
    if (flags & O_RDWR)
        return "r+";
    return mode[0] == WSTR('r') ? "r" : "w";
}

// True when another opener holds the file with sharing denied.
bool IsHeldByAnother(const char* szNative)
{
    int fd = open(szNative, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool bHeld = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return bHeld;
}

int Fail(int nError)
{
    errno = files::WindowsErrno(nError);
    return -1;
}

// A stream over a descriptor with a buffer of its own. The C library gives a
// file stream a buffer of at most 8 KiB whatever setvbuf asks for unless the
// caller supplies the memory, and nothing frees supplied memory when the
// stream closes; a stream made with fopencookie frees its buffer in its
// close function. An export then writes 64 KiB per system call.
struct OwnStream {
    int fd;
    char buffer[kStreamBufferBytes];
};

ssize_t OwnRead(void* cookie, char* buf, size_t size)
{
    ssize_t n;
    do
        n = read(static_cast<OwnStream*>(cookie)->fd, buf, size);
    while (n < 0 && errno == EINTR);
    return n;
}

// Writes everything or reports how much was written; the C library marks
// the stream failed when that is less than it asked.
ssize_t OwnWrite(void* cookie, const char* buf, size_t size)
{
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(static_cast<OwnStream*>(cookie)->fd, buf + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

int OwnSeek(void* cookie, off64_t* offset, int whence)
{
    off64_t at = lseek64(static_cast<OwnStream*>(cookie)->fd, *offset, whence);
    if (at < 0)
        return -1;
    *offset = at;
    return 0;
}

int OwnClose(void* cookie)
{
    auto* stream = static_cast<OwnStream*>(cookie);
    int result = close(stream->fd);
    delete stream;
    return result;
}

// The stream over fd, which it owns from here on, or null with fd closed.
FILE* OpenOwnStream(int fd, const char* mode)
{
    auto* own = new (std::nothrow) OwnStream;
    if (!own) {
        close(fd);
        errno = ENOMEM;
        return nullptr;
    }
    own->fd = fd;
    FILE* stream = fopencookie(own, mode, cookie_io_functions_t{OwnRead, OwnWrite, OwnSeek, OwnClose});
    if (!stream) {
        close(fd);
        delete own;
        return nullptr;
    }
    setvbuf(stream, own->buffer, _IOFBF, sizeof own->buffer);
    return stream;
}

} // namespace

// _wfsopen: opens a stream with a C runtime mode and a share flag. With
// sharing denied (0x10) the open fails with EACCES, before the file is
// truncated, when another opener holds the file; any open fails while a
// holder denies sharing. Windows also lets a share flag deny only reading
// or only writing; here every other flag shares fully.
FILE* _wfsopen(const WCHAR* filename, const WCHAR* mode, int shflag)
{
    char szNative[files::kNativePathBytes];
    int flags = 0;
    bool bTruncate = false;
    if (!OpenFlags(mode, &flags, &bTruncate)) {
        errno = EINVAL;
        return nullptr;
    }
    int nError = files::ToNativePath(filename, szNative);
    if (nError != 0) {
        Fail(nError);
        return nullptr;
    }
    int fd = open(szNative, flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        Fail(errno == EISDIR ? EACCES : errno);
        return nullptr;
    }
    int lock = shflag == _SH_DENYRW ? LOCK_EX : LOCK_SH;
    if (flock(fd, lock | LOCK_NB) != 0 || (bTruncate && ftruncate(fd, 0) != 0)) {
        close(fd);
        errno = EACCES;
        return nullptr;
    }
    FILE* stream = OpenOwnStream(fd, StdioMode(mode, flags));
    if (!stream)
        return nullptr;
    // A stream is used by one thread at a time, as each filter is, so stdio
    // need not lock it on every write.
    __fsetlocking(stream, FSETLOCKING_BYCALLER);
    return stream;
}

// _wrename: renames a file; never replaces one. A file of the new name
// makes it fail with EEXIST, as does a file held by an opener that denies
// sharing (EACCES), as on Windows.
int _wrename(const WCHAR* oldname, const WCHAR* newname)
{
    char szOld[files::kNativePathBytes];
    char szNew[files::kNativePathBytes];
    int nError = files::ToNativePath(oldname, szOld);
    if (nError == 0)
        nError = files::ToNativePath(newname, szNew);
    if (nError != 0)
        return Fail(nError);
    if (IsHeldByAnother(szOld))
        return Fail(EACCES);
    if (renameat2(AT_FDCWD, szOld, AT_FDCWD, szNew, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return Fail(errno);
    // File systems without the no-replace rename: a new link fails when the
    // name is taken, and only then is the old name removed.
    if (link(szOld, szNew) != 0)
        return Fail(errno);
    unlink(szOld);
    return 0;
}

// _wremove: deletes a file; a file held by an opener that denies sharing
// stays, with EACCES, as on Windows.
int _wremove(const WCHAR* path)
{
    char szNative[files::kNativePathBytes];
    int nError = files::ToNativePath(path, szNative);
    if (nError != 0)
        return Fail(nError);
    if (IsHeldByAnother(szNative))
        return Fail(EACCES);
    return unlink(szNative) == 0 ? 0 : Fail(errno);
}

int _fseeki64(FILE* stream, int64_t offset, int origin)
{
    return fseeko(stream, static_cast<off_t>(offset), origin);
}

int64_t _ftelli64(FILE* stream)
{
    return static_cast<int64_t>(ftello(stream));
}

// GetTempFileNameW with a unique number: the name is the directory, a
// backslash unless it ends in one, the first three units of the prefix,
// the number in upper-case hexadecimal and ".TMP". Like Windows, it
// neither creates nor tests the file. It fails (0) for a null directory or
// a name past 260 units, the limit of the Windows call. Windows would
// choose a number itself for 0; the product never passes 0.
UINT GetTempFileNameW(LPCWSTR lpPathName, LPCWSTR lpPrefixString, UINT uUnique, LPWSTR lpTempFileName)
{
    const size_t kMaxPath = 260;
    if (!lpPathName || !lpTempFileName || uUnique == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WCHAR szName[kMaxPath];
    size_t n = wcslen(lpPathName);
    if (n + 1 + 3 + 8 + 4 + 1 > kMaxPath) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return 0;
    }
    memcpy(szName, lpPathName, n * sizeof(WCHAR));
    if (n == 0 || szName[n - 1] != WSTR('\\'))
        szName[n++] = WSTR('\\');
    for (size_t i = 0; i < 3 && lpPrefixString && lpPrefixString[i]; ++i)
        szName[n++] = lpPrefixString[i];
    char szHex[9];
    snprintf(szHex, sizeof szHex, "%X", uUnique);
    for (const char* p = szHex; *p; ++p)
        szName[n++] = static_cast<WCHAR>(*p);
    for (const char* p = ".TMP"; *p; ++p)
        szName[n++] = static_cast<WCHAR>(*p);
    szName[n] = 0;
    memcpy(lpTempFileName, szName, (n + 1) * sizeof(WCHAR));
    return uUnique;
}
