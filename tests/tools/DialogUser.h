// tests/tools/DialogUser.h: a user for the modal dialogs a test opens.
//
// The script runs on a thread of its own while the test's thread sits in a
// modal dialog: it finds the dialog that thread opened and works it through
// the messages the window system itself sends (clicks, typing, focus moves,
// keys, the close box). Dialogs opened from it (a nested one, a message box,
// the open-file dialog) are waited for and worked the same way. Problems (a
// dialog that never came, one the script left open, which is then
// cancelled so that DoModal returns) come back from Finish().
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

class DialogUser
{
public:
    using Script = std::function<void(DialogUser&)>;

    // The dialogs of a thread, also of another process; the first must open
    // within nOpenWaitMs.
    explicit DialogUser(Script script, DWORD nThreadId = GetCurrentThreadId(), int nOpenWaitMs = 60000);
    ~DialogUser() { Finish(); }
    std::vector<std::string> Finish(); // waits for the script

    // What the user sees in the current dialog; id 0 is the dialog itself.
    // States: "C" checked, "-" not, "c" and "." when disabled, "|" for id 0.
    std::string States(std::initializer_list<int> ids);
    std::wstring Text(int nId);
    std::vector<std::wstring> ComboEntries(int nId);
    LRESULT Send(int nId, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // What the user does; each returns once the dialog has handled it.
    void Click(int nId);
    void Type(int nId, const std::wstring& text); // focuses the field, replaces its text
    void FocusOn(int nId);
    void PressF1();

    // These end the current dialog and return once it is gone. Command is a
    // message box's button or the open-file dialog's OK and Cancel.
    void ClickToClose(int nId);
    void Command(int nId);
    void PressEnter();
    void PressEscape();
    void CloseBox();

    // A click that opens a dialog, or the wait for one that opens by itself
    // (a message box after OK, the dialog shown again): the user works the
    // new dialog, and once it closes the one before.
    void ClickToOpen(int nId);
    void AwaitDialog(int nWaitMs = 60000);

private:
    HWND Control(int nId);
    HWND Focused();
    void WaitForNewDialog(int nWaitMs);
    void WaitUntilClosed();
    void PostKey(UINT vk);

    DWORD m_nThreadId;
    std::vector<HWND> m_dialogs; // innermost last
    std::vector<std::string> m_problems;
    std::thread m_thread;
};
