// tests/abi/HostRuntime.cpp: the pieces of a runtime that the ABI host
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
    size_t i = sizeof(digits) / sizeof(digits[0]) - 1;
    digits[i] = 0;
    do {
        digits[--i] = static_cast<wchar_t>(L'0' + n % 10);
        n /= 10;
    } while (n);
    return WideAppend(pszBuffer, nCapacity, digits + i);
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
    size_t i = sizeof(digits) - 1;
    digits[i] = 0;
    do {
        digits[--i] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n);
    return *this << digits + i;
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

bool Report::Check(bool bOk, const Text& name)
{
    Text line;
    if (m_pszTodo) {
        line << (bOk ? "ok (todo): " : "todo: ") << name.c_str();
        ++m_nTodoChecks;
        if (!bOk)
            ++m_nTodoFailed;
    } else {
        line << (bOk ? "ok: " : "FAIL: ") << name.c_str();
        ++(bOk ? m_nPassed : m_nFailed);
    }
    PrintLine(line.c_str());
    return bOk;
}

void Report::BeginTodo(const char* pszReason)
{
    m_pszTodo = pszReason;
    m_nTodoChecks = 0;
    m_nTodoFailed = 0;
    PrintLine((Text() << "todo block: " << pszReason).c_str());
}

void Report::EndTodo()
{
    if (m_nTodoChecks > 0 && m_nTodoFailed == 0) {
        PrintLine((Text() << "FAIL: every check passed although marked todo (" << m_pszTodo
                          << "): remove the todo marker")
                      .c_str());
        ++m_nFailed;
    }
    m_pszTodo = nullptr;
}

int Report::Finish()
{
    PrintLine((Text() << m_nPassed << " passed, " << m_nFailed << " failed").c_str());
    return m_nFailed ? 1 : 0;
}
