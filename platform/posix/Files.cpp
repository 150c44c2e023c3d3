// platform/posix/Files.cpp: the C runtime's wide file functions on Linux,
// over the Linux name of the Windows path the product passes.
#include "Files.h"

#include "../Utf8.h"

#include <sys/stat.h>
#include <unistd.h>

namespace files
{

// Each part between backslashes is converted as code page 65001 converts
// it, except that a surrogate without its partner keeps its own value.
int ToNativePath(const WCHAR* pszPath, char (&szNative)[kNativePathBytes])
{
    if (!pszPath)
        return EINVAL;
    size_t n = 0;
    for (const WCHAR* p = pszPath;;) {
        size_t k = 0;
        while (p[k] != 0 && p[k] != WSTR('\\'))
            ++k;
        // The room left keeps one byte for the terminator.
        size_t cb = EncodeUtf8(p, k, szNative + n, kNativePathBytes - 1 - n, LoneSurrogate::Keep);
        if (cb == kUtf8Overflow)
            return ENAMETOOLONG;
        n += cb;
        if (p[k] == 0)
            break;
        if (n + 1 >= kNativePathBytes)
            return ENAMETOOLONG;
        szNative[n++] = '/';
        p += k + 1;
    }
    szNative[n] = 0;
    ResolveDots(szNative);
    return 0;
}

int WindowsErrno(int nError)
{
    switch (nError) {
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return ENOENT;
    case EPERM:
    case EROFS:
        return EACCES;
    default:
        return nError;
    }
}

} // namespace files

// _waccess: whether the file or directory exists (mode 0), may be read (4),
// written (2) or both (6); 0 if so, else -1 with errno. Any other mode is
// EINVAL, as in the Windows runtime. Windows answers the modes from the
// read-only attribute alone; here a file that nobody may write is read-only
// for everyone, the superuser included, and otherwise the file's
// permissions decide.
int _waccess(const WCHAR* path, int mode)
{
    char szNative[files::kNativePathBytes];
    int nError = (mode & ~6) ? EINVAL : files::ToNativePath(path, szNative);
    if (nError == 0) {
        int nMode = (mode & 4 ? R_OK : 0) | (mode & 2 ? W_OK : 0);
        struct stat st;
        if ((mode & 2) && stat(szNative, &st) == 0 && files::IsReadOnly(st))
            nError = EACCES;
        else if (access(szNative, nMode ? nMode : F_OK) == 0)
            return 0;
        else
            nError = errno;
    }
    errno = files::WindowsErrno(nError);
    return -1;
}

// _wmkdir: creates one directory, whose parent must exist; 0, else -1 with
// errno (EEXIST when the name is taken, ENOENT when the parent is missing).
// Windows gives the directory the inherited access rights; here it gets the
// process's default permissions (0777 less the umask).
int _wmkdir(const WCHAR* dirname)
{
    char szNative[files::kNativePathBytes];
    int nError = files::ToNativePath(dirname, szNative);
    if (nError == 0) {
        if (mkdir(szNative, 0777) == 0)
            return 0;
        nError = errno;
    }
    errno = files::WindowsErrno(nError);
    return -1;
}
