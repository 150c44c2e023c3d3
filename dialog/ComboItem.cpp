// dialog/ComboItem.cpp: a drop-down list bound to an index and the text of
// the chosen entry, and the drawing of colour entries.
#include "DialogItems.h"

// An index of -1 with a text selects the first entry that begins with the
// text, in any case: a label stored by an earlier run finds its entry again
// even when the list has changed since.
void ComboItem::InitControl(HWND hDlg)
{
    SendDlgItemMessageW(hDlg, m_nId, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < m_nCount; ++i) {
        LRESULT nAt =
            SendDlgItemMessageW(hDlg, m_nId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_ppszEntries[i]));
        if (m_pColors)
            SendDlgItemMessageW(hDlg, m_nId, CB_SETITEMDATA, static_cast<WPARAM>(nAt), m_pColors[i]);
    }
    if (*m_pnIndex >= m_nCount)
        *m_pnIndex = 0;
    if (m_pszText && m_pszText[0] && *m_pnIndex == -1)
        SendDlgItemMessageW(hDlg, m_nId, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(m_pszText));
    else
        SendDlgItemMessageW(hDlg, m_nId, CB_SETCURSEL, static_cast<WPARAM>(*m_pnIndex), 0);
    *m_pnIndex = static_cast<int>(SendDlgItemMessageW(hDlg, m_nId, CB_GETCURSEL, 0, 0));
}

// The text comes from the caller's table, not from the control.
void ComboItem::ReadControl(HWND hDlg)
{
    *m_pnIndex = static_cast<int>(SendDlgItemMessageW(hDlg, m_nId, CB_GETCURSEL, 0, 0));
    if (m_pszText && *m_pnIndex >= 0 && *m_pnIndex < m_nCount && m_ppszEntries[*m_pnIndex])
        wcscpy(m_pszText, m_ppszEntries[*m_pnIndex]);
}

void ComboItem::OnMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pColors || message != WM_DRAWITEM)
        return;
    const DRAWITEMSTRUCT& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item.itemID != static_cast<UINT>(-1) && static_cast<int>(item.CtlID) == m_nId)
        DrawEntry(item);
}

// Every request draws the whole entry, whatever its action: the entry's
// colour as background, inverted when selected, so that the selection shows
// on any colour; a disabled list in the inactive caption's colours.
void ComboItem::DrawEntry(const DRAWITEMSTRUCT& item) const
{
    COLORREF textColor;
    COLORREF backColor;
    if (item.itemState & (ODS_GRAYED | ODS_DISABLED)) {
        textColor = GetSysColor(COLOR_INACTIVECAPTION);
        backColor = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
    } else if (item.itemState & ODS_SELECTED) {
        textColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
        backColor = ~static_cast<COLORREF>(item.itemData) & 0x00FFFFFF;
    } else {
        textColor = GetSysColor(COLOR_WINDOWTEXT);
        backColor = static_cast<COLORREF>(item.itemData);
    }
    COLORREF oldText = SetTextColor(item.hDC, textColor);
    COLORREF oldBack = SetBkColor(item.hDC, backColor);

    TEXTMETRICW metrics = {};
    GetTextMetricsW(item.hDC, &metrics);
    int y = (item.rcItem.top + item.rcItem.bottom - metrics.tmHeight) / 2;
    int x = 2 * (LOWORD(GetDialogBaseUnits()) / 4);
    const WCHAR* pszEntry = m_ppszEntries[item.itemID];
    ExtTextOutW(item.hDC, x, y, ETO_OPAQUE | ETO_CLIPPED, &item.rcItem, pszEntry,
                static_cast<UINT>(lstrlenW(pszEntry)), nullptr);

    SetTextColor(item.hDC, oldText);
    SetBkColor(item.hDC, oldBack);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}
