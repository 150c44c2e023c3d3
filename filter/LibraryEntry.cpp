// filter/LibraryEntry.cpp: the module's entry, which puts the module into
// the resource chain so that its dialogs and strings are found.
#include "LibraryEntry.h"

#include <new>

namespace
{
AFX_EXTENSION_MODULE g_extensionModule = {FALSE, nullptr, nullptr, nullptr, nullptr};
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        AfxInitExtensionModule(g_extensionModule, hInstance);
        g_hInstance = hInstance;
        // The link stays in the chain for the life of the process.
        new (std::nothrow) CDynLinkLibrary(g_extensionModule);
    }
    return TRUE;
}
