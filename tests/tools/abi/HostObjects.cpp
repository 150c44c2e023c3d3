// tests/tools/abi/HostObjects.cpp: the host's string manager, CString and fields.
#include "HostObjects.h"

#include "HostRuntime.h"

HostStringMgr::HostStringMgr()
{
    m_nil.data.pStringMgr = this;
    m_nil.data.nDataLength = 0;
    m_nil.data.nAllocLength = 0;
    m_nil.data.nRefs = 2; // never drops to 0
    m_nil.terminator = 0;
}

CStringData* HostStringMgr::Allocate(int nAllocLength, int nCharSize)
{
    if (nAllocLength < 0 || nCharSize != sizeof(wchar_t))
        return nullptr;
    size_t bytes = sizeof(CStringData) + (static_cast<size_t>(nAllocLength) + 1) * sizeof(wchar_t);
    auto* pData = static_cast<CStringData*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (!pData)
        return nullptr;
    pData->pStringMgr = this;
    pData->nDataLength = 0;
    pData->nAllocLength = nAllocLength;
    pData->nRefs = 1;
    pData->data()[0] = 0;
    ++m_nAllocated;
    return pData;
}

void HostStringMgr::Free(CStringData* pData)
{
    if (pData == &m_nil.data || pData->pStringMgr != this) {
        ++m_nWrongFrees;
        return;
    }
    ++m_nFreed;
    HeapFree(GetProcessHeap(), 0, pData);
}

CStringData* HostStringMgr::Reallocate(CStringData* pData, int nAllocLength, int nCharSize)
{
    CStringData* pNew = Allocate(nAllocLength, nCharSize);
    if (!pNew)
        return nullptr;
    int nKeep = pData->nDataLength < nAllocLength ? pData->nDataLength : nAllocLength;
    for (int i = 0; i < nKeep; ++i)
        pNew->data()[i] = pData->data()[i];
    pNew->data()[nKeep] = 0;
    pNew->nDataLength = nKeep;
    Free(pData);
    return pNew;
}

CStringData* HostStringMgr::GetNilString()
{
    m_nil.data.AddRef();
    return &m_nil.data;
}

CString::CString(IAtlStringMgr* pMgr, const wchar_t* psz)
{
    int n = static_cast<int>(WideLength(psz));
    CStringData* pData = n ? pMgr->Allocate(n, sizeof(wchar_t)) : nullptr;
    if (!pData) {
        m_pszData = pMgr->GetNilString()->data();
        return;
    }
    for (int i = 0; i <= n; ++i)
        pData->data()[i] = psz[i];
    pData->nDataLength = n;
    m_pszData = pData->data();
}

TestField::TestField(IAtlStringMgr* pMgr, const wchar_t* pszName, const wchar_t* pszValue)
    : m_pMgr(pMgr), m_name(pMgr, pszName), m_pszValue(pszValue)
{
}

int TestField::Prepare()
{
    ++m_nPrepare;
    return 0;
}

const CString& TestField::GetName()
{
    ++m_nGetName;
    return m_name;
}

// A new string of the host's manager, which the plug-in must release
// through the manager named in its header.
CString TestField::GetValueText()
{
    if (m_nPrepare == 0)
        m_bValueBeforePrepare = true;
    ++m_nGetValueText;
    return CString(m_pMgr, m_pszValue);
}

int TestField::Stray(int nSlot)
{
    ++m_nStray;
    m_nLastStraySlot = nSlot;
    return 0;
}
