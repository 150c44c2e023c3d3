// tests/tools/abi/DialogCanceller.cpp: the thread that cancels dialogs.
#include "DialogCanceller.h"

namespace
{
const unsigned int kWmCommand = 0x0111;
const uintptr_t kIdCancel = 2;
const DWORD kPollMs = 50;
} // namespace

// user32 is taken at run time, so the host does not depend on it when no
// dialog is ever shown.
DialogCanceller::DialogCanceller() : m_nThreadId(GetCurrentThreadId())
{
    HMODULE hUser = LoadLibraryW(L"user32.dll");
    if (!hUser)
        return;
    m_pfnEnumThreadWindows =
        reinterpret_cast<PfnEnumThreadWindows>(GetProcAddress(hUser, "EnumThreadWindows"));
    m_pfnPostMessageW = reinterpret_cast<PfnPostMessageW>(GetProcAddress(hUser, "PostMessageW"));
    if (m_pfnEnumThreadWindows && m_pfnPostMessageW)
        m_hThread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

DialogCanceller::~DialogCanceller()
{
    if (!m_hThread)
        return;
    m_bStop = 1;
    WaitForSingleObject(m_hThread, 0xFFFFFFFF);
    CloseHandle(m_hThread);
}

DWORD __stdcall DialogCanceller::Run(void* pParam)
{
    auto* pSelf = static_cast<DialogCanceller*>(pParam);
    while (!pSelf->m_bStop) {
        pSelf->m_pfnEnumThreadWindows(pSelf->m_nThreadId, CancelWindow, reinterpret_cast<intptr_t>(pSelf));
        Sleep(kPollMs);
    }
    return 0;
}

BOOL __stdcall DialogCanceller::CancelWindow(void* hWnd, intptr_t lParam)
{
    auto* pSelf = reinterpret_cast<DialogCanceller*>(lParam);
    if (pSelf->m_pfnPostMessageW(hWnd, kWmCommand, kIdCancel, 0))
        pSelf->m_nPosted = pSelf->m_nPosted + 1;
    return 1;
}
