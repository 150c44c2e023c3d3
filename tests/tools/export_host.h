// tests/tools/export_host.h: a host for tests that drives whole exports through
// the filter's virtual table, in the host's order, with field objects of
// its own, and records every status.
#pragma once

#include "filter_fixture.h"

#include <functional>
#include <vector>

// A field of the test host: a name, and the value of the current record,
// which the host sets before each WriteField. Counts the host's calls. The
// value handed out shares the field's string block and allocates nothing.
struct TestField final : HostField {
    explicit TestField(const WString& sName) : name(sName.c_str()) {}
    int ZRCALL Prepare() override { return ++prepared, 0; }
    const CString& ZRCALL GetName() override { return name; }
    CString* ZRCALL GetValueText(CString* pResult) override
    {
        ++valuesTaken;
        return new (pResult) CString(value);
    }

    CString name, value;
    int prepared = 0, valuesTaken = 0;
};

struct TestRecord {
    WString path; // passed to BeginRecord
    std::vector<WString> values;
};

struct TestTable {
    WString name;
    std::vector<WString> fields;
    std::vector<TestRecord> records;
};

// The statuses of one export, operation by operation, in call order, e.g.
// "ParseOptions=0 BeginTable(Customers)=0 ... Commit=0".
struct ExportLog {
    std::string calls;
    bool AllZero() const
    {
        return calls.find("=1") == std::string::npos && calls.find("=2") == std::string::npos;
    }
};

// Runs one export in the host's order: ParseOptions; per table BeginTable,
// per record BeginRecord, a WriteField per field and EndRecord, EndTable;
// Commit; Destroy. beforeClosing, when given, runs before each table's last
// EndRecord and before its EndTable, where the files are closed.
inline ExportLog RunExport(const WString& options, const std::vector<TestTable>& tables,
                           const std::function<void()>& beforeClosing = {})
{
    ExportLog log;
    auto note = [&log](const std::string& what, int status) {
        log.calls += (log.calls.empty() ? "" : " ") + what + "=" + std::to_string(status);
    };
    FilterPtr p = MakeFilter();
    note("ParseOptions", p->ParseOptions(HostStr(options)));
    for (const TestTable& table : tables) {
        std::vector<TestField> fields(table.fields.begin(), table.fields.end());
        std::vector<HostField*> pointers;
        for (TestField& field : fields)
            pointers.push_back(&field);
        note("BeginTable(" + Narrow(table.name.c_str()) + ")",
             p->BeginTable(HostStr(table.name), pointers.data(), static_cast<int>(pointers.size())));
        for (const TestRecord& record : table.records) {
            note("BeginRecord", p->BeginRecord(record.path.c_str()));
            for (size_t i = 0; i < fields.size(); ++i) {
                fields[i].value = i < record.values.size() ? record.values[i].c_str() : WSTR("");
                note("WriteField", p->WriteField(&fields[i]));
            }
            if (beforeClosing && &record == &table.records.back())
                beforeClosing();
            note("EndRecord", p->EndRecord());
        }
        if (beforeClosing)
            beforeClosing();
        note("EndTable", p->EndTable());
    }
    note("Commit", p->Commit());
    return log;
}
