// host/HostFields.cpp: the host's field objects and their reusable values.
#include "HostFields.h"

#include <limits.h>
#include <string.h>

#include <new>

namespace
{
const size_t kFirstBlockUnits = 64;
// The string manager counts in int; larger texts are refused.
const size_t kMaxBlockUnits = INT_MAX / 2;
} // namespace

FieldText::~FieldText()
{
    if (m_pData)
        m_pData->Release();
}

// A new block is at least twice the old one, so a column whose values grow
// reallocates a few times at most.
WCHAR* FieldText::Grow(size_t nUnits)
{
    size_t nOld = m_pData ? static_cast<size_t>(m_pData->nAllocLength) : 0;
    size_t nWant = nUnits > kFirstBlockUnits ? nUnits : kFirstBlockUnits;
    if (nOld * 2 > nWant && nOld * 2 <= kMaxBlockUnits)
        nWant = nOld * 2;
    CStringData* pNew = nullptr;
    if (nWant <= kMaxBlockUnits)
        pNew = AfxGetStringManager()->Allocate(static_cast<int>(nWant), sizeof(WCHAR));
    if (m_pData)
        m_pData->Release();
    m_pData = pNew;
    return pNew ? pNew->data() : nullptr;
}

const WCHAR* FieldText::Text() const
{
    static const WCHAR kEmpty[1] = {0};
    return m_pData ? m_pData->data() : kEmpty;
}

size_t FieldText::Length() const
{
    return m_pData ? static_cast<size_t>(m_pData->nDataLength) : 0;
}

// A CString is nothing but the address of the characters that follow its
// block's header; copying one adds a reference to the block. That is what is
// built in the plug-in's storage here, without a CString of our own to copy.
CString* FieldText::CopyTo(CString* pResult) const
{
    if (!m_pData)
        return new (pResult) CString();
    m_pData->AddRef();
    WCHAR* pChars = m_pData->data();
    memcpy(static_cast<void*>(pResult), &pChars, sizeof(pChars));
    return pResult;
}

int ZRCALL DbField::Prepare()
{
    return 0;
}

const CString& ZRCALL DbField::GetName()
{
    return m_name;
}

CString* ZRCALL DbField::GetValueText(CString* pResult)
{
    return m_value.CopyTo(pResult);
}
