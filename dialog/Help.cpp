// dialog/Help.cpp: context help. The topic is 0x20000 plus the running
// dialog's template id, in main.chm, which the host installs beside its
// dialog.dll.
#include "Help.h"

#include "ItemDialog.h"

#include <string.h>

HMODULE g_hHelpModule = nullptr;
PfnHtmlHelpW g_pfnHtmlHelp = nullptr;
BOOL g_bHelpUnavailable = FALSE;

namespace
{

const int kTopicBase = 0x20000;
const UINT kHelpContext = 15; // HH_HELP_CONTEXT
const WORD kHtmlHelpOrdinal = 15;
const DWORD kModulePathUnits = 1024;
const DWORD kServerPathBytes = 260;
const char kServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

HMODULE LoadHelpControl()
{
    HMODULE hModule = nullptr;
    char szPath[kServerPathBytes];
    if (FindHtmlHelpServer(szPath))
        hModule = LoadLibraryA(szPath);
    // An unregistered control is still found by the library search.
    if (!hModule)
        hModule = LoadLibraryA("hhctrl.ocx");
    return hModule;
}

} // namespace

// Without dialog.dll in the process the platform names the executable, so
// the help file is then looked for beside the program.
void ShowDialogHelp(HWND hDlg)
{
    DWORD_PTR nTopic = static_cast<DWORD>(g_nHelpContext | kTopicBase);
    static const WCHAR kFileName[] = WSTR("\\main.chm");
    WCHAR szPath[kModulePathUnits + sizeof(kFileName) / sizeof(WCHAR)];
    DWORD nUnits = GetModuleFileNameW(GetModuleHandleW(WSTR("dialog.dll")), szPath, kModulePathUnits);
    if (nUnits == 0)
        return;
    szPath[nUnits < kModulePathUnits ? nUnits : kModulePathUnits - 1] = 0;
    WCHAR* pSlash = wcsrchr(szPath, WSTR('\\'));
    if (!pSlash)
        return;
    wcscpy(pSlash, kFileName);
    CallHtmlHelp(hDlg, szPath, kHelpContext, nTopic);
}

HWND CallHtmlHelp(HWND hOwner, const WCHAR* pszFile, UINT uCommand, DWORD_PTR dwData)
{
    if (!g_hHelpModule && !g_bHelpUnavailable) {
        g_hHelpModule = LoadHelpControl();
        if (!g_hHelpModule) {
            g_bHelpUnavailable = TRUE;
            return nullptr;
        }
    }
    if (!g_hHelpModule)
        return nullptr;
    if (!g_pfnHtmlHelp) {
        LPCSTR pszOrdinal = reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(kHtmlHelpOrdinal));
        g_pfnHtmlHelp = reinterpret_cast<PfnHtmlHelpW>(
            reinterpret_cast<void*>(GetProcAddress(g_hHelpModule, pszOrdinal)));
        if (!g_pfnHtmlHelp) {
            g_bHelpUnavailable = TRUE;
            return nullptr;
        }
    }
    return g_pfnHtmlHelp(hOwner, pszFile, uCommand, dwData);
}

// A value that does not fit 260 bytes, or whose expansion does not, counts
// as not registered.
BOOL FindHtmlHelpServer(char* pszPath)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kServerKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return FALSE;
    char szValue[kServerPathBytes] = {};
    DWORD dwType = REG_NONE;
    DWORD cbValue = sizeof(szValue);
    BOOL bFound = FALSE;
    if (RegQueryValueExA(hKey, nullptr, nullptr, &dwType, reinterpret_cast<BYTE*>(szValue), &cbValue) ==
        ERROR_SUCCESS) {
        szValue[kServerPathBytes - 1] = 0;
        if (dwType == REG_EXPAND_SZ) {
            DWORD nSize = ExpandEnvironmentStringsA(szValue, pszPath, kServerPathBytes);
            bFound = nSize >= 1 && nSize <= kServerPathBytes;
        } else {
            memcpy(pszPath, szValue, strlen(szValue) + 1);
            bFound = TRUE;
        }
    }
    RegCloseKey(hKey);
    return bFound;
}
