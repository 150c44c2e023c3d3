// tests/tools/abi/HostObjects.cpp: the host's string manager, CString and
// dialog canceller.
#include "HostObjects.h"

HostStringMgr::HostStringMgr()
{
    m_nil = {{this, 0, 0, 2}, 0}; // the count never drops to 0
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
    ++m_nLive;
    return pData;
}

void HostStringMgr::Free(CStringData* pData)
{
    if (pData == &m_nil.data || pData->pStringMgr != this) {
        ++m_nWrongFrees;
        return;
    }
    --m_nLive;
    HeapFree(GetProcessHeap(), 0, pData);
}

CStringData* HostStringMgr::GetNilString()
{
    ++m_nil.data.nRefs;
    return &m_nil.data;
}

CString::CString(IAtlStringMgr* pMgr, const wchar_t* psz)
{
    int n = 0;
    while (psz[n])
        ++n;
    CStringData* pData = n ? pMgr->Allocate(n, sizeof(wchar_t)) : pMgr->GetNilString();
    memcpy(pData->data(), psz, (static_cast<size_t>(n) + 1) * sizeof(wchar_t));
    pData->nDataLength = n;
    m_pszData = pData->data();
}

namespace
{
typedef BOOL(__stdcall* PfnPostMessageW)(void*, unsigned int, uintptr_t, intptr_t);
typedef BOOL(__stdcall* PfnEnumProc)(void*, intptr_t);
typedef BOOL(__stdcall* PfnEnumThreadWindows)(DWORD, PfnEnumProc, intptr_t);
volatile long s_bStop;

// WM_COMMAND with IDCANCEL, as Escape sends it.
BOOL __stdcall CancelWindow(void* hWnd, intptr_t pfnPost)
{
    return reinterpret_cast<PfnPostMessageW>(pfnPost)(hWnd, 0x0111, 2, 0), 1;
}

// user32 is taken at run time, so that the host needs it only here.
DWORD __stdcall CancelDialogs(void* pThreadId)
{
    HMODULE hUser = LoadLibraryW(L"user32.dll");
    auto pfnEnum = reinterpret_cast<PfnEnumThreadWindows>(GetProcAddress(hUser, "EnumThreadWindows"));
    auto pfnPost = reinterpret_cast<intptr_t>(GetProcAddress(hUser, "PostMessageW"));
    for (; !s_bStop; Sleep(50))
        pfnEnum(static_cast<DWORD>(reinterpret_cast<uintptr_t>(pThreadId)), CancelWindow, pfnPost);
    return 0;
}
} // namespace

DialogCanceller::DialogCanceller()
{
    s_bStop = 0;
    void* pThreadId = reinterpret_cast<void*>(static_cast<uintptr_t>(GetCurrentThreadId()));
    m_hThread = CreateThread(nullptr, 0, CancelDialogs, pThreadId, 0, nullptr);
}

DialogCanceller::~DialogCanceller()
{
    s_bStop = 1;
    WaitForSingleObject(m_hThread, 0xFFFFFFFF);
    CloseHandle(m_hThread);
}
