// dialog/ItemGroup.cpp: a check box or radio button that enables its members.
//
// The group asks its button on every message, so the members follow it also
// when the button changes without a command of its own: a radio button that
// another button of its template group unchecks disables its members while
// that click is handled.
#include "DialogItems.h"

namespace
{

BOOL IsChecked(HWND hDlg, int nId)
{
    return IsDlgButtonChecked(hDlg, nId) != 0;
}

} // namespace

void ItemGroup::InitControl(HWND hDlg)
{
    m_members.InitControl(hDlg);
    CheckDlgButton(hDlg, m_nId, *m_pbChecked);
    m_members.EnableControl(hDlg, IsChecked(hDlg, m_nId));
    if (!m_bEnabled)
        EnableWindow(GetDlgItem(hDlg, m_nId), FALSE);
}

// Members are read whether enabled or not: a disabled control keeps its value.
void ItemGroup::ReadControl(HWND hDlg)
{
    *m_pbChecked = IsDlgButtonChecked(hDlg, m_nId);
    m_members.ReadControl(hDlg);
}

void ItemGroup::EnableControl(HWND hDlg, BOOL bEnable)
{
    m_bEnabled = bEnable;
    m_members.EnableControl(hDlg, bEnable && IsChecked(hDlg, m_nId));
    EnableWindow(GetDlgItem(hDlg, m_nId), bEnable);
}

// Without a callback the stored state is left to ReadControl, so Cancel
// keeps it; with one, the state is stored as the button changes.
void ItemGroup::OnCommand(HWND hDlg, int nId, int nCode)
{
    if (nId == m_nId && (m_pfnChanged || (m_pfnMethod && m_pObject))) {
        UINT nState = IsDlgButtonChecked(hDlg, m_nId);
        if (m_bNotifyAlways) {
            *m_pbChecked = nState;
            NotifyChanged(hDlg);
        } else if (static_cast<int>(nState) != *m_pbChecked) {
            *m_pbChecked = nState;
            if (nState)
                NotifyChanged(hDlg);
        }
    }
    m_members.EnableControl(hDlg, IsChecked(hDlg, m_nId));
    m_members.OnCommand(hDlg, nId, nCode);
}

void ItemGroup::OnMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    m_members.EnableControl(hDlg, m_bEnabled && IsChecked(hDlg, m_nId));
    m_members.OnMessage(hDlg, message, wParam, lParam);
}

// Unlike a push button's, a group's bound callback wins over the plain one.
void ItemGroup::NotifyChanged(HWND hDlg)
{
    if (m_pfnMethod && m_pObject)
        (m_pObject->*m_pfnMethod)(hDlg);
    else
        m_pfnChanged(hDlg);
}
