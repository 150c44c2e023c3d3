// tests/tools/abi/HostObjects.h: the host's own objects that the plug-in calls
// back into: the host's string manager and its field objects. Both count
// the calls they receive, so that a check sees which slot the plug-in used
// and whether it released what the host handed it.
#pragma once

#include "HostApi.h"

// Blocks from the process heap, and a shared empty string that is never
// freed, as MFC's own manager keeps one.
class HostStringMgr final : public IAtlStringMgr
{
public:
    HostStringMgr();
    CStringData* Allocate(int nAllocLength, int nCharSize) override;
    void Free(CStringData* pData) override;
    CStringData* Reallocate(CStringData* pData, int nAllocLength, int nCharSize) override;
    CStringData* GetNilString() override;
    IAtlStringMgr* Clone() override { return this; }

    // Blocks allocated and not freed yet.
    int Outstanding() const { return m_nAllocated - m_nFreed; }

    int m_nAllocated = 0;
    int m_nFreed = 0;
    // Free calls for blocks this manager did not allocate, or for the
    // shared empty string: each is a fault of whoever released it.
    int m_nWrongFrees = 0;

private:
    struct {
        CStringData data;
        wchar_t terminator;
    } m_nil;
};

// A field with a name and a value text. The slots the plug-in has no use
// for record that they were called.
class TestField final : public HostField
{
public:
    TestField(IAtlStringMgr* pMgr, const wchar_t* pszName, const wchar_t* pszValue);

    int Prepare() override;
    const CString& GetName() override;
    CString GetValueText() override;

    int GetType() override { return Stray(1); }
    int GetSize() override { return Stray(2); }
    int IsNull() override { return Stray(4); }
    int GetInt() override { return Stray(5); }
    int SetInt(int) override { return Stray(6); }
    int GetFlags() override { return Stray(7); }
    int SetFlags(int) override { return Stray(8); }
    int GetPrecision() override { return Stray(9); }
    int GetScale() override { return Stray(10); }
    int GetIndex() override { return Stray(12); }
    int Reset() override { return Stray(13); }

    int m_nPrepare = 0;
    int m_nGetName = 0;
    int m_nGetValueText = 0;
    // GetValueText was called before any Prepare.
    bool m_bValueBeforePrepare = false;
    int m_nStray = 0;
    int m_nLastStraySlot = -1;

private:
    int Stray(int nSlot);

    IAtlStringMgr* m_pMgr;
    CString m_name;
    const wchar_t* m_pszValue;
};
