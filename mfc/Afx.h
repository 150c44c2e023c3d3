// mfc/Afx.h: the few pieces of MFC 10 (Unicode) that the plug-in uses,
// made by us so that the module needs no MFC library.
//
// CString keeps the binary layout of MFC 10's CStringT<wchar_t>: the object
// is one pointer to the characters, which follow a header of {string
// manager, data length, allocated length, reference count}. A CString made
// by an MFC host can therefore be read and released here, and one made here
// can be read and released by the host, each through the string manager
// that allocated it. docs/ARCHITECTURE.md lists what a real MFC host sees
// differently.
#pragma once

#include "../platform/Platform.h"

class IAtlStringMgr;

// The header before every CString's characters.
struct CStringData {
    IAtlStringMgr* pStringMgr;
    int32_t nDataLength;  // units before the terminator
    int32_t nAllocLength; // units the block holds, terminator not counted
    int32_t nRefs;        // below 0: locked to one owner

    WCHAR* data() { return reinterpret_cast<WCHAR*>(this + 1); }
    void AddRef();
    void Release();
    bool IsShared() const { return nRefs > 1; }
};

// The string manager interface, in the order of its virtual table.
class IAtlStringMgr
{
public:
    virtual CStringData* ZRCALL Allocate(int nAllocLength, int nCharSize) = 0;
    virtual void ZRCALL Free(CStringData* pData) = 0;
    virtual CStringData* ZRCALL Reallocate(CStringData* pData, int nAllocLength, int nCharSize) = 0;
    virtual CStringData* ZRCALL GetNilString() = 0;
    virtual IAtlStringMgr* ZRCALL Clone() = 0;

protected:
    ~IAtlStringMgr() = default;
};

// The module's own string manager: blocks from the module's heap, and one
// shared empty string that is never freed.
IAtlStringMgr* AfxGetStringManager();

class CString
{
public:
    CString();
    CString(const WCHAR* psz);
    CString(const CString& other);
    ~CString();
    CString& operator=(const CString& other);
    CString& operator=(const WCHAR* psz);

    operator const WCHAR*() const { return m_pszData; }
    const WCHAR* GetString() const { return m_pszData; }
    int GetLength() const { return GetData()->nDataLength; }
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty();

private:
    CStringData* GetData() const { return reinterpret_cast<CStringData*>(m_pszData) - 1; }
    void Attach(CStringData* pData) { m_pszData = pData->data(); }
    bool SetText(const WCHAR* psz, int nLength);

    WCHAR* m_pszData;
};

static_assert(sizeof(CString) == sizeof(void*), "a CString is one pointer");

// Extension-module registration.
struct CRuntimeClass;
class COleObjectFactory;

struct AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
    CRuntimeClass* pFirstSharedClass;
    COleObjectFactory* pFirstSharedFactory;
};

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);

// The module's own instance handle, which its entry point sets at load: its
// dialogs, strings and file browser are loaded from it.
extern HINSTANCE g_hInstance;

// One link of the process-wide resource chain. Constructing one puts its
// module's resources into the chain; resource lookups search the chain from
// the most recent link on.
class CDynLinkLibrary
{
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    ~CDynLinkLibrary();

    HMODULE m_hModule;
    HMODULE m_hResource;
    BOOL m_bSystem;
    CDynLinkLibrary* m_pNextDLL;
};

// The chain's most recent link, null when empty.
CDynLinkLibrary* AfxGetFirstDynLinkLibrary();

// The module in the chain that holds the resource (name and type as
// FindResourceW takes them), or null.
HMODULE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType);

// The thread object of the calling thread: the owner of modal dialogs.
class CWinThread
{
public:
    HWND m_hMainWnd = nullptr;
};
CWinThread* AfxGetThread();

// A message box owned by the thread's main window; returns the button.
int AfxMessageBox(LPCWSTR lpszText, UINT nType = 0, UINT nIDHelp = 0);
