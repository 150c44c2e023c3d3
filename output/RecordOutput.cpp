// output/RecordOutput.cpp: the record operations: beginning and ending
// records (and, one file per record, opening and closing their files),
// writing fields, and ending tables.
#include "FileNames.h"

#include "../filter/FerloFilter.h"

#include <new>

namespace {

// A CString the host builds in GetValueText, released when it goes out of
// scope: back to the host's heap, through the string manager it names.
class HostValue {
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

const WCHAR* CFerloFilter::FieldName(HostField* pField)
{
    if (!pField)
        return WSTR("");
    const WCHAR* psz = pField->GetName().GetString();
    return psz ? psz : WSTR("");
}

// One file per record: the record's file is its path with the extension
// replaced by ".XML" or ".TXT"; the path's last "." counts wherever it
// stands. A name that does not fit is refused and no file is touched.
int CFerloFilter::OpenRecordFile(const WCHAR* pszPath)
{
    if (!pszPath)
        return 2;
    bool bNamed = PathBuilder(m_szWorkFile, kPathUnits)
                      .Append(pszPath, BaseLength(pszPath))
                      .Append(m_bXml ? WSTR(".XML") : WSTR(".TXT"))
                      .Ok();
    if (!bNamed) {
        m_szWorkFile[0] = 0;
        return 2;
    }
    m_pFile = OpenOutputFile(m_szWorkFile);
    return m_pFile ? 0 : 2;
}

void CFerloFilter::WriteRecordHead(const WCHAR* pszPath)
{
    if (m_bXml) {
        WriteLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
        WriteLiteral("<file name=\"");
        WriteText(pszPath, 0);
        WriteLiteral("\">\n");
        return;
    }
    if (m_bUnicode)
        WriteByteOrderMark(m_pFile);
    if (m_bHeadline) {
        for (int32_t i = 0; i < m_nFieldNames; ++i)
            WriteHeadName(i, m_ppszFieldNames[i]);
        WriteText(m_szLineEnd, 0);
    }
}

// Closes the open output file. False when the file does not hold all that
// was written to it, because a write, the last flush or the close failed
// (a full disk); the export is then marked as failed.
bool CFerloFilter::CloseOutputFile()
{
    if (!m_pFile)
        return true;
    bool bOk = !ferror(m_pFile);
    bOk = fclose(m_pFile) == 0 && bOk;
    m_pFile = nullptr;
    if (!bOk)
        m_bWriteFailed = 1;
    return bOk;
}

int ZRCALL CFerloFilter::BeginRecord(const WCHAR* pszPath)
{
    if (m_bSingle) {
        // A record left open by a missing EndRecord is closed first.
        CloseOutputFile();
        int status = OpenRecordFile(pszPath);
        if (status != 0)
            return status;
        WriteRecordHead(pszPath);
        fflush(m_pFile);
    }
    m_bFieldWritten = 0;
    return 0;
}

int ZRCALL CFerloFilter::WriteField(HostField* pField)
{
    if (!pField)
        return 1;
    pField->Prepare();
    if (!m_pFile)
        return 1;
    const WCHAR* pszName = FieldName(pField);
    HostValue value(pField);
    if (m_bXml) {
        WriteLiteral("<");
        WriteText(pszName, 0);
        WriteLiteral(">");
        WriteText(value.Text(), 1);
        WriteLiteral("</");
        WriteText(pszName, 0);
        WriteLiteral(">\n");
    } else {
        WriteQuoted(value.Text(), m_bFieldWritten ? m_szDelimiter : nullptr);
    }
    m_bFieldWritten = 1;
    return 0;
}

int ZRCALL CFerloFilter::EndRecord()
{
    if (!m_bSingle) {
        WriteText(m_szLineEnd, 0);
        return 0;
    }
    if (!m_pFile)
        return 1;
    if (m_bXml)
        WriteLiteral("</file>\n");
    else
        WriteText(m_szLineEnd, 0);
    return CloseOutputFile() ? 0 : 1;
}

// One-file mode closes the table's file; 1 when the file could not be
// written in full. The export has failed then, and Commit says so too.
int ZRCALL CFerloFilter::EndTable()
{
    if (m_bSingle)
        return 0;
    return CloseOutputFile() ? 0 : 1;
}
