// tests/tools/abi/HostApi.h: the plug-in's interface as a host built with the
// Microsoft compiler and MFC 10 declares it: a virtual destructor in slot 0,
// CString results by value. It shares no header with the plug-in, so the two
// sides meet only in the binary, where the Microsoft C++ ABI decides the layout.
#pragma once

#include <stddef.h>

// Filled by ZRDbGetFilterInfo. The texts belong to the module.
struct FilterInfo {
    unsigned long nVersion;
    unsigned long nType;
    const wchar_t* pszDescription;
    const wchar_t* pszName;
    const wchar_t* pszVersion;
    const wchar_t* pszMaker;
};

static_assert(offsetof(FilterInfo, pszDescription) == 8, "LLP64: a long is 32 bits");

// MFC 10's string manager and string header; the manager that allocated a
// block frees it, whichever module holds the string.
struct CStringData;

class IAtlStringMgr
{
public:
    virtual CStringData* Allocate(int nAllocLength, int nCharSize) = 0;
    virtual void Free(CStringData* pData) = 0;
    virtual CStringData* Reallocate(CStringData* pData, int nAllocLength, int nCharSize) = 0;
    virtual CStringData* GetNilString() = 0;
    virtual IAtlStringMgr* Clone() = 0;
};

struct CStringData {
    IAtlStringMgr* pStringMgr;
    int nDataLength;
    int nAllocLength;
    long nRefs;

    wchar_t* data() { return reinterpret_cast<wchar_t*>(this + 1); }
    void Release()
    {
        if (--nRefs <= 0)
            pStringMgr->Free(this);
    }
};

static_assert(sizeof(CStringData) == (sizeof(void*) == 8 ? 24 : 16), "MFC 10's header size");

// The host's CString: enough to make strings and own those it is returned.
class CString
{
public:
    CString(IAtlStringMgr* pMgr, const wchar_t* psz);
    CString(const CString& other) : m_pszData(other.m_pszData) { ++GetData()->nRefs; }
    CString& operator=(const CString&) = delete;
    ~CString() { GetData()->Release(); }

    const wchar_t* GetString() const { return m_pszData; }
    CStringData* GetData() const { return reinterpret_cast<CStringData*>(m_pszData) - 1; }

private:
    wchar_t* m_pszData;
};

static_assert(sizeof(CString) == sizeof(void*), "a CString is one pointer");

// A field of the host's tables. The plug-in calls Prepare (slot 3), GetName
// (slot 11) and GetValueText (slot 14); the other slots are the host's own.
class HostField
{
public:
    virtual ~HostField() {} // slot 0: one slot, the scalar deleting destructor
    virtual int GetType() = 0;
    virtual int GetSize() = 0;
    virtual int Prepare() = 0;
    virtual int IsNull() = 0;
    virtual int GetInt() = 0;
    virtual int SetInt(int n) = 0;
    virtual int GetFlags() = 0;
    virtual int SetFlags(int n) = 0;
    virtual int GetPrecision() = 0;
    virtual int GetScale() = 0;
    virtual const CString& GetName() = 0;
    virtual int GetIndex() = 0;
    virtual int Reset() = 0;
    virtual CString GetValueText() = 0;
};

// The filter as the host drives it. ZRDbCreateFilter returns the root type;
// the host reaches slots 10 to 12 by casting to the derived interface.
class CZRBasicDbFilter
{
public:
    virtual ~CZRBasicDbFilter() {}
    virtual int ParseOptions(const CString& options) = 0;
    virtual int Commit() = 0;
    virtual CString Configure(int* pbChanged, const wchar_t* pszOptions) = 0;
    virtual int BeginTable(const CString& table, HostField** ppFields, int nFields) = 0;
    virtual int EndTable() = 0;
    virtual int BeginRecord(const wchar_t* pszPath) = 0;
    virtual int EndRecord() = 0;
    virtual int WriteField(HostField* pField) = 0;
    virtual int Reserved9() = 0;
};

class CZRDbFilter : public CZRBasicDbFilter
{
public:
    virtual int ForwardBeginTable(const CString& table, HostField** ppFields, int nFields) = 0;
    virtual int Reserved11(int a, int b, int c) = 0;
    virtual int Reserved12(int a, int b, int c) = 0;
};

// The exports, with the C calling convention. The option exports read no
// argument; hosts have called them with several.
typedef int(__cdecl* PfnGetFilterInfo)(FilterInfo* pInfo);
typedef CZRBasicDbFilter*(__cdecl* PfnCreateFilter)(unsigned long hostValue, const wchar_t* pszKey);
typedef int(__cdecl* PfnOptionsCall0)();
typedef int(__cdecl* PfnOptionsCall6)(int, int, int, int, int, int);
