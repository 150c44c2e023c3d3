// tests/tools/abi/HostObjects.h: the host's own objects that the plug-in calls
// back into, the host's string manager and its fields, which count the calls
// they receive, and the canceller of the plug-in's dialogs.
#pragma once

#include "HostApi.h"
#include "HostRuntime.h"

// Blocks from the process heap, and a shared empty string that is never
// freed, as MFC's own manager keeps one.
class HostStringMgr final : public IAtlStringMgr
{
public:
    HostStringMgr();
    CStringData* Allocate(int nAllocLength, int nCharSize) override;
    void Free(CStringData* pData) override;
    // The module changes no string of the host's.
    CStringData* Reallocate(CStringData*, int, int) override { return nullptr; }
    CStringData* GetNilString() override;
    IAtlStringMgr* Clone() override { return this; }

    int Outstanding() const { return m_nAllocated - m_nFreed; }

    int m_nAllocated = 0;
    int m_nFreed = 0;
    // Frees of blocks this manager did not allocate, or of the shared empty
    // string: each is a fault of whoever released it.
    int m_nWrongFrees = 0;

private:
    struct {
        CStringData data;
        wchar_t terminator;
    } m_nil;
};

// A field with a name and a value text. The slots the plug-in has no use
// for count as stray calls.
class TestField final : public HostField
{
public:
    TestField(IAtlStringMgr* pMgr, const wchar_t* pszName, const wchar_t* pszValue)
        : m_pMgr(pMgr), m_name(pMgr, pszName), m_pszValue(pszValue)
    {
    }

    int Prepare() override { return ++m_nPrepare, 0; }
    const CString& GetName() override { return ++m_nGetName, m_name; }
    // A new string of the host's manager, which the plug-in must release
    // through the manager named in its header.
    CString GetValueText() override
    {
        m_bValueBeforePrepare |= m_nPrepare == 0;
        ++m_nGetValueText;
        return CString(m_pMgr, m_pszValue);
    }

    int GetType() override { return Stray(); }
    int GetSize() override { return Stray(); }
    int IsNull() override { return Stray(); }
    int GetInt() override { return Stray(); }
    int SetInt(int) override { return Stray(); }
    int GetFlags() override { return Stray(); }
    int SetFlags(int) override { return Stray(); }
    int GetPrecision() override { return Stray(); }
    int GetScale() override { return Stray(); }
    int GetIndex() override { return Stray(); }
    int Reset() override { return Stray(); }

    int m_nPrepare = 0;
    int m_nGetName = 0;
    int m_nGetValueText = 0;
    bool m_bValueBeforePrepare = false;
    int m_nStray = 0;

private:
    int Stray() { return ++m_nStray, 0; }

    IAtlStringMgr* m_pMgr;
    CString m_name;
    const wchar_t* m_pszValue;
};

// Configure shows the settings dialog and returns when it closes. While a
// canceller lives, a second thread posts Cancel to every window of this
// thread, as a user pressing Escape would. Where no window can be made, the
// dialog fails to open, which also counts as cancelled.
class DialogCanceller
{
public:
    DialogCanceller();
    ~DialogCanceller();

private:
    HANDLE m_hThread = nullptr;
};
