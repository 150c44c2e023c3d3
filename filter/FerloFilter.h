// filter/FerloFilter.h: the text filter, the object the host drives. It
// owns the three parts of one export, the options, the text writers and the
// output files, and turns each of the host's operations into calls on them.
#pragma once

#include "DbFilter.h"

#include "../output/OutputFiles.h"

class CFerloFilter final : public CZRDbFilter
{
public:
    // Builds a filter for ZRDbCreateFilter: null when any of its memory
    // cannot be had, with whatever was built released again.
    static CFerloFilter* Create(uint32_t hostContext, const WCHAR* pszRegistryKey);

    void* ZRCALL Destroy(unsigned int nFlags) override;
    int ZRCALL ParseOptions(const HostString& options) override;
    int ZRCALL Commit() override;
    CString* ZRCALL Configure(CString* pResult, int* pbChanged, const WCHAR* pszOptions) override;
    int ZRCALL BeginTable(const HostString& table, HostField** ppFields, int nFields) override;
    int ZRCALL EndTable() override;
    int ZRCALL BeginRecord(const WCHAR* pszPath) override;
    int ZRCALL EndRecord() override;
    int ZRCALL WriteField(HostField* pField) override;
    int ZRCALL Reserved9() override;

    // Kept for the host; the module never reads it.
    uint32_t m_hostContext;
    Options m_options;
    TextWriter m_writer;
    OutputFiles m_output;

private:
    CFerloFilter(uint32_t hostContext, const WCHAR* pszRegistryKey);
    ~CFerloFilter() = default;
    bool IsComplete(const WCHAR* pszRegistryKey) const;
};
