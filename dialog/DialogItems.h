// dialog/DialogItems.h: the items that bind the controls of a dialog
// template to values the caller owns.
//
// Each item knows its control by id only and reaches it through the dialog
// window it is handed. The runner (ItemDialog) calls the operations: value
// to control when the dialog opens, every command and every message while it
// runs, and control to value when the user presses OK.
#pragma once

#include "ItemList.h"

class DialogItem
{
public:
    explicit DialogItem(int nId) : m_nId(nId) {}
    virtual ~DialogItem() = default;

    virtual void InitControl(HWND hDlg) {}
    virtual void ReadControl(HWND hDlg) {}
    virtual void EnableControl(HWND hDlg, BOOL bEnable);
    // nCode is the notification code; the runner also sends id 0, code 0
    // once the controls are initialised.
    virtual void OnCommand(HWND hDlg, int nId, int nCode) {}
    virtual void OnMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {}

    int m_nId;
};

// Callbacks of the dialog window. A bound callback is a member function of
// an object derived from ItemTarget; it counts only when both are given.
typedef void (*PfnDialogCallback)(HWND hDlg);
typedef BOOL (*PfnDialogPredicate)(HWND hDlg);
class ItemTarget
{
public:
    virtual ~ItemTarget() = default;
};
typedef void (ItemTarget::*PfnItemMethod)(HWND hDlg);

// A push button with a click callback and an enable predicate.
class ButtonItem : public DialogItem
{
public:
    ButtonItem(int nId, PfnDialogCallback pfnClick, PfnDialogPredicate pfnEnable = nullptr,
               PfnItemMethod pfnMethod = nullptr, ItemTarget* pObject = nullptr)
        : DialogItem(nId), m_pfnClick(pfnClick), m_pfnEnable(pfnEnable), m_pfnMethod(pfnMethod),
          m_pObject(pObject)
    {
    }

    void OnCommand(HWND hDlg, int nId, int nCode) override;

    PfnDialogCallback m_pfnClick;
    PfnDialogPredicate m_pfnEnable;
    PfnItemMethod m_pfnMethod;
    ItemTarget* m_pObject;
};

// An edit control bound to a text buffer of nMax units, terminator included.
class EditItem : public DialogItem
{
public:
    EditItem(int nId, WCHAR* pszText, int nMax) : DialogItem(nId), m_nMax(nMax), m_pszText(pszText) {}

    void InitControl(HWND hDlg) override;
    void ReadControl(HWND hDlg) override;

    int m_nMax;
    WCHAR* m_pszText;
};

// A control text that is stored as soon as the control loses the focus.
class TextItem : public EditItem
{
public:
    using EditItem::EditItem;

    void OnCommand(HWND hDlg, int nId, int nCode) override;
};

// A drop-down list that must not sort: an entry's position is its index in
// the caller's table. With a colour table the item draws the entries itself.
class ComboItem : public DialogItem
{
public:
    ComboItem(int nId, WCHAR* pszText, int* pnIndex, int nCount, const WCHAR* const* ppszEntries,
              const COLORREF* pColors)
        : DialogItem(nId), m_pszText(pszText), m_pnIndex(pnIndex), m_nCount(nCount),
          m_ppszEntries(ppszEntries), m_pColors(pColors)
    {
    }

    void InitControl(HWND hDlg) override;
    void ReadControl(HWND hDlg) override;
    void OnMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) override;

    WCHAR* m_pszText;
    int* m_pnIndex;
    int m_nCount;
    const WCHAR* const* m_ppszEntries;
    const COLORREF* m_pColors;

private:
    void DrawEntry(const DRAWITEMSTRUCT& item) const;
};

// A check box or radio button whose members are enabled exactly while the
// group is enabled and its button is checked.
class ItemGroup : public DialogItem
{
public:
    ItemGroup(int nId, int* pbChecked, BOOL bEnabled = TRUE, PfnDialogCallback pfnChanged = nullptr,
              BOOL bNotifyAlways = FALSE, PfnItemMethod pfnMethod = nullptr, ItemTarget* pObject = nullptr)
        : DialogItem(nId), m_pbChecked(pbChecked), m_bEnabled(bEnabled), m_pfnChanged(pfnChanged),
          m_bNotifyAlways(bNotifyAlways), m_pfnMethod(pfnMethod), m_pObject(pObject)
    {
    }

    ItemGroup& Add(DialogItem* pItem)
    {
        m_members.Add(pItem);
        return *this;
    }

    void InitControl(HWND hDlg) override;
    void ReadControl(HWND hDlg) override;
    void EnableControl(HWND hDlg, BOOL bEnable) override;
    void OnCommand(HWND hDlg, int nId, int nCode) override;
    void OnMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) override;

    ItemList m_members;
    int* m_pbChecked;
    BOOL m_bEnabled;
    PfnDialogCallback m_pfnChanged;
    BOOL m_bNotifyAlways;
    PfnItemMethod m_pfnMethod;
    ItemTarget* m_pObject;

private:
    void NotifyChanged(HWND hDlg);
};
