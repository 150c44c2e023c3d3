// tests/tools/abi/HostRuntime.cpp: the pieces of a runtime that the ABI host
// needs without a C runtime: the memory functions the compiler may call,
// the pure-call handler, heap allocation, text helpers and the report.
#include "HostRuntime.h"

extern "C" {

// The compiler turns copies and clears of objects into these calls, even in
// freestanding code. The file is built with -fno-builtin, so the loops are
// not turned back into calls to themselves.
void* __cdecl memset(void* p, int c, size_t n)
{
    auto* pb = static_cast<unsigned char*>(p);
    for (size_t i = 0; i < n; ++i)
        pb[i] = static_cast<unsigned char>(c);
    return p;
}

void* __cdecl memcpy(void* pDest, const void* pSrc, size_t n)
{
    auto* pd = static_cast<unsigned char*>(pDest);
    const auto* ps = static_cast<const unsigned char*>(pSrc);
    for (size_t i = 0; i < n; ++i)
        pd[i] = ps[i];
    return pDest;
}

// A call through an empty slot of an abstract class: the process cannot go
// on, and the report says so.
int __cdecl _purecall()
{
    PrintLine("FAIL: pure virtual function called");
    ExitProcess(3);
}

} // extern "C"

void* operator new(size_t n)
{
    void* p = HeapAlloc(GetProcessHeap(), 0, n ? n : 1);
    if (!p) {
        PrintLine("FAIL: out of memory in the host");
        ExitProcess(3);
    }
    return p;
}

void operator delete(void* p) noexcept
{
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}

void operator delete(void* p, size_t) noexcept
{
    operator delete(p);
}

namespace
{

// n / 10 by shifts and subtractions: the 32-bit target divides 64-bit
// numbers only with a helper of the C runtime, which the host does not have.
unsigned long long DivideBy10(unsigned long long n, unsigned int* pnRemainder)
{
    unsigned long long nQuotient = 0;
    unsigned int nRest = 0;
    for (int bit = 63; bit >= 0; --bit) {
        nRest = (nRest << 1) | static_cast<unsigned int>((n >> bit) & 1);
        nQuotient <<= 1;
        if (nRest >= 10) {
            nRest -= 10;
            nQuotient |= 1;
        }
    }
    *pnRemainder = nRest;
    return nQuotient;
}

// The decimal digits of n, ending at pEnd (which gets the terminator);
// returns the first digit.
template <typename Char> Char* FormatDecimal(unsigned long long n, Char* pEnd)
{
    *pEnd = 0;
    do {
        unsigned int nDigit = 0;
        n = DivideBy10(n, &nDigit);
        *--pEnd = static_cast<Char>('0' + nDigit);
    } while (n);
    return pEnd;
}

} // namespace

size_t WideLength(const wchar_t* psz)
{
    size_t n = 0;
    while (psz[n])
        ++n;
    return n;
}

bool WideEqual(const wchar_t* a, const wchar_t* b)
{
    size_t i = 0;
    for (; a[i] && a[i] == b[i]; ++i) {
    }
    return a[i] == b[i];
}

bool WideAppend(wchar_t* pszBuffer, size_t nCapacity, const wchar_t* pszTail)
{
    size_t nHead = WideLength(pszBuffer);
    size_t nTail = WideLength(pszTail);
    if (nHead + nTail + 1 > nCapacity)
        return false;
    for (size_t i = 0; i <= nTail; ++i)
        pszBuffer[nHead + i] = pszTail[i];
    return true;
}

bool WideAppendNumber(wchar_t* pszBuffer, size_t nCapacity, unsigned long long n)
{
    wchar_t digits[24];
    return WideAppend(pszBuffer, nCapacity, FormatDecimal(n, digits + 23));
}

bool BytesEqual(const void* a, const void* b, size_t n)
{
    const auto* pa = static_cast<const unsigned char*>(a);
    const auto* pb = static_cast<const unsigned char*>(b);
    for (size_t i = 0; i < n; ++i) {
        if (pa[i] != pb[i])
            return false;
    }
    return true;
}

void Text::Put(char c)
{
    if (m_nLength + 1 < sizeof(m_sz)) {
        m_sz[m_nLength++] = c;
        m_sz[m_nLength] = 0;
    }
}

Text& Text::operator<<(const char* psz)
{
    while (psz && *psz)
        Put(*psz++);
    return *this;
}

Text& Text::operator<<(const wchar_t* psz)
{
    if (!psz)
        return *this << "(null)";
    for (; *psz; ++psz)
        Put(*psz >= 0x20 && *psz < 0x7F ? static_cast<char>(*psz) : '?');
    return *this;
}

Text& Text::operator<<(unsigned long long n)
{
    char digits[24];
    return *this << FormatDecimal(n, digits + 23);
}

Text& Text::operator<<(long long n)
{
    if (n < 0) {
        Put('-');
        return *this << static_cast<unsigned long long>(0) - static_cast<unsigned long long>(n);
    }
    return *this << static_cast<unsigned long long>(n);
}

Text& Text::operator<<(const void* p)
{
    static const char kHex[] = "0123456789abcdef";
    auto n = reinterpret_cast<uintptr_t>(p);
    Put('0');
    Put('x');
    for (int shift = static_cast<int>(sizeof(n) * 8) - 4; shift >= 0; shift -= 4)
        Put(kHex[(n >> shift) & 0xF]);
    return *this;
}

Text& Text::operator<<(Hex h)
{
    static const char kHex[] = "0123456789abcdef";
    Put('0');
    Put('x');
    for (int shift = 28; shift >= 0; shift -= 4)
        Put(kHex[(h.n >> shift) & 0xF]);
    return *this;
}

void PrintLine(const char* psz)
{
    static const DWORD kStdOutput = static_cast<DWORD>(-11);
    HANDLE h = GetStdHandle(kStdOutput);
    size_t n = 0;
    while (psz[n])
        ++n;
    DWORD done = 0;
    WriteFile(h, psz, static_cast<DWORD>(n), &done, nullptr);
    WriteFile(h, "\n", 1, &done, nullptr);
}

Report* Report::s_pActive = nullptr;

Report::Report()
{
    s_pActive = this;
    SetUnhandledExceptionFilter(OnFault);
}

long __stdcall Report::OnFault(EXCEPTION_POINTERS* pInfo)
{
    Report* pSelf = s_pActive;
    const EXCEPTION_RECORD* pRecord = pInfo->ExceptionRecord;
    PrintLine((Text() << "FAIL: exception " << Hex{pRecord->ExceptionCode} << " at "
                      << pRecord->ExceptionAddress << " during " << pSelf->m_pszStage)
                  .c_str());
    ++pSelf->m_nFailed;
    pSelf->Finish();
    ExitProcess(3);
}

bool Report::Check(bool bOk, const Text& name)
{
    PrintLine((Text() << (bOk ? "ok: " : "FAIL: ") << name.c_str()).c_str());
    ++(bOk ? m_nPassed : m_nFailed);
    return bOk;
}

int Report::Finish()
{
    PrintLine((Text() << m_nPassed << " passed, " << m_nFailed << " failed").c_str());
    return m_nFailed ? 1 : 0;
}
