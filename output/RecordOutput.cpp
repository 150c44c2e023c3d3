// output/RecordOutput.cpp: the life of the output files: the record
// operations (and, one file per record, the opening and closing of their
// files), fields, the end of a table, and the closing that notices a file
// not written in full.
#include "OutputFiles.h"

#include "FileNames.h"

OutputFiles::OutputFiles(const Options& options, TextWriter& writer)
    : m_bFieldWritten(0), m_szLineEnd{0x000D, 0x000A, 0}, m_ppszFieldNames(nullptr),
      m_nFieldNames(0), m_szWorkFile{0}, m_szPrevTable{0}, m_nRecordsStart(0), m_pFile(nullptr), m_nTables(0),
      m_bWriteFailed(0), m_options(options), m_writer(writer)
{
}

OutputFiles::~OutputFiles()
{
    // The bytes the writers still hold go to the stream, which keeps them
    // until the process ends, as it keeps its own.
    if (m_pFile)
        m_writer.Flush();
    ReleaseFieldNames();
}

void OutputFiles::Restart()
{
    m_nTables = 0;
    m_bWriteFailed = 0;
}

// Closes the open output file. False when the file does not hold all that
// was written to it, because a write, the last flush or the close failed
// (a full disk); the export is then marked as failed.
bool OutputFiles::CloseOutputFile()
{
    if (!m_pFile)
        return true;
    m_writer.Flush();
    bool bOk = !ferror(m_pFile);
    bOk = fclose(m_pFile) == 0 && bOk;
    m_pFile = nullptr;
    if (!bOk)
        m_bWriteFailed = 1;
    return bOk;
}

// One file per record: the record's file is its path with the extension
// replaced by ".XML" or ".TXT"; the path's last "." counts wherever it
// stands. A name that does not fit is refused and no file is touched.
int OutputFiles::OpenRecordFile(const WCHAR* pszPath)
{
    if (!pszPath)
        return 2;
    bool bNamed = PathBuilder(m_szWorkFile, kPathUnits)
                      .Append(pszPath, BaseLength(pszPath))
                      .Append(m_options.m_bXml ? WSTR(".XML") : WSTR(".TXT"))
                      .Ok();
    if (!bNamed) {
        m_szWorkFile[0] = 0;
        return 2;
    }
    m_pFile = OpenOutputFile(m_szWorkFile);
    return m_pFile ? 0 : 2;
}

void OutputFiles::WriteRecordHead(const WCHAR* pszPath)
{
    if (m_options.m_bXml) {
        m_writer.WriteLiteral(m_pFile, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
        m_writer.WriteLiteral(m_pFile, "<file name=\"");
        m_writer.WriteText(m_pFile, pszPath, 0);
        m_writer.WriteLiteral(m_pFile, "\">\n");
        return;
    }
    if (m_options.m_bUnicode)
        WriteByteOrderMark(m_pFile);
    if (m_options.m_bHeadline) {
        for (int32_t i = 0; i < m_nFieldNames; ++i)
            WriteHeadName(i, m_ppszFieldNames[i]);
        m_writer.WriteText(m_pFile, m_szLineEnd, 0);
    }
}

int OutputFiles::BeginRecord(const WCHAR* pszPath)
{
    if (m_options.m_bSingle) {
        // A record left open by a missing EndRecord is closed first.
        CloseOutputFile();
        int status = OpenRecordFile(pszPath);
        if (status != 0)
            return status;
        WriteRecordHead(pszPath);
        m_writer.Flush();
        fflush(m_pFile);
    }
    m_bFieldWritten = 0;
    return 0;
}

void OutputFiles::WriteField(const WCHAR* pszName, const WCHAR* pszValue)
{
    if (m_options.m_bXml) {
        m_writer.WriteLiteral(m_pFile, "<");
        m_writer.WriteText(m_pFile, pszName, 0);
        m_writer.WriteLiteral(m_pFile, ">");
        m_writer.WriteText(m_pFile, pszValue, 1);
        m_writer.WriteLiteral(m_pFile, "</");
        m_writer.WriteText(m_pFile, pszName, 0);
        m_writer.WriteLiteral(m_pFile, ">\n");
    } else {
        m_writer.WriteQuoted(m_pFile, pszValue, m_bFieldWritten ? m_options.m_szDelimiter : nullptr);
    }
    m_bFieldWritten = 1;
}

int OutputFiles::EndRecord()
{
    if (!m_options.m_bSingle) {
        m_writer.WriteText(m_pFile, m_szLineEnd, 0);
        return 0;
    }
    if (!m_pFile)
        return 1;
    if (m_options.m_bXml)
        m_writer.WriteLiteral(m_pFile, "</file>\n");
    else
        m_writer.WriteText(m_pFile, m_szLineEnd, 0);
    return CloseOutputFile() ? 0 : 1;
}

// One-file mode closes the table's file; 1 when the file could not be
// written in full. The export has failed then, and Commit says so too.
int OutputFiles::EndTable()
{
    if (m_options.m_bSingle)
        return 0;
    return CloseOutputFile() ? 0 : 1;
}
