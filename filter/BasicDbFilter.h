// filter/BasicDbFilter.h: the interface the host compiles against, slots 0
// to 9 of every filter's virtual table.
#pragma once

#include "HostInterface.h"

class CZRBasicDbFilter
{
public:
    // Slot 0: the host's compiler calls its deleting destructor here, one
    // slot taking a flag whose bit 0 asks for the memory to be freed, and
    // returning the object's address. It is a named operation rather than a
    // C++ virtual destructor, which the module's compiler would spread over
    // two slots.
    virtual void* ZRCALL Destroy(unsigned int nFlags) = 0;
    virtual int ZRCALL ParseOptions(const HostString& options) = 0;
    virtual int ZRCALL Commit() = 0;
    // Returns the new options string by value as the host's compiler does:
    // into the storage pResult points to, whose address comes back.
    virtual CString* ZRCALL Configure(CString* pResult, int* pbChanged, const WCHAR* pszOptions) = 0;
    virtual int ZRCALL BeginTable(const HostString& table, HostField** ppFields, int nFields) = 0;
    virtual int ZRCALL EndTable() = 0;
    virtual int ZRCALL BeginRecord(const WCHAR* pszPath) = 0;
    virtual int ZRCALL EndRecord() = 0;
    virtual int ZRCALL WriteField(HostField* pField) = 0;
    virtual int ZRCALL Reserved9() = 0;

    // A heap copy of the host's registry key path, or null.
    WCHAR* m_pszRegistryKey;

protected:
    explicit CZRBasicDbFilter(const WCHAR* pszRegistryKey);
    ~CZRBasicDbFilter();
};
