// tests/tools/abi/DialogCanceller.h: answers a modal dialog with Cancel.
//
// Configure shows the settings dialog on the calling thread and returns only
// when it closes. While a canceller runs, a second thread posts Cancel to
// every window of the calling thread, as a user pressing Escape would, so
// that the host can call Configure unattended. Where no window can be made
// at all, the dialog fails to open, which also counts as cancelled.
#pragma once

#include "HostRuntime.h"

class DialogCanceller
{
public:
    DialogCanceller();
    ~DialogCanceller();

    // Windows that were sent Cancel so far.
    long Posted() const { return m_nPosted; }

private:
    static DWORD __stdcall Run(void* pParam);
    static BOOL __stdcall CancelWindow(void* hWnd, intptr_t lParam);

    typedef BOOL(__stdcall* PfnEnumProc)(void*, intptr_t);
    typedef BOOL(__stdcall* PfnEnumThreadWindows)(DWORD, PfnEnumProc, intptr_t);
    typedef BOOL(__stdcall* PfnPostMessageW)(void*, unsigned int, uintptr_t, intptr_t);

    PfnEnumThreadWindows m_pfnEnumThreadWindows = nullptr;
    PfnPostMessageW m_pfnPostMessageW = nullptr;
    DWORD m_nThreadId;
    HANDLE m_hThread = nullptr;
    volatile long m_bStop = 0;
    volatile long m_nPosted = 0;
};
