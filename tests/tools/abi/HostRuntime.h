// tests/tools/abi/HostRuntime.h: what the ABI host takes from the system.
//
// The host links no C runtime, so that nothing but the Microsoft C++ ABI
// stands between it and the plug-in: it imports the few kernel32 functions
// it needs, declared here, and brings its own heap allocation, text helpers
// and report of results.
#pragma once

#include <stddef.h>
#include <stdint.h>

typedef void* HANDLE;
typedef void* HMODULE;
typedef int BOOL;
typedef unsigned long DWORD;

#define HOST_IMPORT extern "C" __declspec(dllimport)

HOST_IMPORT HANDLE __stdcall GetStdHandle(DWORD nStdHandle);
HOST_IMPORT BOOL __stdcall WriteFile(HANDLE h, const void* p, DWORD n, DWORD* pDone, void* pOverlapped);
HOST_IMPORT BOOL __stdcall ReadFile(HANDLE h, void* p, DWORD n, DWORD* pDone, void* pOverlapped);
HOST_IMPORT HANDLE __stdcall CreateFileW(const wchar_t* pszName, DWORD access, DWORD share, void* pSecurity,
                                         DWORD disposition, DWORD flags, HANDLE hTemplate);
HOST_IMPORT BOOL __stdcall CloseHandle(HANDLE h);
HOST_IMPORT BOOL __stdcall DeleteFileW(const wchar_t* pszName);
HOST_IMPORT BOOL __stdcall CreateDirectoryW(const wchar_t* pszName, void* pSecurity);
HOST_IMPORT BOOL __stdcall RemoveDirectoryW(const wchar_t* pszName);
HOST_IMPORT DWORD __stdcall GetTempPathW(DWORD nUnits, wchar_t* pszBuffer);
HOST_IMPORT __declspec(noreturn) void __stdcall ExitProcess(unsigned int code);
HOST_IMPORT const wchar_t* __stdcall GetCommandLineW();
HOST_IMPORT HMODULE __stdcall LoadLibraryW(const wchar_t* pszName);
HOST_IMPORT void* __stdcall GetProcAddress(HMODULE h, const char* pszName);
HOST_IMPORT DWORD __stdcall GetLastError();
HOST_IMPORT HANDLE __stdcall GetProcessHeap();
HOST_IMPORT void* __stdcall HeapAlloc(HANDLE hHeap, DWORD flags, size_t n);
HOST_IMPORT BOOL __stdcall HeapFree(HANDLE hHeap, DWORD flags, void* p);
HOST_IMPORT HANDLE __stdcall GetCurrentProcess();
HOST_IMPORT DWORD __stdcall GetCurrentProcessId();
HOST_IMPORT DWORD __stdcall GetCurrentThreadId();
HOST_IMPORT HANDLE __stdcall CreateThread(void* pSecurity, size_t nStack, DWORD(__stdcall* pfnStart)(void*),
                                          void* pParam, DWORD flags, DWORD* pThreadId);
HOST_IMPORT DWORD __stdcall WaitForSingleObject(HANDLE h, DWORD ms);
HOST_IMPORT void __stdcall Sleep(DWORD ms);

struct EXCEPTION_RECORD {
    DWORD ExceptionCode;
    DWORD ExceptionFlags;
    EXCEPTION_RECORD* ExceptionRecord;
    void* ExceptionAddress;
};
struct EXCEPTION_POINTERS {
    EXCEPTION_RECORD* ExceptionRecord;
    void* ContextRecord;
};
typedef long(__stdcall* PfnTopLevelFilter)(EXCEPTION_POINTERS* pInfo);
HOST_IMPORT PfnTopLevelFilter __stdcall SetUnhandledExceptionFilter(PfnTopLevelFilter pfnFilter);

struct PROCESS_MEMORY_COUNTERS {
    DWORD cb;
    DWORD PageFaultCount;
    size_t PeakWorkingSetSize;
    size_t WorkingSetSize;
    size_t QuotaPeakPagedPoolUsage;
    size_t QuotaPagedPoolUsage;
    size_t QuotaPeakNonPagedPoolUsage;
    size_t QuotaNonPagedPoolUsage;
    size_t PagefileUsage;
    size_t PeakPagefileUsage;
};
HOST_IMPORT BOOL __stdcall K32GetProcessMemoryInfo(HANDLE hProcess, PROCESS_MEMORY_COUNTERS* p, DWORD cb);

#define HOST_INVALID_HANDLE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

// The memory functions the compiler may also call on its own.
extern "C" void* __cdecl memset(void* p, int c, size_t n);
extern "C" void* __cdecl memcpy(void* pDest, const void* pSrc, size_t n);

// Text helpers over UTF-16 and bytes.
size_t WideLength(const wchar_t* psz);
bool WideEqual(const wchar_t* a, const wchar_t* b);
// Appends pszTail to the text in pszBuffer (capacity in units); false when
// it does not fit, with the buffer unchanged.
bool WideAppend(wchar_t* pszBuffer, size_t nCapacity, const wchar_t* pszTail);
bool WideAppendNumber(wchar_t* pszBuffer, size_t nCapacity, unsigned long long n);
bool BytesEqual(const void* a, const void* b, size_t n);

// A number shown in hexadecimal.
struct Hex {
    unsigned long n;
};

// One line of the report, built in a fixed buffer and cut when too long.
class Text
{
public:
    Text() { m_sz[0] = 0; }
    Text& operator<<(const char* psz);
    Text& operator<<(const wchar_t* psz); // non-ASCII units are shown as '?'
    Text& operator<<(long long n);
    Text& operator<<(int n) { return *this << static_cast<long long>(n); }
    Text& operator<<(long n) { return *this << static_cast<long long>(n); }
    Text& operator<<(unsigned int n) { return *this << static_cast<unsigned long long>(n); }
    Text& operator<<(unsigned long n) { return *this << static_cast<unsigned long long>(n); }
    Text& operator<<(unsigned long long n);
    Text& operator<<(const void* p);
    Text& operator<<(Hex h);
    const char* c_str() const { return m_sz; }

private:
    void Put(char c);
    char m_sz[400];
    size_t m_nLength = 0;
};

// Writes a line to standard output.
void PrintLine(const char* psz);

// The checks' tally.
class Report
{
public:
    // A fault that no one handles ends the run with a failure named after
    // the stage the host was in, and the tally so far.
    Report();
    void Stage(const char* pszStage) { m_pszStage = pszStage; }

    bool Check(bool bOk, const Text& name);
    // Prints the tally and returns the process's exit code.
    int Finish();

private:
    static long __stdcall OnFault(EXCEPTION_POINTERS* pInfo);
    static Report* s_pActive;

    const char* m_pszStage = "start";
    int m_nPassed = 0;
    int m_nFailed = 0;
};
