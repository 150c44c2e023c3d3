// filter/FerloFilter.h: the text filter, which holds all the state of one
// export: options, output encoding, the open file and the writers' buffers.
#pragma once

#include "DbFilter.h"

#include <stdio.h>

class CFerloFilter final : public CZRDbFilter {
public:
    enum : int {
        kDelimiterUnits = 8,
        kLineEndUnits = 8,
        kPathUnits = 2048,
        kConvBufBytes = 65536,
        kQuoteBufUnits = 65536,
    };

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

    // The text writers (output/TextWriter.cpp), through which every
    // character of an output file passes. QuoteCsv returns the text itself
    // or m_pQuoteBuf holding its CSV form, valid until the next call, and
    // null when that form does not fit m_pQuoteBuf (a text of more than
    // 32766 units can be too long). WriteQuoted writes the CSV form of a text
    // of any length, after pszDelimiter as it stands when that is given.
    // WriteText writes a text in the output encoding, XML escaped when
    // bEscape asks for it and the output is UTF-8; WriteLiteral writes ASCII
    // markup unchanged. None writes anything without m_pFile.
    const WCHAR* QuoteCsv(const WCHAR* pszText);
    void WriteQuoted(const WCHAR* pszText, const WCHAR* pszDelimiter = nullptr);
    void WriteText(const WCHAR* pszText, int bEscape);
    void WriteLiteral(const char* pszText);

    uint32_t m_hostContext;
    int32_t m_bFieldWritten;
    WCHAR m_szDelimiter[kDelimiterUnits];
    WCHAR m_szLineEnd[kLineEndUnits];
    uint32_t m_nCodePage;
    int32_t m_bUnicode;
    int32_t m_bCsv;
    int32_t m_bOverwrite;
    int32_t m_bWriteHead;
    int32_t m_bSingle;
    int32_t m_bXml;
    int32_t m_bHeadline;
    int32_t m_bMap;
    WCHAR** m_ppszFieldNames;
    int32_t m_nFieldNames;
    WCHAR m_szFile[kPathUnits];
    WCHAR m_szWorkFile[kPathUnits];
    WCHAR m_szPrevTable[kPathUnits];
    int64_t m_nRecordsStart;
    FILE* m_pFile;
    int32_t m_nTables;
    char* m_pConvBuf;
    WCHAR* m_pQuoteBuf;
    // Whether code page m_nAsciiCodePage writes every ASCII text as its own
    // bytes, so that the writers may copy such texts instead of converting
    // them; m_bAsciiProbed is 0 until the first text is converted.
    int32_t m_bAsciiProbed;
    uint32_t m_nAsciiCodePage;
    int32_t m_bAsciiSame;
    // 1 once a file of this export could not be written in full (a write,
    // flush or close failed, as on a full disk); the next ParseOptions
    // clears it. Such a file is never renamed over, appended to or put in
    // place of another, and Commit reports the export as failed.
    int32_t m_bWriteFailed;

private:
    CFerloFilter(uint32_t hostContext, const WCHAR* pszRegistryKey);
    ~CFerloFilter();
    bool IsComplete(const WCHAR* pszRegistryKey) const;
    void SetDefaultDelimiter();
    void ReleaseFieldNames();
    bool CloseOutputFile();

    // Tables (output/TableOutput.cpp).
    bool TableFileName(const WCHAR* pszTable, WCHAR* pszOut) const;
    bool WorkFileName(UINT nUnique, WCHAR* pszOut) const;
    FILE* CreateFirstTableFile(WCHAR* pszName) const;
    int RenameFirstTable();
    int BeginRecordTable(const HostString& table, HostField** ppFields, int nFields);
    void WriteHeadName(int i, const WCHAR* pszName);
    void WriteTableHeadline();

    // Records (output/RecordOutput.cpp).
    static const WCHAR* FieldName(HostField* pField);
    int OpenRecordFile(const WCHAR* pszPath);
    void WriteRecordHead(const WCHAR* pszPath);

    // The commit (output/Commit.cpp).
    int ReplaceTarget();
    int AppendToTarget();
};
