// output/OutputFiles.h: the files of one export: a table's file and its
// head, the records and fields written to it (or one file per record), and
// the commit that gives a one-table export's file its final name. The
// options say what to write where; the text writers write every character.
#pragma once

#include "TextWriter.h"

// The names of a table's fields, read where the caller keeps them.
class FieldNames
{
public:
    virtual int Count() const = 0;
    // The name of field i, never null.
    virtual const WCHAR* Name(int i) const = 0;

protected:
    ~FieldNames() = default;
};

class OutputFiles
{
public:
    enum : int {
        kLineEndUnits = 8,
        kPathUnits = Options::kPathUnits,
    };

    OutputFiles(const Options& options, TextWriter& writer);
    // Releases memory: an open file is not closed, because the host ends
    // its tables and commits first; the writers' bytes for it are handed to
    // its stream.
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // A new export begins: no table counted, no write failed.
    void Restart();
    bool IsOpen() const { return m_pFile != nullptr; }

    // Beginning a table in one-file mode takes three steps, so that the
    // caller can keep the table's fields in between: OpenTable opens the
    // table's file and writes its byte-order mark; DiscardTable closes and
    // deletes it again when the fields could not be kept; WriteTableHead
    // writes the headline and counts the table.
    int OpenTable(const WCHAR* pszTable);
    void DiscardTable();
    void WriteTableHead(const WCHAR* pszTable, const FieldNames& names);
    // One file per record: copies of the field names for the headlines of
    // the record files. False when their memory cannot be had.
    bool KeepFieldNames(const FieldNames& names);

    // The record operations, with the status codes of the filter's slots.
    int BeginRecord(const WCHAR* pszPath);
    void WriteField(const WCHAR* pszName, const WCHAR* pszValue);
    int EndRecord();
    int EndTable();
    int Commit();

    int32_t m_bFieldWritten;
    WCHAR m_szLineEnd[kLineEndUnits];
    WCHAR** m_ppszFieldNames;
    int32_t m_nFieldNames;
    WCHAR m_szWorkFile[kPathUnits];
    WCHAR m_szPrevTable[kPathUnits];
    int64_t m_nRecordsStart;
    FILE* m_pFile;
    int32_t m_nTables;
    // 1 once a file of this export could not be written in full (a write,
    // flush or close failed, as on a full disk); Restart clears it. Such a
    // file is never renamed over, appended to or put in place of another,
    // and Commit reports the export as failed.
    int32_t m_bWriteFailed;

private:
    void ReleaseFieldNames();
    bool CloseOutputFile();

    // Tables (TableOutput.cpp).
    bool TableFileName(const WCHAR* pszTable, WCHAR* pszOut) const;
    bool WorkFileName(UINT nUnique, WCHAR* pszOut) const;
    FILE* CreateFirstTableFile(WCHAR* pszName) const;
    int RenameFirstTable();
    void WriteHeadName(int i, const WCHAR* pszName);

    // Records (RecordOutput.cpp).
    int OpenRecordFile(const WCHAR* pszPath);
    void WriteRecordHead(const WCHAR* pszPath);

    // The commit (Commit.cpp).
    int ReplaceTarget();
    int AppendToTarget();

    const Options& m_options;
    TextWriter& m_writer;
};
