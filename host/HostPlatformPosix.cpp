// host/HostPlatformPosix.cpp: the host's operating-system calls on Linux.
#include "HostPlatform.h"

#include "../platform/posix/Files.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host
{

namespace
{

const char kPluginFileName[] = "libferlo.so";

} // namespace

void* LoadLibraryFile(const std::string& path, std::string* pReason)
{
    // dlopen searches the library path for a bare name; a host loads the
    // file it was given.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* pLibrary = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!pLibrary) {
        // dlerror() names the file before its reason; the caller names it
        // already.
        const char* pszError = dlerror();
        *pReason = pszError ? pszError : "unknown error";
        if (pReason->compare(0, file.size() + 2, file + ": ") == 0)
            pReason->erase(0, file.size() + 2);
    }
    return pLibrary;
}

void* FindExport(void* pLibrary, const char* pszName)
{
    return dlsym(pLibrary, pszName);
}

std::string DefaultPluginPath()
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
        return kPluginFileName;
    std::string exe(buffer, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/') + 1) + kPluginFileName;
}

FILE* OpenForReading(const std::string& path)
{
    return fopen(path.c_str(), "rb");
}

bool HasDriveLetters()
{
    return false;
}

// As the platform layer names the filter's files: each backslash a "/",
// and "." and ".." resolved in the text.
std::string SystemPath(const std::string& filterPath)
{
    std::string path = filterPath;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    files::ResolveDots(&path[0]);
    path.resize(strlen(path.c_str()));
    return path;
}

int64_t FileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
}

bool SameFile(const std::string& path1, const std::string& path2)
{
    struct stat st1, st2;
    return stat(path1.c_str(), &st1) == 0 && stat(path2.c_str(), &st2) == 0 && st1.st_dev == st2.st_dev &&
           st1.st_ino == st2.st_ino;
}

// The platform layer takes a file nobody may write for read-only, and holds
// an open file with an exclusive lock.
int WhyNotWritable(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        if ((st.st_mode & 0222) == 0)
            return EACCES;
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            bool bHeld = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
            close(fd);
            if (bHeld)
                return kHeldByAnother;
        }
        return access(path.c_str(), W_OK) == 0 ? 0 : errno;
    }
    if (errno != ENOENT)
        return errno;
    // Only a try tells what the file system says to a new file; one that
    // can be made is removed at once.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    close(fd);
    unlink(path.c_str());
    return 0;
}

int WhyNoFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0777) != 0)
        return errno;
    rmdir(path.c_str());
    return 0;
}

// The name GetTempFileNameW gives on Linux for the prefix FERLO.
std::string WorkFileName(const std::string& folder, unsigned n)
{
    char szNumber[16];
    snprintf(szNumber, sizeof(szNumber), "%X", n);
    return folder + "\\FER" + szNumber + ".TMP";
}

bool IsTerminal(FILE* stream)
{
    return isatty(fileno(stream)) != 0;
}

// Linux has no window system for the filter's dialogs; its Configure would
// return at once as if cancelled.
const char* SettingsDialogUnavailable()
{
    return "--configure shows the settings dialog, which needs the Windows build: run it under Wine, "
           "as in wine build/win32/ferlo-export.exe --configure";
}

int TerminalColumns(FILE* stream)
{
    struct winsize size = {};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace host
