// host/HostFields.h: the field objects the host hands to the plug-in, and
// the reusable value string behind each of them.
#pragma once

#include "../filter/HostInterface.h"
#include "TextConvert.h"

#include <stddef.h>
#include <stdint.h>

// The text of a value, kept in a CString block of the host's string manager
// that is filled again for each value read into it. Handing the value to the
// plug-in shares the block (one more reference) and the plug-in releases its
// copy, so in the steady state no record allocates anything. A block that
// someone else still holds is never written: the value takes a new one and
// the holder's copy keeps its text.
class FieldText
{
public:
    FieldText() = default;
    ~FieldText();
    FieldText(const FieldText&) = delete;
    FieldText& operator=(const FieldText&) = delete;

    // The four ways the value is set. Each returns false only when no
    // memory can be had; the text is then empty.
    bool SetUtf8(const char* pText, size_t nBytes);
    bool SetUtf16(const WCHAR* pText, size_t nUnits);
    bool SetInteger(int64_t nValue);
    bool SetEmpty();

    const WCHAR* Text() const;
    size_t Length() const;

    // Constructs in pResult a CString that shares this text; returns pResult.
    CString* CopyTo(CString* pResult) const;

private:
    WCHAR* Room(size_t nUnits);
    void Take(size_t nUnits);

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
    // The value of the current record, which must outlive every call of
    // the plug-in made while it is set; null for the empty text.
    void SetValue(const FieldText* pValue) { m_pValue = pValue; }
    const FieldText* Value() const { return m_pValue; }

private:
    CString m_name;
    const FieldText* m_pValue = nullptr;
};
