// dialog/ItemDialog.h: runs a modal dialog over a tree of items.
#pragma once

#include "DialogItems.h"

// The template id of the running dialog, whose help topic F1 shows; each
// run puts back the context it found, so nested dialogs stack.
extern int g_nHelpContext;

// Ids of 16000 and above are dialogs without a help topic of their own: F1
// there shows the topic of the dialog around them.
const int kFirstDialogWithoutHelp = 16000;

class ItemDialog
{
public:
    // Items are initialised, read and notified in the order of adding.
    ItemList& Add(DialogItem* pItem) { return m_items.Add(pItem); }

    // 1 after OK, 2 after Cancel, Escape or the close box; the platform's
    // failure value (-1, or 0 for a bad parent) when the dialog cannot be
    // made. The object must outlive the call: the window reaches its items
    // until it is destroyed.
    int DoModal(HWND hParent, HINSTANCE hResourceModule, int nTemplateId);

    ItemList m_items;
    int m_nSavedHelpContext = 0;
};

// The procedure of every ItemDialog's window; its user slot holds the
// ItemDialog from WM_INITDIALOG on.
INT_PTR CALLBACK ItemDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
