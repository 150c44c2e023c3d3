// tools/settings_picture.c: shows the settings dialog of one language as a
// user first sees it, from the template and strings compiled into the
// module, and keeps it on the screen while its picture is taken.
//
//   settings_picture MODULE LANGID RECTFILE
//
// LANGID is the template's language in hexadecimal (409 for English). Once
// the dialog is drawn, its rectangle on the screen goes into RECTFILE as
// "x y width height"; the dialog stays until RECTFILE is deleted, or for a
// minute at most.
//
// The dialog opens as Configure opens it with no options and nothing
// stored: one file for the whole database with the headline of field
// names, the per-record choices disabled with As Text File set, the System
// delimiter, the system code page. The System caption and the code page
// entry are formatted as Configure formats them, with the list separator
// and the ANSI code page of a system set up for the template's language.
// The strings' patterns mean by %s in a wide format what the Microsoft
// runtime means: a wide text.
#define __USE_MINGW_ANSI_STDIO 0

#include "../res/SettingsDialogRes.h"

#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <windows.h>

enum { kPollMs = 100, kDrawnAfterMs = 700, kLongestMs = 60000 };

static const wchar_t* g_rectFile;
static int g_waitedMs;

// A string of the module's table in one language, or an empty text: its
// block of sixteen counted strings is read as it was compiled.
static void TableString(HMODULE module, UINT id, LANGID lang, wchar_t* text, size_t units)
{
    text[0] = 0;
    HRSRC resource = FindResourceExW(module, (LPCWSTR)RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), lang);
    const WORD* p = resource ? LockResource(LoadResource(module, resource)) : NULL;
    if (!p)
        return;
    for (UINT i = 0; i < id % 16; ++i)
        p += 1 + *p;
    size_t n = *p < units ? *p : units - 1;
    wmemcpy(text, (const wchar_t*)(p + 1), n);
    text[n] = 0;
}

// Where a language has no string table the platform falls back to the
// English one, as the module's string lookup does.
static void DialogString(HMODULE module, UINT id, LANGID lang, wchar_t* text, size_t units)
{
    TableString(module, id, lang, text, units);
    if (!text[0])
        TableString(module, id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text, units);
}

static void SetInitialState(HWND dialog, HMODULE module, LANGID lang)
{
    LCID locale = MAKELCID(lang, SORT_DEFAULT);
    wchar_t pattern[64], text[64], separator[8] = L",", codePage[8] = L"1252";
    GetLocaleInfoW(locale, LOCALE_SLIST, separator, 8);
    GetLocaleInfoW(locale, LOCALE_IDEFAULTANSICODEPAGE, codePage, 8);

    DialogString(module, IDS_SYSTEM_DELIMITER, lang, pattern, 64);
    _snwprintf(text, 64, pattern, separator);
    text[63] = 0;
    SetDlgItemTextW(dialog, IDC_DELIM_SYSTEM, text);
    DialogString(module, IDS_SYSTEM_CODE_PAGE, lang, pattern, 64);
    _snwprintf(text, 64, pattern, _wtoi(codePage));
    text[63] = 0;
    SendDlgItemMessageW(dialog, IDC_CODE_PAGE_LIST, CB_ADDSTRING, 0, (LPARAM)text);
    SendDlgItemMessageW(dialog, IDC_CODE_PAGE_LIST, CB_SETCURSEL, 0, 0);

    static const int kChecked[] = {IDC_DATABASE_FILE, IDC_WRITE_HEAD,   IDC_TEXT_FILE,
                                   IDC_NOT_MAP,       IDC_DELIM_SYSTEM, IDC_USE_CODE_PAGE};
    for (size_t i = 0; i < sizeof kChecked / sizeof *kChecked; ++i)
        CheckDlgButton(dialog, kChecked[i], BST_CHECKED);
    // Members of an unchecked choice are disabled.
    static const int kDisabled[] = {IDC_TEXT_FILE, IDC_XML_FILE, IDC_HEADLINE, IDC_OTHER_TEXT};
    for (size_t i = 0; i < sizeof kDisabled / sizeof *kDisabled; ++i)
        EnableWindow(GetDlgItem(dialog, kDisabled[i]), FALSE);
}

static void WriteRect(HWND dialog)
{
    RECT r;
    GetWindowRect(dialog, &r);
    wchar_t partial[MAX_PATH];
    _snwprintf(partial, MAX_PATH, L"%ls.part", g_rectFile);
    partial[MAX_PATH - 1] = 0;
    FILE* f = _wfopen(partial, L"w");
    if (!f)
        return;
    fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    fclose(f);
    // Whoever waits for the file sees it whole.
    MoveFileExW(partial, g_rectFile, MOVEFILE_REPLACE_EXISTING);
}

static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetTimer(dialog, 1, kPollMs, NULL);
        return TRUE;
    }
    if (message != WM_TIMER)
        return FALSE;
    g_waitedMs += kPollMs;
    if (g_waitedMs == kDrawnAfterMs)
        WriteRect(dialog);
    else if (g_waitedMs > kDrawnAfterMs && GetFileAttributesW(g_rectFile) == INVALID_FILE_ATTRIBUTES)
        PostQuitMessage(0);
    if (g_waitedMs >= kLongestMs)
        PostQuitMessage(1);
    return TRUE;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        fwprintf(stderr, L"usage: settings_picture MODULE LANGID RECTFILE\n");
        return 2;
    }
    LANGID lang = (LANGID)wcstoul(argv[2], NULL, 16);
    g_rectFile = argv[3];
    HMODULE module = LoadLibraryExW(argv[1], NULL, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource =
        module ? FindResourceExW(module, (LPCWSTR)RT_DIALOG, MAKEINTRESOURCEW(IDD_SETTINGS), lang) : NULL;
    if (!resource) {
        fwprintf(stderr, L"settings_picture: no settings dialog for language %04x in %ls\n", lang, argv[1]);
        return 1;
    }
    const DLGTEMPLATE* dialogTemplate = LockResource(LoadResource(module, resource));
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(NULL), dialogTemplate, NULL, DialogProc, 0);
    if (!dialog) {
        fwprintf(stderr, L"settings_picture: the dialog could not be made (%lu)\n", GetLastError());
        return 1;
    }
    SetInitialState(dialog, module, lang);
    SetWindowPos(dialog, HWND_TOP, 8, 8, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    // The display has no window manager to activate it: its title bar is
    // drawn as that of the window the user works in.
    SetForegroundWindow(dialog);
    SendMessageW(dialog, WM_NCACTIVATE, TRUE, 0);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    DestroyWindow(dialog);
    return (int)msg.wParam;
}
