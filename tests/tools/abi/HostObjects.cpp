// tests/tools/abi/HostObjects.cpp: the host's string manager, CString and
// dialog canceller.
#include "HostObjects.h"

HostStringMgr::HostStringMgr()
{
    m_nil.data = {this, 0, 0, 2}; // the count never drops to 0
    m_nil.terminator = 0;
}

CStringData* HostStringMgr::Allocate(int nAllocLength, int nCharSize)
{
    if (nAllocLength < 0 || nCharSize != sizeof(wchar_t))
        return nullptr;
    size_t bytes = sizeof(CStringData) + (static_cast<size_t>(nAllocLength) + 1) * sizeof(wchar_t);
    auto* pData = static_cast<CStringData*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (!pData)
        return nullptr;
    *pData = {this, 0, nAllocLength, 1};
    pData->data()[0] = 0;
    ++m_nAllocated;
    return pData;
}

void HostStringMgr::Free(CStringData* pData)
{
    if (pData == &m_nil.data || pData->pStringMgr != this) {
        ++m_nWrongFrees;
        return;
    }
    ++m_nFreed;
    HeapFree(GetProcessHeap(), 0, pData);
}

CStringData* HostStringMgr::GetNilString()
{
    m_nil.data.AddRef();
    return &m_nil.data;
}

CString::CString(IAtlStringMgr* pMgr, const wchar_t* psz)
{
    int n = 0;
    while (psz[n])
        ++n;
    CStringData* pData = n ? pMgr->Allocate(n, sizeof(wchar_t)) : nullptr;
    if (!pData) {
        m_pszData = pMgr->GetNilString()->data();
        return;
    }
    memcpy(pData->data(), psz, (static_cast<size_t>(n) + 1) * sizeof(wchar_t));
    pData->nDataLength = n;
    m_pszData = pData->data();
}

namespace
{
typedef BOOL(__stdcall* PfnEnumProc)(void*, intptr_t);
BOOL(__stdcall* s_pfnEnumThreadWindows)(DWORD, PfnEnumProc, intptr_t);
BOOL(__stdcall* s_pfnPostMessageW)(void*, unsigned int, uintptr_t, intptr_t);
DWORD s_nThreadId;
volatile long s_bStop;

// WM_COMMAND with IDCANCEL, as Escape sends it.
BOOL __stdcall CancelWindow(void* hWnd, intptr_t)
{
    s_pfnPostMessageW(hWnd, 0x0111, 2, 0);
    return 1;
}

DWORD __stdcall CancelDialogs(void*)
{
    while (!s_bStop) {
        s_pfnEnumThreadWindows(s_nThreadId, CancelWindow, 0);
        Sleep(50);
    }
    return 0;
}
} // namespace

// user32 is taken at run time, so that the host needs it only here.
DialogCanceller::DialogCanceller()
{
    HMODULE hUser = LoadLibraryW(L"user32.dll");
    if (!hUser)
        return;
    reinterpret_cast<void*&>(s_pfnEnumThreadWindows) = GetProcAddress(hUser, "EnumThreadWindows");
    reinterpret_cast<void*&>(s_pfnPostMessageW) = GetProcAddress(hUser, "PostMessageW");
    s_nThreadId = GetCurrentThreadId();
    s_bStop = 0;
    if (s_pfnEnumThreadWindows && s_pfnPostMessageW)
        m_hThread = CreateThread(nullptr, 0, CancelDialogs, nullptr, 0, nullptr);
}

DialogCanceller::~DialogCanceller()
{
    if (!m_hThread)
        return;
    s_bStop = 1;
    WaitForSingleObject(m_hThread, 0xFFFFFFFF);
    CloseHandle(m_hThread);
}
