// mfc/Module.cpp: extension-module registration, the resource chain, the
// thread object and the message box.
#include "Afx.h"

namespace
{
CDynLinkLibrary* g_pFirstDLL = nullptr;
}

HINSTANCE g_hInstance = nullptr;

// Records the module; its resources come from the module itself.
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (state.bInitialized)
        return TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.pFirstSharedClass = nullptr;
    state.pFirstSharedFactory = nullptr;
    state.bInitialized = TRUE;
    return TRUE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem), m_pNextDLL(g_pFirstDLL)
{
    g_pFirstDLL = this;
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    for (CDynLinkLibrary** pp = &g_pFirstDLL; *pp; pp = &(*pp)->m_pNextDLL) {
        if (*pp == this) {
            *pp = m_pNextDLL;
            break;
        }
    }
}

CDynLinkLibrary* AfxGetFirstDynLinkLibrary()
{
    return g_pFirstDLL;
}

HMODULE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType)
{
    for (CDynLinkLibrary* p = g_pFirstDLL; p; p = p->m_pNextDLL)
        if (p->m_hResource && FindResourceW(p->m_hResource, lpszName, lpszType))
            return p->m_hResource;
    return nullptr;
}

CWinThread* AfxGetThread()
{
    static thread_local CWinThread t_thread;
    return &t_thread;
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT)
{
    return MessageBoxW(AfxGetThread()->m_hMainWnd, lpszText, nullptr, nType);
}
