// filter/LibraryEntry.h: the module's entry, which sets g_hInstance and
// puts the module into the resource chain at load.
#pragma once

#include "../mfc/Afx.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);
