// tests/tools/abi/HostRuntime.h: what the ABI host takes from the system. It
// links no C runtime, so that nothing but the Microsoft C++ ABI stands between
// it and the plug-in: a few kernel32 imports, its own memory functions and report.
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
HOST_IMPORT __declspec(noreturn) void __stdcall ExitProcess(unsigned int code);
HOST_IMPORT HMODULE __stdcall LoadLibraryW(const wchar_t* pszName);
HOST_IMPORT void* __stdcall GetProcAddress(HMODULE h, const char* pszName);
HOST_IMPORT HANDLE __stdcall GetProcessHeap();
HOST_IMPORT void* __stdcall HeapAlloc(HANDLE hHeap, DWORD flags, size_t n);
HOST_IMPORT BOOL __stdcall HeapFree(HANDLE hHeap, DWORD flags, void* p);
HOST_IMPORT HANDLE __stdcall GetCurrentProcess();
HOST_IMPORT DWORD __stdcall GetCurrentThreadId();
HOST_IMPORT HANDLE __stdcall CreateThread(void* pSecurity, size_t nStack, DWORD(__stdcall* pfnStart)(void*),
                                          void* pParam, DWORD flags, DWORD* pThreadId);
HOST_IMPORT DWORD __stdcall WaitForSingleObject(HANDLE h, DWORD ms);
HOST_IMPORT void __stdcall Sleep(DWORD ms);

struct EXCEPTION_POINTERS {
    DWORD* pExceptionCode; // the record starts with the code
    void* ContextRecord;
};
typedef long(__stdcall* PfnTopLevelFilter)(EXCEPTION_POINTERS* pInfo);
HOST_IMPORT PfnTopLevelFilter __stdcall SetUnhandledExceptionFilter(PfnTopLevelFilter pfnFilter);

struct PROCESS_MEMORY_COUNTERS {
    DWORD cb;
    DWORD PageFaultCount;
    size_t nSizes[6];
    size_t PagefileUsage;
    size_t PeakPagefileUsage;
};
HOST_IMPORT BOOL __stdcall K32GetProcessMemoryInfo(HANDLE hProcess, PROCESS_MEMORY_COUNTERS* p, DWORD cb);

// The memory functions the compiler may also call on its own.
extern "C" void* __cdecl memset(void* p, int c, size_t n);
extern "C" void* __cdecl memcpy(void* pDest, const void* pSrc, size_t n);

bool WideEqual(const wchar_t* a, const wchar_t* b);
bool BytesEqual(const void* a, const void* b, size_t n);

// The checks' tally: a line per check, "ok: " or "FAIL: " and its name. A
// fault that no one handles ends the run, named after the stage it was in.
class Report
{
public:
    Report();
    void Stage(const char* pszStage) { m_pszStage = pszStage; }
    bool Check(bool bOk, const char* pszName);
    // Prints the tally and returns the process's exit code.
    int Finish();

private:
    static long __stdcall OnFault(EXCEPTION_POINTERS* pInfo);

    const char* m_pszStage = "start";
    int m_nPassed = 0;
    int m_nFailed = 0;
};
