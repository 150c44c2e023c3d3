// dialog/Help.h: F1 in a running dialog, through the platform's HTML Help
// control, loaded on first use.
#pragma once

#include "../platform/Platform.h"

// What the first use found; never reset, so a control that cannot be had
// is looked for once per process.
typedef HWND(WINAPI* PfnHtmlHelpW)(HWND hOwner, LPCWSTR pszFile, UINT uCommand, DWORD_PTR dwData);
extern HMODULE g_hHelpModule;
extern PfnHtmlHelpW g_pfnHtmlHelp;
extern BOOL g_bHelpUnavailable;

// Opens the running dialog's topic in main.chm beside the host's dialog.dll.
void ShowDialogHelp(HWND hDlg);

// HtmlHelpW of the control; 0 when the control is not available.
HWND CallHtmlHelp(HWND hOwner, const WCHAR* pszFile, UINT uCommand, DWORD_PTR dwData);

// The control's library path as registered, into 260 bytes.
BOOL FindHtmlHelpServer(char* pszPath);
