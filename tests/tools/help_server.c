/* tests/tools/help_server.c: stands in for the HTML Help control, exporting
 * the help entry under the control's ordinal only, and records each request
 * for the tests to read through HelpServerCalls. */
#include "HelpServer.h"

static HelpServerCall s_calls[64];
static int s_nCalls;

HWND WINAPI HtmlHelpW(HWND hOwner, LPCWSTR pszFile, UINT uCommand, DWORD_PTR dwData)
{
    if (s_nCalls < 64) {
        HelpServerCall* pCall = &s_calls[s_nCalls++];
        pCall->hOwner = hOwner;
        lstrcpynW(pCall->szFile, pszFile ? pszFile : L"", 1040);
        pCall->uCommand = uCommand;
        pCall->dwData = dwData;
    }
    return NULL;
}

const HelpServerCall* HelpServerCalls(int* pnCount)
{
    *pnCount = s_nCalls;
    return s_calls;
}
