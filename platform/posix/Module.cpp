// platform/posix/Module.cpp: the library entry, resources and message
// boxes of a module on Linux.
#include "../Platform.h"

#include <dlfcn.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);

namespace
{

// The loader's attach call: on Windows the runtime calls DllMain when the
// process attaches the module; here the dynamic loader runs this at load.
// The module's handle is the address at which it was loaded. There is no
// detach call: on Windows it does nothing either.
__attribute__((constructor)) void AttachModule()
{
    Dl_info info{};
    HINSTANCE hInstance = nullptr;
    if (dladdr(reinterpret_cast<void*>(&AttachModule), &info) && info.dli_fbase)
        hInstance = static_cast<HINSTANCE>(info.dli_fbase);
    DllMain(hInstance, DLL_PROCESS_ATTACH, nullptr);
}

} // namespace

// FindResourceW: Linux builds carry no resources, so no lookup succeeds.
HRSRC FindResourceW(HMODULE, LPCWSTR, LPCWSTR)
{
    return nullptr;
}

// MessageBoxW: there is no window system to show the box on; it is
// answered at once with OK, the button of every box the product shows.
int MessageBoxW(HWND, LPCWSTR, LPCWSTR, UINT)
{
    return IDOK;
}

// GetModuleHandleW: the host's modules (dialog.dll, idx.zrx) are never
// loaded into a Linux process, so no module is found by name.
HMODULE GetModuleHandleW(LPCWSTR)
{
    return nullptr;
}

// GetModuleFileNameW: Linux paths are no Windows paths; no name is given,
// as for a module Windows does not know.
DWORD GetModuleFileNameW(HMODULE, LPWSTR lpFilename, DWORD nSize)
{
    if (lpFilename && nSize)
        lpFilename[0] = 0;
    return 0;
}

// LoadLibraryA: the libraries the product loads by name (the HTML Help
// control) are Windows libraries; none can be loaded.
HMODULE LoadLibraryA(LPCSTR)
{
    return nullptr;
}

FARPROC GetProcAddress(HMODULE, LPCSTR)
{
    return nullptr;
}

// LoadStringW: Linux builds carry no resources; the buffer is made empty,
// as Windows leaves it for a missing string.
int LoadStringW(HINSTANCE, UINT, LPWSTR lpBuffer, int cchBufferMax)
{
    if (lpBuffer && cchBufferMax > 0)
        lpBuffer[0] = 0;
    return 0;
}

// ExpandEnvironmentStringsA: only the registered help server's path is
// expanded, and Linux registers none; the call fails.
DWORD ExpandEnvironmentStringsA(LPCSTR, LPSTR, DWORD)
{
    return 0;
}
