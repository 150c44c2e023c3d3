// dialog/Browse.cpp: the file browser behind the Browse button.
#include "Browse.h"

#include "../common/String.h"
#include "../mfc/Afx.h"

namespace
{

const UINT kTitleString = 2000;
const int kTitleUnits = 256;
const int kPathUnits = 2048;
const int kCustomFilterUnits = 40;

// The directory part of a path, cut to the buffer.
void CopyDirectory(const WCHAR* pszPath, WCHAR* pszDirectory)
{
    String directory = String(pszPath).path();
    const WCHAR* pszFrom = directory;
    int n = 0;
    for (; n < kPathUnits - 1 && pszFrom[n]; ++n)
        pszDirectory[n] = pszFrom[n];
    pszDirectory[n] = 0;
}

} // namespace

// The dialog opens in the field's folder with its name proposed. An empty
// field starts from the database the host has open (its idx.zrx), with no
// name. The file need not exist yet: the export makes it.
void BrowseForOutputFile(HWND hDlg)
{
    WCHAR szTitle[kTitleUnits] = {};
    WCHAR szFile[kPathUnits] = {};
    WCHAR szModule[kPathUnits] = {};
    WCHAR szInitialDir[kPathUnits] = {};
    static const WCHAR kFilter[] = WSTR("*.*\0*.*\0");
    WCHAR szCustomFilter[kCustomFilterUnits] = {0, '*', '.', '*', 0};
    static const WCHAR kNoExtension[] = WSTR("");

    LoadStringW(g_hInstance, kTitleString, szTitle, kTitleUnits - 1);
    GetDlgItemTextW(hDlg, kOutputFileControl, szFile, kPathUnits);
    const WCHAR* pszSource = szFile;
    if (!szFile[0]) {
        GetModuleFileNameW(GetModuleHandleW(WSTR("idx.zrx")), szModule, kPathUnits);
        szModule[kPathUnits - 1] = 0;
        pszSource = szModule;
    }
    CopyDirectory(pszSource, szInitialDir);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrCustomFilter = szCustomFilter;
    ofn.nMaxCustFilter = kCustomFilterUnits;
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = kPathUnits;
    ofn.lpstrInitialDir = szInitialDir;
    ofn.lpstrTitle = szTitle;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    ofn.lpstrDefExt = kNoExtension;
    if (GetOpenFileNameW(&ofn))
        SetDlgItemTextW(hDlg, kOutputFileControl, szFile);
}
