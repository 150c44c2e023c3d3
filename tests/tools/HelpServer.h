// tests/tools/HelpServer.h: what the HTML Help control's stand-in was asked.
#pragma once

#include <windows.h>

typedef struct HelpServerCall {
    HWND hOwner;
    WCHAR szFile[1040];
    UINT uCommand;
    DWORD_PTR dwData;
} HelpServerCall;

// The calls so far, and their number in *pnCount.
typedef const HelpServerCall* (*PfnHelpServerCalls)(int* pnCount);
