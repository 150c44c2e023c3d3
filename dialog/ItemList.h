// dialog/ItemList.h: the owning list of dialog items, kept in the order of
// adding; a dialog's top level and every group hold one.
#pragma once

#include "../platform/Platform.h"

class DialogItem;

class ItemList
{
public:
    ItemList();
    ~ItemList();
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;

    // Takes the item over and returns the list, so that additions chain.
    ItemList& Add(DialogItem* pItem);

    // Each calls the items' operation of the same name, in the order of adding.
    void InitControl(HWND hDlg) const;
    void ReadControl(HWND hDlg) const;
    void EnableControl(HWND hDlg, BOOL bEnable) const;
    void OnCommand(HWND hDlg, int nId, int nCode) const;
    void OnMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    // The tail is always an empty node: the next item goes into it.
    struct Node {
        DialogItem* pItem;
        Node* pNext;
    };

    Node m_first;
    Node* m_pTail;
};
