// filter/LibraryEntry.h: the module's instance handle, set once at load.
#pragma once

#include "../mfc/Afx.h"

// The dialogs and the file browser load the module's own resources with it.
extern HINSTANCE g_hInstance;

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);
