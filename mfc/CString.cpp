// mfc/CString.cpp: CString and the module's string manager.
#include "Afx.h"

#include <new>

namespace
{

// Blocks hold the header, nAllocLength + 1 units, and come from this
// module's heap; only this manager frees them.
class ModuleStringMgr final : public IAtlStringMgr
{
public:
    ModuleStringMgr()
    {
        m_nil.data.pStringMgr = this;
        m_nil.data.nDataLength = 0;
        m_nil.data.nAllocLength = 0;
        m_nil.data.nRefs = 2; // never reaches 0: the shared empty string is not freed
        m_nil.terminator = 0;
    }

    CStringData* ZRCALL Allocate(int nAllocLength, int nCharSize) override
    {
        if (nAllocLength < 0 || nCharSize != sizeof(WCHAR))
            return nullptr;
        size_t bytes = sizeof(CStringData) + (static_cast<size_t>(nAllocLength) + 1) * sizeof(WCHAR);
        auto* pData = static_cast<CStringData*>(::operator new(bytes, std::nothrow));
        if (!pData)
            return nullptr;
        pData->pStringMgr = this;
        pData->nDataLength = 0;
        pData->nAllocLength = nAllocLength;
        pData->nRefs = 1;
        return pData;
    }

    void ZRCALL Free(CStringData* pData) override { ::operator delete(pData); }

    CStringData* ZRCALL Reallocate(CStringData* pData, int nAllocLength, int nCharSize) override
    {
        CStringData* pNew = Allocate(nAllocLength, nCharSize);
        if (!pNew)
            return nullptr;
        int keep = pData->nDataLength < nAllocLength ? pData->nDataLength : nAllocLength;
        memcpy(pNew->data(), pData->data(), (static_cast<size_t>(keep) + 1) * sizeof(WCHAR));
        pNew->nDataLength = keep;
        Free(pData);
        return pNew;
    }

    CStringData* ZRCALL GetNilString() override
    {
        m_nil.data.AddRef();
        return &m_nil.data;
    }

    IAtlStringMgr* ZRCALL Clone() override { return this; }

private:
    struct {
        CStringData data;
        WCHAR terminator;
    } m_nil;
};

} // namespace

IAtlStringMgr* AfxGetStringManager()
{
    static ModuleStringMgr s_manager;
    return &s_manager;
}

// The count changes atomically, as MFC's does: filters on different threads
// share the empty string, and a lost update would free it.
void CStringData::AddRef()
{
    __atomic_add_fetch(&nRefs, 1, __ATOMIC_RELAXED);
}

// A block goes back to the manager that allocated it, which may be the
// host's: a CString the host returned is released through the host's heap.
void CStringData::Release()
{
    if (__atomic_sub_fetch(&nRefs, 1, __ATOMIC_ACQ_REL) <= 0)
        pStringMgr->Free(this);
}

CString::CString()
{
    Attach(AfxGetStringManager()->GetNilString());
}

CString::CString(const WCHAR* psz)
{
    Attach(AfxGetStringManager()->GetNilString());
    if (psz)
        SetText(psz, lstrlenW(psz));
}

CString::CString(const CString& other)
{
    CStringData* pData = other.GetData();
    if (pData->nRefs < 0) {
        Attach(AfxGetStringManager()->GetNilString());
        SetText(other.m_pszData, pData->nDataLength);
        return;
    }
    pData->AddRef();
    Attach(pData);
}

CString::~CString()
{
    GetData()->Release();
}

CString& CString::operator=(const CString& other)
{
    if (this != &other) {
        CString copy(other);
        CStringData* pMine = GetData();
        m_pszData = copy.m_pszData;
        copy.Attach(pMine);
    }
    return *this;
}

CString& CString::operator=(const WCHAR* psz)
{
    if (!psz) {
        Empty();
        return *this;
    }
    CString copy(psz);
    return *this = copy;
}

void CString::Empty()
{
    GetData()->Release();
    Attach(AfxGetStringManager()->GetNilString());
}

// Gives the string a block of its own holding nLength units of psz. When no
// memory can be had the string keeps its text: no exception leaves here.
bool CString::SetText(const WCHAR* psz, int nLength)
{
    if (nLength == 0) {
        Empty();
        return true;
    }
    CStringData* pNew = AfxGetStringManager()->Allocate(nLength, sizeof(WCHAR));
    if (!pNew)
        return false;
    memcpy(pNew->data(), psz, static_cast<size_t>(nLength) * sizeof(WCHAR));
    pNew->data()[nLength] = 0;
    pNew->nDataLength = nLength;
    GetData()->Release();
    Attach(pNew);
    return true;
}
