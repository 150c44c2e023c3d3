// tests/tools/DialogUser.cpp: the dialog-driving user.
#include "DialogUser.h"

#include <commdlg.h>

#include <algorithm>

namespace
{

const DWORD kPollMs = 20;
const int kWaitMs = 10000;
const int kFileNameControl = cmb13; // the Explorer-style name field
// What the window system posts to the focused window for the F1 key.
const UINT kWmKeyF1 = 0x004D;

bool IsDialogWindow(HWND hWnd)
{
    WCHAR szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    return wcscmp(szClass, L"#32770") == 0 && IsWindowVisible(hWnd);
}

struct Search {
    const std::vector<HWND>* pKnown;
    HWND hFound;
};

BOOL CALLBACK FindNewDialog(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<Search*>(lParam);
    const auto& known = *pSearch->pKnown;
    if (IsDialogWindow(hWnd) && std::find(known.begin(), known.end(), hWnd) == known.end()) {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

std::wstring WindowText(HWND hWnd)
{
    WCHAR sz[4096] = {};
    SendMessageW(hWnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(sz));
    return sz;
}

} // namespace

DialogUser::DialogUser(Script script, int nOpenWaitMs) : DialogUser(GetCurrentThreadId(), script, nOpenWaitMs)
{
}

DialogUser::DialogUser(DWORD nThreadId, Script script, int nOpenWaitMs) : m_nThreadId(nThreadId)
{
    m_thread = std::thread([this, script, nOpenWaitMs] {
        if (WaitForNewDialog(nOpenWaitMs))
            script(*this);
        CancelLeftOpen();
    });
}

DialogUser::~DialogUser()
{
    if (m_thread.joinable())
        m_thread.join();
}

std::vector<std::string> DialogUser::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_problems;
}

void DialogUser::Problem(const std::string& text)
{
    m_problems.push_back(text);
}

HWND DialogUser::Control(int nId)
{
    HWND hControl = m_dialogs.empty() ? nullptr : GetDlgItem(m_dialogs.back(), nId);
    if (!hControl)
        Problem("no control " + std::to_string(nId));
    return hControl;
}

// The new dialog counts once it shows: the window system shows a dialog
// after its WM_INITDIALOG has been handled.
HWND DialogUser::WaitForNewDialog(int nWaitMs)
{
    for (int nWaited = 0; nWaited < nWaitMs; nWaited += kPollMs) {
        Search search{&m_dialogs, nullptr};
        EnumThreadWindows(m_nThreadId, FindNewDialog, reinterpret_cast<LPARAM>(&search));
        if (search.hFound) {
            m_dialogs.push_back(search.hFound);
            return search.hFound;
        }
        Sleep(kPollMs);
    }
    Problem("no dialog opened");
    return nullptr;
}

void DialogUser::WaitUntilClosed()
{
    if (m_dialogs.empty())
        return;
    for (int nWaited = 0; nWaited < kWaitMs && IsWindow(m_dialogs.back()); nWaited += kPollMs)
        Sleep(kPollMs);
    if (IsWindow(m_dialogs.back()))
        Problem("the dialog did not close");
    m_dialogs.pop_back();
}

void DialogUser::CancelLeftOpen()
{
    while (!m_dialogs.empty()) {
        if (IsWindow(m_dialogs.back())) {
            Problem("the script left a dialog open");
            PostMessageW(m_dialogs.back(), WM_COMMAND, IDCANCEL, 0);
        }
        WaitUntilClosed();
    }
}

bool DialogUser::IsChecked(int nId)
{
    return SendMessageW(Control(nId), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool DialogUser::IsEnabled(int nId)
{
    return IsWindowEnabled(Control(nId)) != FALSE;
}

std::wstring DialogUser::Text(int nId)
{
    return WindowText(Control(nId));
}

std::vector<std::wstring> DialogUser::ComboEntries(int nId)
{
    HWND hCombo = Control(nId);
    std::vector<std::wstring> entries;
    LRESULT nCount = SendMessageW(hCombo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < nCount; ++i) {
        WCHAR sz[1024] = {};
        SendMessageW(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(sz));
        entries.push_back(sz);
    }
    return entries;
}

int DialogUser::ComboSelection(int nId)
{
    return static_cast<int>(SendMessageW(Control(nId), CB_GETCURSEL, 0, 0));
}

// The window with the keyboard focus in the dialog's thread, null when none.
HWND DialogUser::Focused()
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(m_nThreadId, &info) ? info.hwndFocus : nullptr;
}

LRESULT DialogUser::ComboItemData(int nId, int nIndex)
{
    return SendMessageW(Control(nId), CB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0);
}

int DialogUser::FocusId()
{
    HWND hFocus = Focused();
    if (!hFocus)
        return 0;
    // The edit inside a combo box has the focus for its combo box.
    if (GetParent(hFocus) != m_dialogs.back())
        hFocus = GetParent(hFocus);
    return GetDlgCtrlID(hFocus);
}

// BM_CLICK presses and releases the button as the mouse does: an auto
// button changes its state, its group's other radio buttons are cleared,
// and the dialog gets the click's command, all before this returns.
void DialogUser::Click(int nId)
{
    SendMessageW(Control(nId), BM_CLICK, 0, 0);
}

void DialogUser::FocusOn(int nId)
{
    SendMessageW(m_dialogs.back(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(nId)), TRUE);
}

void DialogUser::Type(int nId, const std::wstring& text)
{
    FocusOn(nId);
    SendMessageW(Control(nId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The window system answers the F1 key with WM_KEYF1 to the focused window,
// whose default handling asks its dialog for help.
void DialogUser::PressF1()
{
    HWND hFocus = Focused();
    SendMessageW(hFocus ? hFocus : m_dialogs.back(), kWmKeyF1, 0, 0);
}

// Keys go through the dialog's message loop, which turns Enter into the
// default button's command and Escape into Cancel.
void DialogUser::PostKey(UINT vk)
{
    HWND hTarget = Focused();
    if (!hTarget)
        hTarget = m_dialogs.back();
    PostMessageW(hTarget, WM_KEYDOWN, vk, 1);
    PostMessageW(hTarget, WM_KEYUP, vk, 0xC0000001);
    WaitUntilClosed();
}

void DialogUser::PressEnter()
{
    PostKey(VK_RETURN);
}

void DialogUser::PressEscape()
{
    PostKey(VK_ESCAPE);
}

void DialogUser::ClickToClose(int nId)
{
    Click(nId);
    WaitUntilClosed();
}

void DialogUser::CloseBox()
{
    PostMessageW(m_dialogs.back(), WM_SYSCOMMAND, SC_CLOSE, 0);
    WaitUntilClosed();
}

// Posted: the click's handler runs the new dialog's modal loop and returns
// only when that dialog closes.
void DialogUser::ClickToOpen(int nId)
{
    PostMessageW(Control(nId), BM_CLICK, 0, 0);
    WaitForNewDialog(kWaitMs);
}

void DialogUser::AwaitDialog(int nWaitMs)
{
    WaitForNewDialog(nWaitMs);
}

std::wstring DialogUser::AnswerMessageBox(int nButton)
{
    std::wstring text = WindowText(GetDlgItem(m_dialogs.back(), 0xFFFF));
    PostMessageW(m_dialogs.back(), WM_COMMAND, static_cast<WPARAM>(nButton), 0);
    WaitUntilClosed();
    return text;
}

std::wstring DialogUser::FileDialogTitle()
{
    return WindowText(m_dialogs.back());
}

std::wstring DialogUser::FileDialogFolder()
{
    WCHAR sz[MAX_PATH] = {};
    SendMessageW(m_dialogs.back(), CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(sz));
    return sz;
}

std::wstring DialogUser::FileDialogName()
{
    return Text(kFileNameControl);
}

void DialogUser::ChooseFile(const std::wstring& name)
{
    SendMessageW(Control(kFileNameControl), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageW(m_dialogs.back(), WM_COMMAND, IDOK, 0);
    WaitUntilClosed();
}

void DialogUser::CancelFileDialog()
{
    PostMessageW(m_dialogs.back(), WM_COMMAND, IDCANCEL, 0);
    WaitUntilClosed();
}
