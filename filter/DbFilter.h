// filter/DbFilter.h: the field storage of a filter and slots 10 to 12.
#pragma once

#include "BasicDbFilter.h"

#include <stdint.h>

// The table's fields, as the host passed them: an owned array of pointers
// to field objects that stay the host's. It grows in steps of nGrowBy.
struct FieldArray {
    HostField** pData;
    int32_t nSize;
    int32_t nMaxSize;
    int32_t nGrowBy;

    void RemoveAll();
    bool SetAtGrow(int32_t i, HostField* pField);
};

class CZRDbFilter : public CZRBasicDbFilter
{
public:
    // Slot 4: stores the table's fields; the table name is not used.
    int ZRCALL BeginTable(const HostString& table, HostField** ppFields, int nFields) override;
    // Slot 10: BeginTable through the virtual table, so the most derived
    // filter's BeginTable runs.
    virtual int ZRCALL ForwardBeginTable(const HostString& table, HostField** ppFields, int nFields);
    virtual int ZRCALL Reserved11(int32_t a, int32_t b, int32_t c);
    virtual int ZRCALL Reserved12(int32_t a, int32_t b, int32_t c);

    FieldArray m_fields;

protected:
    explicit CZRDbFilter(const WCHAR* pszRegistryKey);
    ~CZRDbFilter();
};
