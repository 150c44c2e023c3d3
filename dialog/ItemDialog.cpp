// dialog/ItemDialog.cpp: the modal run, and the procedure that hands the
// dialog's messages to its items.
#include "ItemDialog.h"

#include "Help.h"

int g_nHelpContext = 0;

int ItemDialog::DoModal(HWND hParent, HINSTANCE hResourceModule, int nTemplateId)
{
    m_nSavedHelpContext = g_nHelpContext;
    if (nTemplateId < kFirstDialogWithoutHelp)
        g_nHelpContext = nTemplateId;
    INT_PTR nResult = DialogBoxParamW(hResourceModule, MAKEINTRESOURCEW(nTemplateId), hParent, ItemDialogProc,
                                      reinterpret_cast<LPARAM>(this));
    g_nHelpContext = m_nSavedHelpContext;
    return static_cast<int>(nResult);
}

namespace
{

// OK reads every item, disabled ones too, and does not check: checking and
// showing the dialog again is the caller's business. Cancel reads nothing.
void HandleCommand(HWND hDlg, const ItemList& items, int nId, int nCode)
{
    if (nId == IDOK) {
        items.ReadControl(hDlg);
        EndDialog(hDlg, IDOK);
    } else if (nId == IDCANCEL) {
        EndDialog(hDlg, IDCANCEL);
    } else {
        items.OnCommand(hDlg, nId, nCode);
    }
}

} // namespace

// Every message but WM_HELP reaches the items before it is handled, so for
// a command each item's OnMessage runs before any item's OnCommand. The
// messages sent while the window is created come before WM_INITDIALOG and
// reach no item.
INT_PTR CALLBACK ItemDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HELP) {
        ShowDialogHelp(hDlg);
        return TRUE;
    }
    auto* pDialog = reinterpret_cast<ItemDialog*>(GetWindowLongPtrW(hDlg, DWLP_USER));
    if (pDialog)
        pDialog->m_items.OnMessage(hDlg, message, wParam, lParam);
    switch (message) {
    case WM_INITDIALOG:
        pDialog = reinterpret_cast<ItemDialog*>(lParam);
        SetWindowLongPtrW(hDlg, DWLP_USER, lParam);
        pDialog->m_items.InitControl(hDlg);
        pDialog->m_items.OnCommand(hDlg, 0, 0);
        return TRUE;
    case WM_COMMAND:
        if (pDialog)
            HandleCommand(hDlg, pDialog->m_items, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
