/* tests/tools/empty_module.c: a module with nothing in it, built under the
 * names of the host's modules whose folders the dialogs look at. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved)
{
    return TRUE;
}
