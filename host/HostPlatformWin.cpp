// host/HostPlatformWin.cpp: the host's operating-system calls on Windows,
// where WCHAR is wchar_t, so the host's own conversions serve for paths.
#include "HostPlatform.h"
#include "TextConvert.h"

#include <windows.h>

#include <io.h>

namespace host
{

namespace
{

const wchar_t kPluginFileName[] = L"ferlo.dll";

// The system's text for an error number, without its closing period and
// line end.
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
