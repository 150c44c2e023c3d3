// host/Export.cpp: driving one export through the filter's operations and
// checking every status they return.
#include "Export.h"

#include "RowPipe.h"

#include <stdio.h>

namespace
{

enum class Op { kParseOptions, kCommit, kBeginTable, kEndTable, kBeginRecord, kEndRecord, kWriteField };

const char* OperationName(Op op)
{
    static const char* const kNames[] = {"ParseOptions", "Commit",    "BeginTable", "EndTable",
                                         "BeginRecord",  "EndRecord", "WriteField"};
    return kNames[static_cast<int>(op)];
}

// What a status means coming from that operation. A status that the
// operation does not return by design gets the general meaning of its code.
const char* StatusMeaning(Op op, int status)
{
    static const struct {
        Op op;
        int status;
        const char* pszMeaning;
    } kMeanings[] = {
        {Op::kParseOptions, 1, "the output directory cannot be made"},
        {Op::kBeginTable, 2, "the output file cannot be opened or renamed"},
        {Op::kBeginRecord, 2, "the record's output file cannot be opened"},
        {Op::kWriteField, 1, "no output file is open to write to"},
        {Op::kEndRecord, 1,
         "no output file is open to write to, or the record's file was not written in full"},
        {Op::kEndTable, 1, "the table's file was not written in full"},
        {Op::kCommit, 1, "the output file cannot be given its final name, or a file was not written in full"},
    };
    for (const auto& meaning : kMeanings)
        if (meaning.op == op && meaning.status == status)
            return meaning.pszMeaning;
    if (status == 1)
        return "no open file to write to, a failed rename, or an output directory that cannot be made";
    if (status == 2)
        return "an output file cannot be opened or renamed";
    return "a status the filter does not define";
}

// One table as the filter sees it: its name and its field objects. The
// filter may hold the fields until the next BeginTable, and longer when that
// one fails, so every table's fields live until the filter is destroyed.
struct TableFields {
    std::string name;
    WString wideName;
    bool bDotInName;
    std::vector<std::string> fieldNames;
    std::unique_ptr<DbField[]> fields;
    std::vector<HostField*> pointers;
    int nRecordPathColumn;
};

std::unique_ptr<TableFields> MakeTable(const TableReader& reader, int nRecordPathColumn)
{
    auto table = std::make_unique<TableFields>();
    table->name = reader.Table();
    table->wideName = Widen(table->name);
    table->bDotInName = table->name.find('.') != std::string::npos;
    int nFields = reader.ColumnCount();
    table->fields.reset(new DbField[static_cast<size_t>(nFields)]);
    for (int i = 0; i < nFields; ++i) {
        table->fieldNames.push_back(reader.ColumnName(i));
        table->fields[i].SetName(Widen(table->fieldNames.back()));
        table->pointers.push_back(&table->fields[i]);
    }
    table->nRecordPathColumn = nRecordPathColumn;
    return table;
}

class Exporter
{
public:
    Exporter(const Plugin& plugin, ExportJob& job, Progress& progress)
        : m_plugin(plugin), m_job(job), m_progress(progress)
    {
    }

    int Run();

private:
    bool Check(int status, Op op, const TableFields* pTable = nullptr, int64_t nRecord = 0, int nField = -1)
    {
        if (status == 0)
            return true;
        ReportStatus(status, op, pTable, nRecord, nField);
        return false;
    }
    void ReportStatus(int status, Op op, const TableFields* pTable, int64_t nRecord, int nField);
    void Fail(int nExitCode, const std::string& message);
    bool ExportTable(TableReader& reader, int nRecordPathColumn);
    bool ExportRecords(TableReader& reader, const TableFields& table, int64_t* pnRecords);
    bool WriteRows(RowPipe& rows, const TableFields& table, int64_t* pnRecords);
    const WCHAR* RecordPath(const TableFields& table, int64_t nRecord);

    const Plugin& m_plugin;
    ExportJob& m_job;
    Progress& m_progress;
    CZRBasicDbFilter* m_pFilter = nullptr;
    std::vector<std::unique_ptr<TableFields>> m_tables;
    WString m_recordPath;
    int m_nExitCode = kExitOk;
};

int Exporter::Run()
{
    const WCHAR* pszKey = m_job.registryKey ? m_job.registryKey->c_str() : nullptr;
    m_pFilter = m_plugin.pfnCreateFilter(0, pszKey);
    if (!m_pFilter) {
        Fail(kExitFilter, "ZRDbCreateFilter made no filter");
        return m_nExitCode;
    }
    HostString options{m_job.options.c_str()};
    bool bOk = Check(m_pFilter->ParseOptions(options), Op::kParseOptions);
    for (size_t i = 0; bOk && i < m_job.tables.size(); ++i)
        bOk = ExportTable(*m_job.tables[i], m_job.recordPathColumns[i]);
    if (bOk)
        Check(m_pFilter->Commit(), Op::kCommit);
    m_pFilter->Destroy(kDestroyFree);
    return m_nExitCode;
}

bool Exporter::ExportTable(TableReader& reader, int nRecordPathColumn)
{
    m_tables.push_back(MakeTable(reader, nRecordPathColumn));
    TableFields& table = *m_tables.back();
    int64_t nTotal = 0;
    std::string error;
    if (m_progress.Enabled() && !reader.CountRows(&nTotal, &error)) {
        Fail(kExitDatabase, error);
        return false;
    }
    HostString name{table.wideName.c_str()};
    int nFields = static_cast<int>(table.pointers.size());
    if (!Check(m_pFilter->BeginTable(name, table.pointers.data(), nFields), Op::kBeginTable, &table))
        return false;
    m_progress.BeginTable(table.name, nTotal);
    int64_t nRecords = 0;
    if (!ExportRecords(reader, table, &nRecords)) {
        // The table was begun, so it is ended, to close its file; the
        // export has failed already and this status adds nothing.
        m_pFilter->EndTable();
        return false;
    }
    m_progress.EndTable(nRecords);
    if (!Check(m_pFilter->EndTable(), Op::kEndTable, &table))
        return false;
    m_job.records.push_back(nRecords);
    return true;
}

bool Exporter::ExportRecords(TableReader& reader, const TableFields& table, int64_t* pnRecords)
{
    RowPipe rows(reader);
    bool bWritten = WriteRows(rows, table, pnRecords);
    // The values live in the pipe's batches, which go with it.
    for (size_t i = 0; i < table.pointers.size(); ++i)
        table.fields[i].SetValue(nullptr);
    if (!bWritten)
        return false;
    switch (rows.Ending()) {
    case RowPipe::kNoMemory:
        Fail(kExitDatabase, "out of memory reading the table " + table.name + ", record " +
                                std::to_string(rows.FailedRecord()));
        return false;
    case RowPipe::kReadError:
        Fail(kExitDatabase, "reading the table " + table.name + " failed: " + rows.Error());
        return false;
    default:
        return true;
    }
}

// Hands each row the pipe reads to the filter: the field objects show the
// row's values where the pipe read them. False when the filter fails.
bool Exporter::WriteRows(RowPipe& rows, const TableFields& table, int64_t* pnRecords)
{
    int nFields = static_cast<int>(table.pointers.size());
    while (const RowBatch* pBatch = rows.Next()) {
        for (int r = 0; r < pBatch->Rows(); ++r) {
            int64_t nRecord = ++*pnRecords;
            for (int i = 0; i < nFields; ++i)
                table.fields[i].SetValue(&pBatch->Value(r, i));
            const WCHAR* pszPath = RecordPath(table, nRecord);
            if (!Check(m_pFilter->BeginRecord(pszPath), Op::kBeginRecord, &table, nRecord))
                return false;
            if (m_job.bKeepRecordPaths)
                m_job.recordPaths.insert(pszPath);
            for (int i = 0; i < nFields; ++i)
                if (!Check(m_pFilter->WriteField(table.pointers[i]), Op::kWriteField, &table, nRecord, i))
                    return false;
            if (!Check(m_pFilter->EndRecord(), Op::kEndRecord, &table, nRecord))
                return false;
            m_progress.Advance(nRecord);
        }
    }
    return true;
}

// The record's path: the record-path column's value, or, where there is
// none, the table's name, "-" and the record's number. A "." in the table's
// name would be taken for the start of an extension, which the filter
// replaces, so such a name gets a "." at the end for the filter to cut.
const WCHAR* Exporter::RecordPath(const TableFields& table, int64_t nRecord)
{
    if (table.nRecordPathColumn >= 0) {
        const FieldText* pValue = table.fields[table.nRecordPathColumn].Value();
        if (pValue && pValue->Length() > 0)
            return pValue->Text();
    }
    WCHAR digits[20];
    int nDigits = 0;
    for (int64_t n = nRecord; n > 0; n /= 10)
        digits[nDigits++] = static_cast<WCHAR>('0' + n % 10);
    m_recordPath.assign(table.wideName);
    m_recordPath += WCHAR('-');
    while (nDigits > 0)
        m_recordPath += digits[--nDigits];
    if (table.bDotInName)
        m_recordPath += WCHAR('.');
    return m_recordPath.c_str();
}

void Exporter::ReportStatus(int status, Op op, const TableFields* pTable, int64_t nRecord, int nField)
{
    std::string where = OperationName(op);
    if (pTable) {
        where += "(" + pTable->name;
        if (nRecord > 0)
            where += ", record " + std::to_string(nRecord);
        if (nField >= 0)
            where += ", field " + pTable->fieldNames[static_cast<size_t>(nField)];
        where += ")";
    }
    std::string meaning;
    if (m_job.explainFailure)
        meaning = m_job.explainFailure(OperationName(op), m_tables.size() - (pTable ? 1 : 0));
    Fail(kExitFilter, where + " failed with status " + std::to_string(status) + ": " +
                          (meaning.empty() ? StatusMeaning(op, status) : meaning));
}

void Exporter::Fail(int nExitCode, const std::string& message)
{
    m_progress.Interrupt();
    fprintf(stderr, "ferlo-export: %s\n", message.c_str());
    m_nExitCode = nExitCode;
}

} // namespace

int RunExport(const Plugin& plugin, ExportJob& job, Progress& progress)
{
    return Exporter(plugin, job, progress).Run();
}
