// platform/posix/Win32.h: the Win32 and C-runtime subset the product calls,
// declared for Linux.
//
// Each function behaves as its Windows namesake for the arguments the
// product passes; the comment at its definition says what it emulates and
// where it differs. Wide texts are char16_t (UTF-16), never the 32-bit
// wchar_t of Linux, so the C library's wide functions get char16_t
// overloads here under their usual names.
#pragma once

#include <errno.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t LONG;
typedef uint32_t LCID;
typedef uint32_t LCTYPE;
typedef void* LPVOID;
typedef void* HANDLE;
typedef struct FerloModule* HMODULE;
typedef HMODULE HINSTANCE;

#define TRUE 1
#define FALSE 0
#define WINAPI
#define APIENTRY

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SLIST 0x000C

#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INVALID_FLAGS 1004

// Process-wide last error, per thread as on Windows.
DWORD GetLastError();
void SetLastError(DWORD dwError);

// The system code page (platform/posix/CodePage.cpp) and the locale
// (platform/posix/Locale.cpp).
UINT GetACP();
int GetLocaleInfoW(LCID Locale, LCTYPE LCType, LPWSTR lpLCData, int cchData);

// Wide texts (platform/posix/WideString.cpp).
int lstrlenW(LPCWSTR lpString);
size_t wcslen(const WCHAR* s);
int wcscmp(const WCHAR* a, const WCHAR* b);
WCHAR* wcscpy(WCHAR* dst, const WCHAR* src);
const WCHAR* wcschr(const WCHAR* s, WCHAR c);
WCHAR* wcschr(WCHAR* s, WCHAR c);
const WCHAR* wcsrchr(const WCHAR* s, WCHAR c);
WCHAR* wcsrchr(WCHAR* s, WCHAR c);
const WCHAR* wcsstr(const WCHAR* s, const WCHAR* find);
WCHAR* wcsstr(WCHAR* s, const WCHAR* find);
WCHAR* _wcsupr(WCHAR* s);
WCHAR* _wcslwr(WCHAR* s);

// Modules and resources (platform/posix/Module.cpp).
typedef struct FerloResource* HRSRC;
#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))
#define RT_VERSION MAKEINTRESOURCEW(16)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_STRING MAKEINTRESOURCEW(6)
HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);

// Windows (platform/posix/Module.cpp).
typedef struct FerloWindow* HWND;
#define MB_OK 0x00000000
#define MB_ICONERROR 0x00000010
#define IDOK 1
int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);

// Files and directories (platform/posix/Files.cpp).
int _waccess(const WCHAR* path, int mode);
int _wmkdir(const WCHAR* dirname);

// Streams, renames, deletes and temporary names (platform/posix/Streams.cpp).
#define _SH_DENYRW 0x10
#define _SH_DENYNO 0x40
#define ERROR_BUFFER_OVERFLOW 111
#define _O_RDONLY 0x0000
#define _O_WRONLY 0x0001
#define _O_RDWR 0x0002
#define _O_CREAT 0x0100
#define _O_TRUNC 0x0200
#define _O_EXCL 0x0400
#define _O_BINARY 0x8000
#define _S_IREAD 0x0100
#define _S_IWRITE 0x0080
#define MOVEFILE_REPLACE_EXISTING 0x1
#define ERROR_ALREADY_EXISTS 183
#define ERROR_SHARING_VIOLATION 32
typedef int errno_t;
FILE* _wfsopen(const WCHAR* filename, const WCHAR* mode, int shflag);
int _wsopen(const WCHAR* filename, int oflag, int shflag, int pmode);
FILE* _wfdopen(int fd, const WCHAR* mode);
int _fileno(FILE* stream);
int _close(int fd);
errno_t _chsize_s(int fd, int64_t size);
int _wrename(const WCHAR* oldname, const WCHAR* newname);
BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags);
int _wremove(const WCHAR* path);
int _fseeki64(FILE* stream, int64_t offset, int origin);
int64_t _ftelli64(FILE* stream);
UINT GetTempFileNameW(LPCWSTR lpPathName, LPCWSTR lpPrefixString, UINT uUnique, LPWSTR lpTempFileName);

// _fwrite_nolock: fwrite for a stream that one thread uses at a time, as
// each filter's are, without the stream's lock.
inline size_t _fwrite_nolock(const void* buffer, size_t size, size_t count, FILE* stream)
{
    return fwrite_unlocked(buffer, size, count, stream);
}

// Numbers in wide texts and comparison without regard to case
// (platform/posix/WideString.cpp). LONG: Windows' long has 32 bits.
LONG _wtol(const WCHAR* str);
int _wcsicmp(const WCHAR* a, const WCHAR* b);

// The registry of the current user (platform/posix/Registry.cpp).
typedef struct FerloRegistryKey* HKEY;
typedef HKEY* PHKEY;
typedef LONG LSTATUS;
typedef DWORD REGSAM;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define REG_OPTION_NON_VOLATILE 0x00000000
#define KEY_READ 0x00020019
#define KEY_WRITE 0x00020006
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2
#define REG_NONE 0
#define REG_SZ 1
#define REG_BINARY 3
#define REG_DWORD 4

#define ERROR_SUCCESS 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_OUTOFMEMORY 14
#define ERROR_BAD_PATHNAME 161
#define ERROR_FILENAME_EXCED_RANGE 206
#define ERROR_MORE_DATA 234
#define ERROR_NOACCESS 998
#define ERROR_KEY_DELETED 1018

LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                        REGSAM samDesired, const LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                        LPDWORD lpdwDisposition);
LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData);
LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                       DWORD cbData);
LSTATUS RegCloseKey(HKEY hKey);

// Code pages and conversions (platform/posix/CodePage.cpp). GetACP is
// declared above with the locale.
typedef char CHAR;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef BOOL* LPBOOL;

#define CP_ACP 0
#define CP_THREAD_ACP 3
#define CP_UTF8 65001

#define MAX_LEADBYTES 12
#define MAX_DEFAULTCHAR 2
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

typedef struct _cpinfoexW {
    UINT MaxCharSize;
    BYTE DefaultChar[MAX_DEFAULTCHAR];
    BYTE LeadByte[MAX_LEADBYTES];
    WCHAR UnicodeDefaultChar;
    UINT CodePage;
    WCHAR CodePageName[MAX_PATH];
} CPINFOEXW, *LPCPINFOEXW;

BOOL IsValidCodePage(UINT CodePage);
BOOL GetCPInfoExW(UINT CodePage, DWORD dwFlags, LPCPINFOEXW lpCPInfoEx);
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar);

// Module handles, names and libraries (platform/posix/Module.cpp).
typedef intptr_t INT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t DWORD_PTR;
typedef INT_PTR (*FARPROC)();
HMODULE GetModuleHandleW(LPCWSTR lpModuleName);
DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);
HMODULE LoadLibraryA(LPCSTR lpLibFileName);
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);
DWORD ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize);

// The registry's 8-bit calls and the classes root (platform/posix/Registry.cpp).
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define REG_EXPAND_SZ 2
LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData);

// Dialogs, controls, drawing and the open-file dialog
// (platform/posix/Dialog.cpp).
#define CALLBACK
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef DWORD COLORREF;
typedef struct FerloDeviceContext* HDC;
typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xffff))
#define IDCANCEL 2
#define DWLP_USER (2 * static_cast<int>(sizeof(LRESULT)))
#define WM_DRAWITEM 0x002B
#define WM_HELP 0x0053
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define EN_KILLFOCUS 0x0200
#define CB_ADDSTRING 0x0143
#define CB_GETCURSEL 0x0147
#define CB_RESETCONTENT 0x014B
#define CB_SELECTSTRING 0x014D
#define CB_SETCURSEL 0x014E
#define CB_SETITEMDATA 0x0151
#define ODS_SELECTED 0x0001
#define ODS_GRAYED 0x0002
#define ODS_DISABLED 0x0004
#define ODS_FOCUS 0x0010
#define COLOR_INACTIVECAPTION 3
#define COLOR_WINDOWTEXT 8
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_INACTIVECAPTIONTEXT 19
#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004
#define CLR_INVALID 0xFFFFFFFF
#define OFN_HIDEREADONLY 0x00000004
#define OFN_PATHMUSTEXIST 0x00000800

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;

typedef struct tagDRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    DWORD_PTR itemData;
} DRAWITEMSTRUCT;

typedef struct tagTEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
} TEXTMETRICW;

typedef struct tagOFNW {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCWSTR lpstrFilter;
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPWSTR lpstrFile;
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCWSTR lpstrDefExt;
    LPARAM lCustData;
    void* lpfnHook;
    LPCWSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
} OPENFILENAMEW;

INT_PTR DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam);
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex);
LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString);
UINT GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax);
LRESULT SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);
DWORD GetSysColor(int nIndex);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF SetBkColor(HDC hdc, COLORREF color);
BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* lptm);
LONG GetDialogBaseUnits();
BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString, UINT c,
                 const int* lpDx);
BOOL DrawFocusRect(HDC hDC, const RECT* lprc);
BOOL GetOpenFileNameW(OPENFILENAMEW* lpofn);
