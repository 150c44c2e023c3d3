// tests/tools/abi/HostRuntime.cpp: what the ABI host needs of a runtime: the
// memory functions the compiler may call, the pure-call handler, heap
// allocation and the report.
#include "HostRuntime.h"

extern "C" {

// The compiler turns copies and clears of objects into these calls, even in
// freestanding code; -fno-builtin keeps the loops from becoming calls again.
void* __cdecl memset(void* p, int c, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        static_cast<unsigned char*>(p)[i] = static_cast<unsigned char>(c);
    return p;
}

void* __cdecl memcpy(void* pDest, const void* pSrc, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        static_cast<unsigned char*>(pDest)[i] = static_cast<const unsigned char*>(pSrc)[i];
    return pDest;
}

} // extern "C"

namespace
{

Report* s_pActive = nullptr;

void Print(const char* psz)
{
    DWORD n = 0;
    while (psz[n])
        ++n;
    WriteFile(GetStdHandle(static_cast<DWORD>(-11)), psz, n, &n, nullptr);
}

// 32 bits: the 32-bit target has no 64-bit division without the C runtime.
void PrintNumber(unsigned long n)
{
    char sz[16];
    char* p = sz + sizeof(sz) - 1;
    *p = 0;
    do
        *--p = static_cast<char>('0' + n % 10);
    while (n /= 10);
    Print(p);
}

} // namespace

// A call through an empty slot of an abstract class: the run cannot go on.
extern "C" int __cdecl _purecall()
{
    Print("FAIL: pure virtual function called\n");
    ExitProcess(3);
}

// The deleting destructors of the host's fields name it; nothing is made by new.
void operator delete(void* p) noexcept
{
    HeapFree(GetProcessHeap(), 0, p);
}

bool WideEqual(const wchar_t* a, const wchar_t* b)
{
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

bool BytesEqual(const void* a, const void* b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (static_cast<const unsigned char*>(a)[i] != static_cast<const unsigned char*>(b)[i])
            return false;
    }
    return true;
}

Report::Report()
{
    s_pActive = this;
    SetUnhandledExceptionFilter(OnFault);
}

long __stdcall Report::OnFault(EXCEPTION_POINTERS* pInfo)
{
    Print("FAIL: exception ");
    PrintNumber(*pInfo->pExceptionCode);
    Print(" during ");
    Print(s_pActive->m_pszStage);
    Print("\n");
    ++s_pActive->m_nFailed;
    s_pActive->Finish();
    ExitProcess(3);
}

bool Report::Check(bool bOk, const char* pszName)
{
    Print(bOk ? "ok: " : "FAIL: ");
    Print(pszName);
    Print("\n");
    ++(bOk ? m_nPassed : m_nFailed);
    return bOk;
}

int Report::Finish()
{
    PrintNumber(m_nPassed);
    Print(" passed, ");
    PrintNumber(m_nFailed);
    Print(" failed\n");
    return m_nFailed ? 1 : 0;
}
