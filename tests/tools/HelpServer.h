// tests/tools/HelpServer.h: what the HTML Help control's stand-in was asked.
#pragma once

#include <windows.h>

typedef struct HelpServerCall {
    HWND hOwner;
    WCHAR szFile[1040];
    UINT uCommand;
    DWORD_PTR dwData;
} HelpServerCall;

typedef int (*PfnHelpServerCallCount)(void);
typedef const HelpServerCall* (*PfnHelpServerGetCall)(int nIndex);
