/* tests/tools/help_server.c: stands in for the HTML Help control. It
 * exports the help entry under the control's ordinal only, and records each
 * request, which the tests read through HelpServerCallCount and
 * HelpServerGetCall. */
#include "HelpServer.h"

#define MAX_CALLS 64

static HelpServerCall s_calls[MAX_CALLS];
static int s_nCalls;

HWND WINAPI HtmlHelpW(HWND hOwner, LPCWSTR pszFile, UINT uCommand, DWORD_PTR dwData)
{
    if (s_nCalls < MAX_CALLS) {
        HelpServerCall* pCall = &s_calls[s_nCalls++];
        pCall->hOwner = hOwner;
        lstrcpynW(pCall->szFile, pszFile ? pszFile : L"", sizeof(pCall->szFile) / sizeof(WCHAR));
        pCall->uCommand = uCommand;
        pCall->dwData = dwData;
    }
    return NULL;
}

int HelpServerCallCount(void)
{
    return s_nCalls;
}

const HelpServerCall* HelpServerGetCall(int nIndex)
{
    return nIndex >= 0 && nIndex < s_nCalls ? &s_calls[nIndex] : NULL;
}
