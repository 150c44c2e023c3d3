// filter/DbFilter.cpp: the filter base classes: the registry key copy, the
// field storage and its growth, and the operations of slots 10 to 12.
#include "DbFilter.h"

#include <new>

CZRBasicDbFilter::CZRBasicDbFilter(const WCHAR* pszRegistryKey) : m_pszRegistryKey(nullptr)
{
    if (!pszRegistryKey)
        return;
    size_t units = wcslen(pszRegistryKey) + 1;
    m_pszRegistryKey = new (std::nothrow) WCHAR[units];
    if (m_pszRegistryKey)
        memcpy(m_pszRegistryKey, pszRegistryKey, units * sizeof(WCHAR));
}

CZRBasicDbFilter::~CZRBasicDbFilter()
{
    delete[] m_pszRegistryKey;
}

void FieldArray::RemoveAll()
{
    delete[] pData;
    pData = nullptr;
    nSize = 0;
    nMaxSize = 0;
}

// Stores pField at index i. Past the capacity the array grows to the next
// multiple of the step that holds i, and at least by one step.
bool FieldArray::SetAtGrow(int32_t i, HostField* pField)
{
    if (i >= nMaxSize) {
        int32_t byIndex = (i + nGrowBy) / nGrowBy;
        int32_t byStep = nMaxSize / nGrowBy + 1;
        int32_t nNewMax = nGrowBy * (byIndex > byStep ? byIndex : byStep);
        auto** pNew = new (std::nothrow) HostField*[static_cast<size_t>(nNewMax)];
        if (!pNew)
            return false;
        for (int32_t k = 0; k < nSize; ++k)
            pNew[k] = pData[k];
        for (int32_t k = nSize; k < nNewMax; ++k)
            pNew[k] = nullptr;
        delete[] pData;
        pData = pNew;
        nMaxSize = nNewMax;
    }
    pData[i] = pField;
    if (i >= nSize)
        nSize = i + 1;
    return true;
}

CZRDbFilter::CZRDbFilter(const WCHAR* pszRegistryKey)
    : CZRBasicDbFilter(pszRegistryKey), m_fields{nullptr, 0, 0, 32}
{
}

CZRDbFilter::~CZRDbFilter()
{
    delete[] m_fields.pData;
}

// Keeps the table's fields. A table whose field array cannot be allocated
// cannot be begun: status 2, with the storage left empty.
int ZRCALL CZRDbFilter::BeginTable(const HostString&, HostField** ppFields, int nFields)
{
    m_fields.RemoveAll();
    for (int i = 0; i < nFields; ++i) {
        if (!m_fields.SetAtGrow(i, ppFields[i])) {
            m_fields.RemoveAll();
            return 2;
        }
    }
    return 0;
}

int ZRCALL CZRDbFilter::ForwardBeginTable(const HostString& table, HostField** ppFields, int nFields)
{
    return BeginTable(table, ppFields, nFields);
}

int ZRCALL CZRDbFilter::Reserved11(int32_t, int32_t, int32_t)
{
    return 0;
}

int ZRCALL CZRDbFilter::Reserved12(int32_t, int32_t, int32_t)
{
    return 0;
}
