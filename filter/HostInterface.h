// filter/HostInterface.h: what the host passes to the filter.
//
// The host compiles against this header. It implements HostField and hands
// the filter pointers to its field objects; the filter calls three of their
// virtual operations by slot, and reads the text of the host's string
// objects through their first member.
#pragma once

#include "../mfc/Afx.h"

// A string object of the host: its first member points to a NUL-terminated
// UTF-16 text, which is all the filter reads. A CString has this shape.
struct HostString {
    const WCHAR* pszText;
};

// A field of the host's table. Only slots 3, 11 and 14 are called by the
// filter; the others hold the host's own operations and are declared here
// only so that the three keep their places in the virtual table.
class HostField
{
public:
    virtual void ZRCALL HostSlot0() {}
    virtual void ZRCALL HostSlot1() {}
    virtual void ZRCALL HostSlot2() {}
    // Called first for every field written; the result is not used.
    virtual int ZRCALL Prepare() = 0;
    virtual void ZRCALL HostSlot4() {}
    virtual void ZRCALL HostSlot5() {}
    virtual void ZRCALL HostSlot6() {}
    virtual void ZRCALL HostSlot7() {}
    virtual void ZRCALL HostSlot8() {}
    virtual void ZRCALL HostSlot9() {}
    virtual void ZRCALL HostSlot10() {}
    // The field's name, valid while the field lives.
    virtual const CString& ZRCALL GetName() = 0;
    virtual void ZRCALL HostSlot12() {}
    virtual void ZRCALL HostSlot13() {}
    // The field's value as text, returned by value the way the host's
    // compiler returns a class: the caller passes the storage for the new
    // CString, the host constructs it there and returns its address. The
    // caller releases it after copying the text.
    virtual CString* ZRCALL GetValueText(CString* pResult) = 0;

protected:
    ~HostField() = default;
};

// Reads the text of a host string object.
inline const WCHAR* HostText(const HostString& s)
{
    return s.pszText;
}
