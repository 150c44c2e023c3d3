// host/HostFields.h: the field objects the host hands to the plug-in, and
// the reusable value string behind each of them.
#pragma once

#include "../filter/HostInterface.h"
#include "TextConvert.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

// The four ways the host sets a value's text, for any storage that gives
// Room for a number of units (null when no memory can be had) and then Takes
// the units written there. Each returns false only when no memory can be
// had; the storage's text is then as Room left it.
template <class Storage>
class ValueText
{
public:
    bool SetUtf8(const char* pText, size_t nBytes)
    {
        WCHAR* pUnits = Self().Room(nBytes);
        return pUnits && Self().Take(Utf8ToUtf16(pText, nBytes, pUnits));
    }
    bool SetUtf16(const WCHAR* pText, size_t nUnits)
    {
        WCHAR* pUnits = Self().Room(nUnits);
        return pUnits && Self().Take((memcpy(pUnits, pText, nUnits * sizeof(WCHAR)), nUnits));
    }
    // The decimal text SQLite gives an integer, made without a detour
    // through SQLite's own formatting.
    bool SetInteger(int64_t nValue)
    {
        WCHAR* pUnits = Self().Room(20);
        return pUnits && Self().Take(IntegerToUtf16(nValue, pUnits));
    }
    bool SetEmpty() { return Self().Room(0) && Self().Take(0); }

private:
    Storage& Self() { return static_cast<Storage&>(*this); }
};

// The text of one field's current value, kept in a CString block of the
// host's string manager that is filled again for every record. Handing the
// value to the plug-in shares the block (one more reference) and the plug-in
// releases its copy, so in the steady state no record allocates anything.
// A block that someone else still holds is never written: the field takes a
// new one and the holder's copy keeps its text.
class FieldText : public ValueText<FieldText>
{
public:
    FieldText() = default;
    ~FieldText();
    FieldText(const FieldText&) = delete;
    FieldText& operator=(const FieldText&) = delete;

    const WCHAR* Text() const;
    size_t Length() const;

    // Constructs in pResult a CString that shares this text; returns pResult.
    CString* CopyTo(CString* pResult) const;

private:
    friend class ValueText<FieldText>;

    // Room for nUnits units and a terminator in a block that only this
    // field holds; null when no memory can be had, and the text is then
    // empty.
    WCHAR* Room(size_t nUnits)
    {
        if (m_pData && m_pData->nRefs == 1 && static_cast<size_t>(m_pData->nAllocLength) >= nUnits)
            return m_pData->data();
        return Grow(nUnits);
    }
    WCHAR* Grow(size_t nUnits);
    bool Take(size_t nUnits)
    {
        m_pData->data()[nUnits] = 0;
        m_pData->nDataLength = static_cast<int32_t>(nUnits);
        return true;
    }

    CStringData* m_pData = nullptr;
};

// One column of the table being exported: its name and its value in the
// current record.
class DbField final : public HostField
{
public:
    DbField() = default;
    ~DbField() = default;

    int ZRCALL Prepare() override;
    const CString& ZRCALL GetName() override;
    CString* ZRCALL GetValueText(CString* pResult) override;

    void SetName(const WString& name) { m_name = name.c_str(); }
    FieldText& Value() { return m_value; }
    const FieldText& Value() const { return m_value; }

private:
    CString m_name;
    FieldText m_value;
};
