// dialog/ItemList.cpp: the owning list of dialog items.
#include "ItemList.h"

#include "DialogItems.h"

#include <new>

ItemList::ItemList() : m_first{nullptr, nullptr}, m_pTail(&m_first) {}

// The items go last added first, so that an item outlives those added
// after it, which may have been built to work beside it.
ItemList::~ItemList()
{
    Node* pReversed = nullptr;
    for (Node* p = &m_first; p;) {
        Node* pNext = p->pNext;
        p->pNext = pReversed;
        pReversed = p;
        p = pNext;
    }
    for (Node* p = pReversed; p;) {
        Node* pNext = p->pNext;
        delete p->pItem;
        if (p != &m_first)
            delete p;
        p = pNext;
    }
}

// An item for which no node can be had is destroyed at once: the list owns
// what it is handed, linked or not.
ItemList& ItemList::Add(DialogItem* pItem)
{
    Node* pFresh = new (std::nothrow) Node{nullptr, nullptr};
    if (!pFresh) {
        delete pItem;
        return *this;
    }
    m_pTail->pItem = pItem;
    m_pTail->pNext = pFresh;
    m_pTail = pFresh;
    return *this;
}

void ItemList::InitControl(HWND hDlg) const
{
    for (const Node* p = &m_first; p != m_pTail; p = p->pNext)
        p->pItem->InitControl(hDlg);
}

void ItemList::ReadControl(HWND hDlg) const
{
    for (const Node* p = &m_first; p != m_pTail; p = p->pNext)
        p->pItem->ReadControl(hDlg);
}

void ItemList::EnableControl(HWND hDlg, BOOL bEnable) const
{
    for (const Node* p = &m_first; p != m_pTail; p = p->pNext)
        p->pItem->EnableControl(hDlg, bEnable);
}

void ItemList::OnCommand(HWND hDlg, int nId, int nCode) const
{
    for (const Node* p = &m_first; p != m_pTail; p = p->pNext)
        p->pItem->OnCommand(hDlg, nId, nCode);
}

void ItemList::OnMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) const
{
    for (const Node* p = &m_first; p != m_pTail; p = p->pNext)
        p->pItem->OnMessage(hDlg, message, wParam, lParam);
}
