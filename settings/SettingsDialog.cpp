// settings/SettingsDialog.cpp: the settings dialog behind the filter's
// Configure: its texts prepared, its item tree, the checks after OK, and
// the new options string stored.
#include "SettingsDialog.h"

#include "../dialog/Browse.h"
#include "../dialog/ItemDialog.h"
#include "../res/SettingsDialogRes.h"
#include "CodePageList.h"
#include "SettingsValues.h"

namespace
{

// The texts of one Configure call besides the values.
struct DialogTexts {
    enum : int { kCaptionUnits = 32, kCodePageTextUnits = 2048 };
    WCHAR szSystemCaption[kCaptionUnits] = {};
    WCHAR szCodePageText[kCodePageTextUnits] = {};
};

bool IsMapRequest(const WCHAR* pszOptions)
{
    return pszOptions && wcscmp(pszOptions, WSTR("MAP")) == 0;
}

// The options the dialog starts from: the caller's, or the last confirmed
// ones when the caller has none. Only then is the registry read.
void ReadStartingValues(const WCHAR* pszRegistryKey, const WCHAR* pszOptions, SettingsValues& values)
{
    if (pszOptions && *pszOptions) {
        ReadSettingsValues(pszOptions, values);
        return;
    }
    WCHAR szStored[kStoredOptionsUnits];
    LoadStoredOptions(pszRegistryKey, szStored);
    if (*szStored)
        ReadSettingsValues(szStored, values);
}

// The System button's caption: string 2010 with the user's list separator.
void MakeSystemCaption(WCHAR (&szCaption)[DialogTexts::kCaptionUnits])
{
    WCHAR szPattern[DialogTexts::kCaptionUnits] = {};
    WCHAR szSeparator[8] = {};
    LoadStringW(g_hInstance, IDS_SYSTEM_DELIMITER, szPattern, DialogTexts::kCaptionUnits);
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, szSeparator, 8);
    FormatResourceText(szCaption, DialogTexts::kCaptionUnits, szPattern, szSeparator);
}

// Per-record files, and XML among them, are no choice of a map export: the
// hidden check box 2026 holds that state and encloses the per-record group.
void AddOutputItems(ItemDialog& dialog, SettingsValues& v)
{
    dialog.Add(new EditItem(IDC_FILE, v.szFile, SettingsValues::kFileUnits));
    ItemGroup* pDatabase = new ItemGroup(IDC_DATABASE_FILE, &v.bDatabaseFile);
    pDatabase->Add(new ButtonItem(IDC_BROWSE, BrowseForOutputFile));
    pDatabase->Add(new ItemGroup(IDC_CSV, &v.bCsv));
    pDatabase->Add(new ItemGroup(IDC_OVERWRITE, &v.bOverwrite));
    pDatabase->Add(new ItemGroup(IDC_WRITE_HEAD, &v.bWriteHead));
    dialog.Add(pDatabase);
    ItemGroup* pText = new ItemGroup(IDC_TEXT_FILE, &v.bTextFile);
    pText->Add(new ItemGroup(IDC_HEADLINE, &v.bHeadline));
    ItemGroup* pSingle = new ItemGroup(IDC_SINGLE, &v.bSingle);
    pSingle->Add(pText);
    pSingle->Add(new ItemGroup(IDC_XML_FILE, &v.bXml));
    ItemGroup* pNotMap = new ItemGroup(IDC_NOT_MAP, &v.bNotMap);
    pNotMap->Add(pSingle);
    dialog.Add(pNotMap);
}

void AddDelimiterItems(ItemDialog& dialog, SettingsValues& v, DialogTexts& texts)
{
    dialog.Add(new ItemGroup(IDC_DELIM_SYSTEM, &v.bDelimSystem));
    dialog.Add(new TextItem(IDC_DELIM_SYSTEM, texts.szSystemCaption, DialogTexts::kCaptionUnits));
    dialog.Add(new ItemGroup(IDC_DELIM_COMMA, &v.bDelimComma));
    dialog.Add(new ItemGroup(IDC_DELIM_SEMICOLON, &v.bDelimSemicolon));
    dialog.Add(new ItemGroup(IDC_DELIM_TAB, &v.bDelimTab));
    dialog.Add(new ItemGroup(IDC_DELIM_SPACE, &v.bDelimSpace));
    ItemGroup* pOther = new ItemGroup(IDC_DELIM_OTHER, &v.bDelimOther);
    pOther->Add(new TextItem(IDC_OTHER_TEXT, v.szOtherDelimiter, SettingsValues::kOtherDelimiterUnits));
    dialog.Add(pOther);
}

// The list opens on the first entry whose label begins with the chosen
// entry's label: the index is cleared so that the text decides.
void AddCharsetItems(ItemDialog& dialog, SettingsValues& v, DialogTexts& texts, const CodePageList& list)
{
    ItemGroup* pCodePage = new ItemGroup(IDC_USE_CODE_PAGE, &v.bUseCodePage);
    v.nCodePageIndex = -1;
    pCodePage->Add(new ComboItem(IDC_CODE_PAGE_LIST, texts.szCodePageText, &v.nCodePageIndex, list.Count(),
                                 list.Labels(), nullptr));
    dialog.Add(pCodePage);
    dialog.Add(new ItemGroup(IDC_UNICODE, &v.bUnicode));
}

void ShowError(UINT nId)
{
    WCHAR szMessage[256] = {};
    LoadStringW(g_hInstance, nId, szMessage, 256);
    AfxMessageBox(szMessage, MB_ICONERROR | MB_OK, UINT(-1));
}

// The checks after OK. Both messages can follow one OK, the file name's
// first; the dialog then opens once more with what the user left in it.
bool ValuesAreAcceptable(const SettingsValues& v)
{
    bool bAcceptable = true;
    if (v.szFile[0] == 0 && v.bSingle == 0) {
        ShowError(IDS_NO_FILE_NAME);
        bAcceptable = false;
    }
    if (v.bDelimOther == 1 && wcslen(v.szOtherDelimiter) != 1) {
        ShowError(IDS_BAD_DELIMITER);
        bAcceptable = false;
    }
    return bAcceptable;
}

HWND OwnerWindow()
{
    CWinThread* pThread = AfxGetThread();
    return pThread ? pThread->m_hMainWnd : nullptr;
}

// Runs the dialog until its values pass the checks (true) or the user
// leaves it any other way than by OK (false).
bool RunDialog(SettingsValues& values, DialogTexts& texts, const CodePageList& list)
{
    ItemDialog dialog;
    AddOutputItems(dialog, values);
    AddDelimiterItems(dialog, values, texts);
    AddCharsetItems(dialog, values, texts, list);
    for (;;) {
        if (dialog.DoModal(OwnerWindow(), g_hInstance, IDD_SETTINGS) != IDOK)
            return false;
        if (ValuesAreAcceptable(values))
            return true;
    }
}

} // namespace

int ConfigureSettings(const WCHAR* pszRegistryKey, const WCHAR* pszOptions, CString& result)
{
    SettingsValues values;
    if (IsMapRequest(pszOptions)) {
        values.bNotMap = 0;
        pszOptions = nullptr;
    }
    ReadStartingValues(pszRegistryKey, pszOptions, values);
    if (values.bNotMap == 0) {
        values.bSingle = 0;
        values.bDatabaseFile = 1;
    }
    DialogTexts texts;
    CodePageList list;
    list.Fill(g_hInstance, values.nWantedCodePage, values.nCodePageIndex);
    list.CopyLabel(values.nCodePageIndex, texts.szCodePageText, DialogTexts::kCodePageTextUnits);
    MakeSystemCaption(texts.szSystemCaption);
    if (!RunDialog(values, texts, list)) {
        result = pszOptions ? pszOptions : WSTR("");
        return 0;
    }
    WCHAR szOptions[kBuiltOptionsUnits];
    BuildOptionsString(values, UINT(list.Number(values.nCodePageIndex)), szOptions);
    StoreOptions(pszRegistryKey, szOptions);
    result = szOptions;
    return 1;
}
