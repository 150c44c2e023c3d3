// dialog/DialogItem.cpp: the base item, push buttons and text controls.
#include "DialogItems.h"

void DialogItem::EnableControl(HWND hDlg, BOOL bEnable)
{
    EnableWindow(GetDlgItem(hDlg, m_nId), bEnable);
}

// The predicate runs after every command of any control, so a button can
// follow whatever the other controls show.
void ButtonItem::OnCommand(HWND hDlg, int nId, int nCode)
{
    if (nId == m_nId) {
        if (m_pfnClick)
            m_pfnClick(hDlg);
        else if (m_pfnMethod && m_pObject)
            (m_pObject->*m_pfnMethod)(hDlg);
    }
    if (m_pfnEnable)
        EnableWindow(GetDlgItem(hDlg, m_nId), m_pfnEnable(hDlg));
}

void EditItem::InitControl(HWND hDlg)
{
    SetDlgItemTextW(hDlg, m_nId, m_pszText);
}

// A text longer than the buffer is cut to m_nMax - 1 units.
void EditItem::ReadControl(HWND hDlg)
{
    GetDlgItemTextW(hDlg, m_nId, m_pszText, m_nMax);
}

// Storing on focus loss and showing the stored text again lets the user see
// at once what OK would keep.
void TextItem::OnCommand(HWND hDlg, int nId, int nCode)
{
    if (nCode == EN_KILLFOCUS && nId == m_nId) {
        ReadControl(hDlg);
        InitControl(hDlg);
    }
}
