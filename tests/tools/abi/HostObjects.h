// tests/tools/abi/HostObjects.h: the host's own objects that the plug-in
// calls back into (its string manager and fields, counting what they get),
// and the canceller of the plug-in's dialogs.
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

    int m_nLive = 0;
    // Frees of the shared empty string or of blocks of another manager.
    int m_nWrongFrees = 0;

private:
    struct {
        CStringData data;
        wchar_t terminator;
    } m_nil;
};

// A field with a name and a value text; a call to a slot the plug-in has
// no use for counts as stray.
class TestField final : public HostField
{
public:
    TestField(IAtlStringMgr* pMgr, const wchar_t* pszName, const wchar_t* pszValue)
        : m_pMgr(pMgr), m_name(pMgr, pszName), m_pszValue(pszValue)
    {
    }

    int Prepare() override { return ++m_nPrepare, 0; }
    const CString& GetName() override { return ++m_nGetName, m_name; }
    // A new string of the host's manager: the plug-in must release it
    // through the manager named in its header.
    CString GetValueText() override
    {
        m_bValueBeforePrepare |= m_nPrepare == 0;
        ++m_nGetValueText;
        return CString(m_pMgr, m_pszValue);
    }

    int GetType() override { return ++m_nStray; }
    int GetSize() override { return ++m_nStray; }
    int IsNull() override { return ++m_nStray; }
    int GetInt() override { return ++m_nStray; }
    int SetInt(int) override { return ++m_nStray; }
    int GetFlags() override { return ++m_nStray; }
    int SetFlags(int) override { return ++m_nStray; }
    int GetPrecision() override { return ++m_nStray; }
    int GetScale() override { return ++m_nStray; }
    int GetIndex() override { return ++m_nStray; }
    int Reset() override { return ++m_nStray; }

    int m_nPrepare = 0, m_nGetName = 0, m_nGetValueText = 0, m_nStray = 0;
    bool m_bValueBeforePrepare = false;

private:
    IAtlStringMgr* m_pMgr;
    CString m_name;
    const wchar_t* m_pszValue;
};

// While a canceller lives, a second thread posts Cancel to every window of
// this thread, as a user pressing Escape would. Where no window can be made,
// the dialog fails to open, which also counts as cancelled.
class DialogCanceller
{
public:
    DialogCanceller();
    ~DialogCanceller();

private:
    HANDLE m_hThread;
};
