// host/HostPlatformWin.cpp: the host's operating-system calls on Windows,
// where WCHAR is wchar_t, so the host's own conversions serve for paths.
#include "HostPlatform.h"
#include "TextConvert.h"

#include <windows.h>

#include <direct.h>
#include <errno.h>
#include <io.h>

namespace host
{

namespace
{

const wchar_t kPluginFileName[] = L"ferlo.dll";

// The system's text for an error number, without its closing period and
// line end. Some texts name the file as an insert ("%1 is not a valid
// application"); the caller names it already, so the insert says "the file".
std::string SystemMessage(DWORD dwError)
{
    wchar_t* pszMessage = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, dwError, 0, reinterpret_cast<wchar_t*>(&pszMessage), 0, nullptr);
    if (n == 0)
        return "error " + std::to_string(dwError);
    while (n > 0 && (pszMessage[n - 1] == L'\r' || pszMessage[n - 1] == L'\n' || pszMessage[n - 1] == L'.' ||
                     pszMessage[n - 1] == L' '))
        --n;
    std::string message = Narrow(std::wstring(pszMessage, n));
    LocalFree(pszMessage);
    for (size_t at = message.find("%1"); at != std::string::npos; at = message.find("%1", at))
        message.replace(at, 2, "the file");
    return message;
}

} // namespace

void* LoadLibraryFile(const std::string& path, std::string* pReason)
{
    // LoadLibrary searches several folders for a relative name; a host
    // loads the file it was given, so the name is made absolute first.
    std::wstring wide = Widen(path);
    wchar_t full[MAX_PATH * 4];
    DWORD n = GetFullPathNameW(wide.c_str(), MAX_PATH * 4, full, nullptr);
    if (n > 0 && n < MAX_PATH * 4)
        wide = full;
    HMODULE hModule = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!hModule)
        *pReason = SystemMessage(GetLastError());
    return reinterpret_cast<void*>(hModule);
}

void* FindExport(void* pLibrary, const char* pszName)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(pLibrary), pszName));
}

std::string DefaultPluginPath()
{
    wchar_t exe[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH * 4);
    std::wstring path(exe, n);
    size_t slash = path.find_last_of(L"\\/");
    path = (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + kPluginFileName;
    return Narrow(path);
}

FILE* OpenForReading(const std::string& path)
{
    return _wfopen(Widen(path).c_str(), L"rb");
}

bool HasDriveLetters()
{
    return true;
}

std::string SystemPath(const std::string& filterPath)
{
    return filterPath;
}

int64_t FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

namespace
{

// The volume and index that tell a file apart, from a handle that asks
// for no access and shares everything, so that an open file is reached too.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* pInfo)
{
    HANDLE hFile = CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    BOOL bOk = GetFileInformationByHandle(hFile, pInfo);
    CloseHandle(hFile);
    return bOk != FALSE;
}

} // namespace

bool SameFile(const std::string& path1, const std::string& path2)
{
    BY_HANDLE_FILE_INFORMATION info1, info2;
    return FileIdentity(path1, &info1) && FileIdentity(path2, &info2) &&
           info1.dwVolumeSerialNumber == info2.dwVolumeSerialNumber &&
           info1.nFileIndexHigh == info2.nFileIndexHigh && info1.nFileIndexLow == info2.nFileIndexLow;
}

int WhyNotWritable(const std::string& path)
{
    std::wstring wide = Widen(path);
    DWORD dwAttributes = GetFileAttributesW(wide.c_str());
    if (dwAttributes != INVALID_FILE_ATTRIBUTES) {
        if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return EISDIR;
        if (dwAttributes & FILE_ATTRIBUTE_READONLY)
            return EACCES;
        // The filter opens its files sharing nothing, so even a reader that
        // shares everything is refused while it writes.
        HANDLE hFile =
            CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (hFile == INVALID_HANDLE_VALUE)
            return GetLastError() == ERROR_SHARING_VIOLATION ? kHeldByAnother : EACCES;
        CloseHandle(hFile);
        return 0;
    }
    HANDLE hFile =
        CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(hFile);
        return 0;
    }
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
        return EINVAL;
    default:
        return ENOENT;
    }
}

int WhyNoFolder(const std::string& path)
{
    std::wstring wide = Widen(path);
    if (_wmkdir(wide.c_str()) != 0)
        return errno;
    _wrmdir(wide.c_str());
    return 0;
}

// The system's own name for the filter's call, which neither makes nor
// tests the file.
std::string WorkFileName(const std::string& folder, unsigned n)
{
    wchar_t szName[MAX_PATH];
    if (GetTempFileNameW(Widen(folder).c_str(), L"FERLO", n, szName) == 0)
        return folder + "\\FER" + std::to_string(n) + ".TMP";
    return Narrow(szName);
}

bool IsTerminal(FILE* stream)
{
    return _isatty(_fileno(stream)) != 0;
}

const char* SettingsDialogUnavailable()
{
    return nullptr;
}

int TerminalColumns(FILE* stream)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    HANDLE hConsole = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (GetConsoleScreenBufferInfo(hConsole, &info))
        return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
}

} // namespace host
