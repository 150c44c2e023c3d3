// tests/tools/DialogUser.cpp: the dialog-driving user.
#include "DialogUser.h"

#include <algorithm>

namespace
{

const DWORD kPollMs = 20;
const int kWaitMs = 60000;    // Wine on a loaded machine can take many seconds
const UINT kWmKeyF1 = 0x004D; // what the window system sends the focused window for F1

struct Search {
    const std::vector<HWND>* pKnown;
    HWND hFound;
};

BOOL CALLBACK FindNewDialog(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<Search*>(lParam);
    WCHAR szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    if (wcscmp(szClass, L"#32770") != 0 || !IsWindowVisible(hWnd) ||
        std::count(pSearch->pKnown->begin(), pSearch->pKnown->end(), hWnd))
        return TRUE;
    pSearch->hFound = hWnd;
    return FALSE;
}

} // namespace

DialogUser::DialogUser(Script script, DWORD nThreadId, int nOpenWaitMs) : m_nThreadId(nThreadId)
{
    m_thread = std::thread([this, script, nOpenWaitMs] {
        WaitForNewDialog(nOpenWaitMs);
        if (!m_dialogs.empty())
            script(*this);
        while (!m_dialogs.empty()) {
            if (IsWindow(m_dialogs.back())) {
                m_problems.push_back("the script left a dialog open");
                PostMessageW(m_dialogs.back(), WM_COMMAND, IDCANCEL, 0);
            }
            WaitUntilClosed();
        }
    });
}

std::vector<std::string> DialogUser::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_problems;
}

HWND DialogUser::Control(int nId)
{
    HWND hDialog = m_dialogs.empty() ? nullptr : m_dialogs.back();
    HWND hControl = nId && hDialog ? GetDlgItem(hDialog, nId) : hDialog;
    if (!hControl)
        m_problems.push_back("no control " + std::to_string(nId));
    return hControl;
}

// A dialog counts once it shows, which it does after WM_INITDIALOG.
void DialogUser::WaitForNewDialog(int nWaitMs)
{
    for (int nWaited = 0; nWaited < nWaitMs; nWaited += kPollMs) {
        Search search{&m_dialogs, nullptr};
        EnumThreadWindows(m_nThreadId, FindNewDialog, reinterpret_cast<LPARAM>(&search));
        if (search.hFound) {
            m_dialogs.push_back(search.hFound);
            return;
        }
        Sleep(kPollMs);
    }
    m_problems.push_back("no dialog opened");
}

void DialogUser::WaitUntilClosed()
{
    if (m_dialogs.empty())
        return;
    for (int nWaited = 0; nWaited < kWaitMs && IsWindow(m_dialogs.back()); nWaited += kPollMs)
        Sleep(kPollMs);
    if (IsWindow(m_dialogs.back()))
        m_problems.push_back("the dialog did not close");
    m_dialogs.pop_back();
}

LRESULT DialogUser::Send(int nId, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(Control(nId), message, wParam, lParam);
}

std::string DialogUser::States(std::initializer_list<int> ids)
{
    std::string states;
    for (int nId : ids) {
        bool bChecked = nId && Send(nId, BM_GETCHECK) == BST_CHECKED;
        if (nId == 0)
            states += '|';
        else if (IsWindowEnabled(Control(nId)))
            states += bChecked ? 'C' : '-';
        else
            states += bChecked ? 'c' : '.';
    }
    return states;
}

std::wstring DialogUser::Text(int nId)
{
    WCHAR sz[4096] = {};
    Send(nId, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(sz));
    return sz;
}

std::vector<std::wstring> DialogUser::ComboEntries(int nId)
{
    std::vector<std::wstring> entries(Send(nId, CB_GETCOUNT));
    for (size_t i = 0; i < entries.size(); ++i) {
        WCHAR sz[1024] = {};
        Send(nId, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(sz));
        entries[i] = sz;
    }
    return entries;
}

// BM_CLICK presses and releases the button as the mouse does: an auto
// button changes its state, the other radio buttons of its group are
// cleared, and the dialog gets the command. A real click is followed by
// the repaint, whose messages reach the dialog too: a message sent after
// the click stands for them.
void DialogUser::Click(int nId)
{
    Send(nId, BM_CLICK);
    Send(0, WM_NULL);
}

void DialogUser::FocusOn(int nId)
{
    Send(0, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(nId)), TRUE);
}

void DialogUser::Type(int nId, const std::wstring& text)
{
    FocusOn(nId);
    Send(nId, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Send(0, WM_NULL);
}

HWND DialogUser::Focused()
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(m_nThreadId, &info) && info.hwndFocus ? info.hwndFocus : Control(0);
}

// The focused window's default handling of WM_KEYF1 asks its dialog for help.
void DialogUser::PressF1()
{
    SendMessageW(Focused(), kWmKeyF1, 0, 0);
}

// Keys go through the dialog's message loop, which turns Enter into the
// default button's command and Escape into Cancel.
void DialogUser::PostKey(UINT vk)
{
    HWND hTarget = Focused();
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
    Send(nId, BM_CLICK);
    WaitUntilClosed();
}

void DialogUser::Command(int nId)
{
    PostMessageW(Control(0), WM_COMMAND, static_cast<WPARAM>(nId), 0);
    WaitUntilClosed();
}

void DialogUser::CloseBox()
{
    PostMessageW(Control(0), WM_SYSCOMMAND, SC_CLOSE, 0);
    WaitUntilClosed();
}

// Posted: the click's handler runs the new dialog's modal loop.
void DialogUser::ClickToOpen(int nId)
{
    PostMessageW(Control(nId), BM_CLICK, 0, 0);
    WaitForNewDialog(kWaitMs);
}

void DialogUser::AwaitDialog(int nWaitMs)
{
    WaitForNewDialog(nWaitMs);
}
