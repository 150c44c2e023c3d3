// platform/posix/Dialog.cpp: dialogs, controls, drawing and the open-file
// dialog on Linux, where there is no window system.
//
// No dialog can be made, so DialogBoxParamW fails as Windows does when a
// template cannot be turned into a window, and sends the procedure nothing.
// Every other call names a window or a device context that cannot exist
// and fails plainly.
#include "../Platform.h"

INT_PTR DialogBoxParamW(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM)
{
    return -1;
}

BOOL EndDialog(HWND, INT_PTR)
{
    return FALSE;
}

LONG_PTR GetWindowLongPtrW(HWND, int)
{
    return 0;
}

LONG_PTR SetWindowLongPtrW(HWND, int, LONG_PTR)
{
    return 0;
}

HWND GetDlgItem(HWND, int)
{
    return nullptr;
}

BOOL EnableWindow(HWND, BOOL)
{
    return FALSE;
}

BOOL SetDlgItemTextW(HWND, int, LPCWSTR)
{
    return FALSE;
}

// As on Windows, the buffer is made empty when the text cannot be had.
UINT GetDlgItemTextW(HWND, int, LPWSTR lpString, int cchMax)
{
    if (lpString && cchMax > 0)
        lpString[0] = 0;
    return 0;
}

LRESULT SendDlgItemMessageW(HWND, int, UINT, WPARAM, LPARAM)
{
    return 0;
}

BOOL CheckDlgButton(HWND, int, UINT)
{
    return FALSE;
}

UINT IsDlgButtonChecked(HWND, int)
{
    return 0;
}

DWORD GetSysColor(int)
{
    return 0;
}

COLORREF SetTextColor(HDC, COLORREF)
{
    return CLR_INVALID;
}

COLORREF SetBkColor(HDC, COLORREF)
{
    return CLR_INVALID;
}

BOOL GetTextMetricsW(HDC, TEXTMETRICW*)
{
    return FALSE;
}

// There is no system font to measure.
LONG GetDialogBaseUnits()
{
    return 0;
}

BOOL ExtTextOutW(HDC, int, int, UINT, const RECT*, LPCWSTR, UINT, const int*)
{
    return FALSE;
}

BOOL DrawFocusRect(HDC, const RECT*)
{
    return FALSE;
}

// Reported as cancelled: the caller keeps what it had.
BOOL GetOpenFileNameW(OPENFILENAMEW*)
{
    return FALSE;
}
