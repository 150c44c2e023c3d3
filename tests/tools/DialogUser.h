// tests/tools/DialogUser.h: a user for the modal dialogs a test opens.
//
// The script runs on a thread of its own while the test's thread sits in a
// modal dialog. It finds the dialog the test's thread opened, reads what a
// user would see and acts as a user does, through the messages the window
// system itself sends: clicks, typing, focus moves, keys, the close box.
// Dialogs opened from the dialog (a nested one, a message box, the open-file
// dialog) are waited for and worked the same way.
//
// Problems (a dialog that never came, one left open by the script) are
// collected and reported by Finish(); a dialog left open is cancelled, so
// that the test's DoModal always returns.
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

    // Starts the script; it waits for the first dialog of the calling thread,
    // up to nOpenWaitMs: longer for a dialog whose caller first does much.
    explicit DialogUser(Script script, int nOpenWaitMs = 10000);
    // The same for the dialogs of another thread, also of another process
    // (the window system carries these messages across processes).
    DialogUser(DWORD nThreadId, Script script, int nOpenWaitMs);
    ~DialogUser();

    // Waits for the script to end; what went wrong, empty when nothing did.
    std::vector<std::string> Finish();

    // What the user sees in the current dialog.
    bool IsChecked(int nId);
    bool IsEnabled(int nId);
    std::wstring Text(int nId);
    std::vector<std::wstring> ComboEntries(int nId);
    int ComboSelection(int nId);
    LRESULT ComboItemData(int nId, int nIndex);
    int FocusId(); // the control that has the focus, 0 when none

    // What the user does; each returns once the dialog has handled it.
    void Click(int nId);
    void Type(int nId, const std::wstring& text); // focuses the field and replaces its text
    void FocusOn(int nId);                        // as a click into the control or a Tab to it
    void PressF1();

    // Actions that end the current dialog; they return once it is gone.
    void ClickToClose(int nId); // OK or Cancel
    void PressEnter();
    void PressEscape();
    void CloseBox();

    // A click that opens a dialog: returns once the new dialog shows, and
    // from then on the user works that one; when it closes, the one before.
    void ClickToOpen(int nId);

    // Waits for the next dialog of the thread, one that opens without a
    // click to wait on (a message box after OK, the dialog opened again),
    // and from then on works that one.
    void AwaitDialog(int nWaitMs = 10000);

    // A message box, once ClickToOpen opened it: its text; it is answered
    // with the button.
    std::wstring AnswerMessageBox(int nButton);

    // The platform's open-file dialog, once ClickToOpen opened it.
    std::wstring FileDialogTitle();
    std::wstring FileDialogFolder();
    std::wstring FileDialogName();
    void ChooseFile(const std::wstring& name); // types the name and presses Open
    void CancelFileDialog();

private:
    HWND Control(int nId);
    HWND Focused();
    HWND WaitForNewDialog(int nWaitMs);
    void WaitUntilClosed();
    void PostKey(UINT vk);
    void CancelLeftOpen();
    void Problem(const std::string& text);

    DWORD m_nThreadId;
    std::vector<HWND> m_dialogs; // the dialogs opened so far, innermost last
    std::vector<std::string> m_problems;
    std::thread m_thread;
};
