// platform/posix/Streams.cpp: the C runtime's wide stream and file-name
// functions on Linux: shared opens, renames that never replace, replacing
// moves, deletes, 64-bit positions and the names of temporary files.
//
// Windows keeps another program from using a file that was opened with
// sharing denied. Linux has no such mode; here an opener takes an exclusive
// lock (flock) on the file before anything else, and every open, rename and
// delete of these functions respects that lock. The locks are advisory:
// programs that do not use these functions are not stopped.
//
// Two exports may work in one directory at once, so an open and a move of
// the same name must not interleave: an opener locks what it opened and
// then checks that the name still leads to it, and truncates only then; a
// rename, move or delete first holds the lock of the file it moves. A file
// is therefore never truncated after another export moved it to its final
// name, and never moved while another export writes it.
#include "Files.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdio_ext.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// How often an open tries again when the name it opened was moved away
// before the lock was held.
const int kOpenAttempts = 8;

void (*g_pfnStepHook)(const char* pszStep) = nullptr;

void Step(const char* pszStep)
{
    if (g_pfnStepHook)
        g_pfnStepHook(pszStep);
}

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
const char* StdioMode(int flags)
{
    if (flags & O_APPEND)
        return (flags & O_ACCMODE) == O_RDWR ? "a+" : "a";
    switch (flags & O_ACCMODE) {
    case O_RDWR:
        return "r+";
    case O_WRONLY:
        return "w";
    default:
        return "r";
    }
}

int Fail(int nError)
{
    errno = files::WindowsErrno(nError);
    return -1;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens szNative with flags and takes the lock that the share flag asks
// for: exclusive when sharing is denied, else shared, so that an exclusive
// holder keeps everyone out. Returns the descriptor once the lock is held
// and the name still leads to the file opened; when another export moved
// that file away in between, the open is made again on what the name holds
// now. -1 with Linux's errno on failure; a file held by another is EACCES.
// A write open of a read-only file fails as on Windows, even for the
// superuser.
int OpenHeld(const char* szNative, int flags, int shflag, mode_t mode = 0666)
{
    int lock = shflag == _SH_DENYRW ? LOCK_EX : LOCK_SH;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        int fd = open(szNative, flags | O_CLOEXEC, mode);
        if (fd < 0)
            return -1;
        Step("opened");
        if (flock(fd, lock | LOCK_NB) != 0) {
            close(fd);
            errno = EACCES;
            return -1;
        }
        struct stat held, named;
        if (fstat(fd, &held) == 0 && stat(szNative, &named) == 0 && SameFile(held, named)) {
            bool bWrite = (flags & O_ACCMODE) != O_RDONLY;
            if (bWrite && !(flags & O_EXCL) && files::IsReadOnly(held)) {
                close(fd);
                errno = EACCES;
                return -1;
            }
            return fd;
        }
        close(fd);
        if (flags & O_EXCL)
            break;
    }
    errno = EACCES;
    return -1;
}

// Holds the file a rename, move or delete is about to act on: the name
// itself is moved, so a symbolic link there is refused (ELOOP) rather than
// followed to a file that stays where it is.
int HoldForMove(const char* szNative)
{
    return OpenHeld(szNative, O_RDONLY | O_NOFOLLOW | O_NONBLOCK, _SH_DENYRW);
}

// A stream over fd, or null with fd still open. A stream is used by one
// thread at a time, as each filter is, so stdio need not lock it on every
// write.
FILE* StreamOver(int fd, const char* mode)
{
    FILE* stream = fdopen(fd, mode);
    if (stream)
        __fsetlocking(stream, FSETLOCKING_BYCALLER);
    return stream;
}

int ToWindowsError(int nError)
{
    switch (nError) {
    case ENOENT:
    case ENOTDIR:
        return ERROR_FILE_NOT_FOUND;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case EACCES:
        return ERROR_SHARING_VIOLATION;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

// Renames szOld, which the caller holds, to szNew without replacing a file.
int RenameHeld(const char* szOld, const char* szNew)
{
    if (renameat2(AT_FDCWD, szOld, AT_FDCWD, szNew, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // File systems without the no-replace rename: a new link fails when the
    // name is taken, and only then is the old name removed.
    if (link(szOld, szNew) != 0)
        return -1;
    unlink(szOld);
    return 0;
}

} // namespace

namespace files
{

bool IsReadOnly(const struct stat& st)
{
    return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

void SetStepHook(void (*pfnHook)(const char* pszStep))
{
    g_pfnStepHook = pfnHook;
}

} // namespace files

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
    int fd = OpenHeld(szNative, flags, shflag);
    if (fd < 0) {
        Fail(errno == EISDIR ? EACCES : errno);
        return nullptr;
    }
    if (bTruncate && ftruncate(fd, 0) != 0) {
        close(fd);
        errno = EACCES;
        return nullptr;
    }
    FILE* stream = StreamOver(fd, StdioMode(flags));
    if (!stream)
        close(fd);
    return stream;
}

// _wsopen: opens a file as a descriptor, with _O_ flags, a share flag as
// _wfsopen's and, for a new file, _S_IWRITE to make it writable. It never
// opens through a symbolic link: a link at the name is refused with EACCES,
// also where _O_EXCL would report the name as taken, because a link there
// was planted by someone else. Windows follows links here; creating one
// there takes a privilege that ordinary users lack.
int _wsopen(const WCHAR* filename, int oflag, int shflag, int pmode)
{
    char szNative[files::kNativePathBytes];
    int nError = files::ToNativePath(filename, szNative);
    if (nError != 0)
        return Fail(nError);
    static const int kAccess[] = {O_RDONLY, O_WRONLY, O_RDWR, O_RDWR};
    int flags = kAccess[oflag & 3] | O_NOFOLLOW;
    if (oflag & _O_CREAT)
        flags |= O_CREAT;
    if (oflag & _O_EXCL)
        flags |= O_EXCL;
    mode_t mode = (pmode & _S_IWRITE) ? 0666 : 0444;
    int fd = OpenHeld(szNative, flags, shflag, mode);
    if (fd < 0) {
        nError = errno;
        struct stat st;
        if (nError == ELOOP || (nError == EEXIST && lstat(szNative, &st) == 0 && S_ISLNK(st.st_mode)))
            nError = EACCES;
        return Fail(nError == EISDIR ? EACCES : nError);
    }
    if ((oflag & _O_TRUNC) && ftruncate(fd, 0) != 0) {
        close(fd);
        return Fail(EACCES);
    }
    return fd;
}

// _wfdopen: a stream over a descriptor of _wsopen, which the stream owns
// from then on; on failure the descriptor stays open.
FILE* _wfdopen(int fd, const WCHAR* mode)
{
    char szMode[4];
    size_t n = 0;
    for (; mode && *mode && n + 1 < sizeof szMode; ++mode)
        if (*mode == WSTR('r') || *mode == WSTR('w') || *mode == WSTR('a') || *mode == WSTR('+'))
            szMode[n++] = static_cast<char>(*mode);
    szMode[n] = 0;
    if (n == 0) {
        errno = EINVAL;
        return nullptr;
    }
    return StreamOver(fd, szMode);
}

int _fileno(FILE* stream)
{
    return fileno(stream);
}

int _close(int fd)
{
    return close(fd);
}

// _chsize_s: sets the length of an open file; 0, or the error number.
errno_t _chsize_s(int fd, int64_t size)
{
    if (size < 0)
        return EINVAL;
    return ftruncate(fd, static_cast<off_t>(size)) == 0 ? 0 : files::WindowsErrno(errno);
}

// _wrename: renames a file; never replaces one. A file of the new name
// makes it fail with EEXIST, and a file held by an opener that denies
// sharing with EACCES, as on Windows. Only a file it can hold is renamed:
// a symbolic link is refused (ENOENT, as Windows reports a link it cannot
// use).
int _wrename(const WCHAR* oldname, const WCHAR* newname)
{
    char szOld[files::kNativePathBytes];
    char szNew[files::kNativePathBytes];
    int nError = files::ToNativePath(oldname, szOld);
    if (nError == 0)
        nError = files::ToNativePath(newname, szNew);
    if (nError != 0)
        return Fail(nError);
    int fd = HoldForMove(szOld);
    if (fd < 0)
        return Fail(errno);
    Step("held");
    int result = RenameHeld(szOld, szNew) == 0 ? 0 : Fail(errno);
    close(fd);
    return result;
}

// MoveFileExW: renames a file, replacing the file of the new name when
// MOVEFILE_REPLACE_EXISTING asks for it, in one step: the replaced file is
// never gone before the new one stands in its place. As on Windows, a
// target held with sharing denied (ERROR_SHARING_VIOLATION), a read-only
// target or a directory (ERROR_ACCESS_DENIED) is not replaced. A symbolic
// link of the new name is replaced itself, not the file it leads to.
BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags)
{
    char szOld[files::kNativePathBytes];
    char szNew[files::kNativePathBytes];
    int nError = files::ToNativePath(lpExistingFileName, szOld);
    if (nError == 0)
        nError = files::ToNativePath(lpNewFileName, szNew);
    if (nError != 0) {
        SetLastError(nError == ENAMETOOLONG ? ERROR_FILENAME_EXCED_RANGE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int fdOld = HoldForMove(szOld);
    if (fdOld < 0) {
        SetLastError(ToWindowsError(errno));
        return FALSE;
    }
    Step("held");
    DWORD dwError = ERROR_SUCCESS;
    int fdNew = -1;
    if (!(dwFlags & MOVEFILE_REPLACE_EXISTING)) {
        if (RenameHeld(szOld, szNew) != 0)
            dwError = ToWindowsError(errno);
    } else if ((fdNew = HoldForMove(szNew)) < 0 && errno != ENOENT && errno != ELOOP) {
        dwError = ToWindowsError(errno);
    } else {
        struct stat st;
        if (fdNew >= 0 && fstat(fdNew, &st) == 0 && (files::IsReadOnly(st) || S_ISDIR(st.st_mode)))
            dwError = ERROR_ACCESS_DENIED;
        else if (rename(szOld, szNew) != 0)
            dwError = ToWindowsError(errno);
    }
    if (fdNew >= 0)
        close(fdNew);
    close(fdOld);
    SetLastError(dwError);
    return dwError == ERROR_SUCCESS;
}

// _wremove: deletes a file. A file held by an opener that denies sharing
// stays, with EACCES, as on Windows, and so does a read-only file, also for
// the superuser. A symbolic link is deleted itself.
int _wremove(const WCHAR* path)
{
    char szNative[files::kNativePathBytes];
    int nError = files::ToNativePath(path, szNative);
    if (nError != 0)
        return Fail(nError);
    int fd = HoldForMove(szNative);
    if (fd < 0)
        return errno == ELOOP && unlink(szNative) == 0 ? 0 : Fail(errno);
    Step("held");
    struct stat st;
    int result = fstat(fd, &st) == 0 && files::IsReadOnly(st) ? Fail(EACCES)
                 : unlink(szNative) == 0                      ? 0
                                                              : Fail(errno);
    close(fd);
    return result;
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
