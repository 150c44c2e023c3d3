// host/HostPlatformPosix.cpp: the host's operating-system calls on Linux.
#include "HostPlatform.h"

#include <dlfcn.h>
#include <sys/ioctl.h>
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
        const char* pszError = dlerror();
        *pReason = pszError ? pszError : "unknown error";
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
