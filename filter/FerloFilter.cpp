// filter/FerloFilter.cpp: construction and destruction of the text filter,
// and its operations, each handed to the part of the export that does it.
#include "FerloFilter.h"

#include "FilterInfo.h"

#include "../common/String.h"
#include "../output/Directory.h"
#include "../settings/SettingsDialog.h"

#include <new>

namespace
{

const WCHAR* FieldName(HostField* pField)
{
    if (!pField)
        return WSTR("");
    const WCHAR* psz = pField->GetName().GetString();
    return psz ? psz : WSTR("");
}

// The names of the fields the host passed to BeginTable.
class TableFields final : public FieldNames
{
public:
    explicit TableFields(const FieldArray& fields) : m_fields(fields) {}
    int Count() const override { return m_fields.nSize; }
    const WCHAR* Name(int i) const override { return FieldName(m_fields.pData[i]); }

private:
    const FieldArray& m_fields;
};

// A CString the host builds in GetValueText, released when it goes out of
// scope: back to the host's heap, through the string manager it names.
class HostValue
{
public:
    explicit HostValue(HostField* pField) : m_pValue(pField->GetValueText(Storage())) {}
    ~HostValue() { m_pValue->~CString(); }
    HostValue(const HostValue&) = delete;
    HostValue& operator=(const HostValue&) = delete;

    const WCHAR* Text() const
    {
        const WCHAR* psz = m_pValue->GetString();
        return psz ? psz : WSTR("");
    }

private:
    CString* Storage() { return reinterpret_cast<CString*>(m_storage); }

    alignas(CString) unsigned char m_storage[sizeof(CString)];
    CString* m_pValue;
};

} // namespace

CFerloFilter::CFerloFilter(uint32_t hostContext, const WCHAR* pszRegistryKey)
    : CZRDbFilter(pszRegistryKey), m_hostContext(hostContext), m_writer(m_options),
      m_output(m_options, m_writer)
{
}

bool CFerloFilter::IsComplete(const WCHAR* pszRegistryKey) const
{
    return m_writer.IsComplete() && (!pszRegistryKey || m_pszRegistryKey);
}

CFerloFilter* CFerloFilter::Create(uint32_t hostContext, const WCHAR* pszRegistryKey)
{
    auto* pFilter = new (std::nothrow) CFerloFilter(hostContext, pszRegistryKey);
    if (pFilter && !pFilter->IsComplete(pszRegistryKey)) {
        pFilter->Destroy(kDestroyFree);
        return nullptr;
    }
    return pFilter;
}

// Destruction releases memory only: it neither closes the open file nor
// touches any file, because the host ends its tables and commits first.
void* ZRCALL CFerloFilter::Destroy(unsigned int nFlags)
{
    this->~CFerloFilter();
    if (nFlags & kDestroyFree)
        ::operator delete(this);
    return this;
}

int ZRCALL CFerloFilter::Reserved9()
{
    return ZRSetOptions();
}

// The settings dialog reads only the registry key: the filter itself is
// left as it is, and the host passes the new string to ParseOptions.
CString* ZRCALL CFerloFilter::Configure(CString* pResult, int* pbChanged, const WCHAR* pszOptions)
{
    CString* pString = new (pResult) CString();
    *pbChanged = ConfigureSettings(m_pszRegistryKey, pszOptions, *pString);
    return pString;
}

// A new options string starts a new export, whose output directory is made
// to exist now, before anything is written.
int ZRCALL CFerloFilter::ParseOptions(const HostString& options)
{
    m_options.Parse(HostText(options));
    m_output.Restart();
    String file(m_options.m_szFile);
    return EnsureDirectory(file.path()) ? 0 : 1;
}

// The fields are kept between the opening of the table's file and its
// headline; a table whose fields cannot be kept leaves no file behind.
// One file per record, the table opens no file and keeps copies of the
// field names for the headlines of the record files.
int ZRCALL CFerloFilter::BeginTable(const HostString& table, HostField** ppFields, int nFields)
{
    const WCHAR* pszTable = HostText(table);
    if (!pszTable)
        pszTable = WSTR("");
    if (m_options.m_bSingle) {
        if (CZRDbFilter::BeginTable(table, ppFields, nFields) != 0)
            return 2;
        return m_output.KeepFieldNames(TableFields(m_fields)) ? 0 : 2;
    }
    int status = m_output.OpenTable(pszTable);
    if (status != 0)
        return status;
    if (CZRDbFilter::BeginTable(table, ppFields, nFields) != 0) {
        m_output.DiscardTable();
        return 2;
    }
    m_output.WriteTableHead(pszTable, TableFields(m_fields));
    return 0;
}

int ZRCALL CFerloFilter::EndTable()
{
    return m_output.EndTable();
}

int ZRCALL CFerloFilter::BeginRecord(const WCHAR* pszPath)
{
    return m_output.BeginRecord(pszPath);
}

// Every field is prepared, even when no file is open to write it to.
int ZRCALL CFerloFilter::WriteField(HostField* pField)
{
    if (!pField)
        return 1;
    pField->Prepare();
    if (!m_output.IsOpen())
        return 1;
    const WCHAR* pszName = FieldName(pField);
    HostValue value(pField);
    m_output.WriteField(pszName, value.Text());
    return 0;
}

int ZRCALL CFerloFilter::EndRecord()
{
    return m_output.EndRecord();
}

int ZRCALL CFerloFilter::Commit()
{
    return m_output.Commit();
}
