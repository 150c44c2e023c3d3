// host/HostFields.cpp: the host's field objects and their reusable values.
#include "HostFields.h"

#include <limits.h>
#include <string.h>

#include <new>

namespace
{
const size_t kFirstBlockUnits = 64;
// Blocks up to this size serve any shorter value.
const size_t kKeptBlockUnits = 4096;
// The string manager counts in int; larger texts are refused.
const size_t kMaxBlockUnits = INT_MAX / 2;
} // namespace

FieldText::~FieldText()
{
    if (m_pData)
        m_pData->Release();
}

bool FieldText::SetUtf8(const char* pText, size_t nBytes)
{
    WCHAR* pUnits = Room(nBytes);
    if (!pUnits)
        return false;
    Take(Utf8ToUtf16(pText, nBytes, pUnits));
    return true;
}

bool FieldText::SetUtf16(const WCHAR* pText, size_t nUnits)
{
    WCHAR* pUnits = Room(nUnits);
    if (!pUnits)
        return false;
    memcpy(pUnits, pText, nUnits * sizeof(WCHAR));
    Take(nUnits);
    return true;
}

bool FieldText::SetInteger(int64_t nValue)
{
    WCHAR* pUnits = Room(20);
    if (!pUnits)
        return false;
    Take(IntegerToUtf16(nValue, pUnits));
    return true;
}

bool FieldText::SetEmpty()
{
    if (!Room(0))
        return false;
    Take(0);
    return true;
}

// Room for nUnits units and a terminator in a block that only this field
// holds; null when no memory can be had, and the text is then empty. The
// block is kept from value to value, unless the plug-in still holds it (its
// count is read atomically: the plug-in releases its copies on the export's
// thread, while values are read on another) or it is large and more than
// twice the value's size: a long value then gives its memory back with the
// next, shorter one.
WCHAR* FieldText::Room(size_t nUnits)
{
    if (m_pData && __atomic_load_n(&m_pData->nRefs, __ATOMIC_ACQUIRE) == 1) {
        size_t nHave = static_cast<size_t>(m_pData->nAllocLength);
        if (nHave >= nUnits && (nHave <= kKeptBlockUnits || nHave / 2 <= nUnits))
            return m_pData->data();
    }
    // Half as much again as asked, so that a column whose values grow
    // reallocates now and then, not for every value.
    size_t nWant = nUnits + nUnits / 2 > kFirstBlockUnits ? nUnits + nUnits / 2 : kFirstBlockUnits;
    if (nWant > kMaxBlockUnits)
        nWant = nUnits;
    CStringData* pNew = nullptr;
    if (nWant <= kMaxBlockUnits)
        pNew = AfxGetStringManager()->Allocate(static_cast<int>(nWant), sizeof(WCHAR));
    if (m_pData)
        m_pData->Release();
    m_pData = pNew;
    return pNew ? pNew->data() : nullptr;
}

// The units just written at Room are the value.
void FieldText::Take(size_t nUnits)
{
    m_pData->data()[nUnits] = 0;
    m_pData->nDataLength = static_cast<int32_t>(nUnits);
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
    if (!m_pValue)
        return new (pResult) CString();
    return m_pValue->CopyTo(pResult);
}
