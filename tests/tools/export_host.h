// tests/tools/export_host.h: a host for tests that drives whole exports through
// the filter's virtual table, in the host's order, with field objects of
// its own, and records every status.
#pragma once

#include "filter_fixture.h"

#include <functional>
#include <string>
#include <vector>

// A field of the test host: a name, and the value of the current record,
// which the host sets before each WriteField. Counts the host's calls.
class TestField final : public HostField
{
public:
    explicit TestField(const WString& name) : m_name(name.c_str()) {}

    int ZRCALL Prepare() override
    {
        ++prepared;
        return 0;
    }
    const CString& ZRCALL GetName() override { return m_name; }
    CString* ZRCALL GetValueText(CString* pResult) override
    {
        ++valuesTaken;
        return new (pResult) CString(m_value.c_str());
    }

    void SetValue(const WString& value) { m_value = value; }

    int prepared = 0;
    int valuesTaken = 0;

private:
    CString m_name;
    WString m_value;
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

inline std::string Ascii(const WString& s)
{
    return Narrow(s.c_str());
}

// Runs one export in the host's order: options, then per table BeginTable,
// per record BeginRecord, one WriteField per field, EndRecord, then
// EndTable; Commit after the last table; then the filter is destroyed.
// beforeClosing, when given, runs before each table's last EndRecord and
// before its EndTable, where the files are closed.
inline ExportLog RunExport(const WString& options, const std::vector<TestTable>& tables,
                           const std::function<void()>& beforeClosing = {})
{
    ExportLog log;
    auto note = [&log](const std::string& what, int status) {
        log.calls += (log.calls.empty() ? "" : " ") + what + "=" + std::to_string(status);
    };
    CZRBasicDbFilter* p = ZRDbCreateFilter(0, nullptr);
    if (!p)
        return log;
    note("ParseOptions", p->ParseOptions(HostString{options.c_str()}));
    for (const TestTable& table : tables) {
        std::vector<TestField> fields;
        fields.reserve(table.fields.size());
        for (const WString& name : table.fields)
            fields.emplace_back(name);
        std::vector<HostField*> pointers;
        for (TestField& field : fields)
            pointers.push_back(&field);
        HostString hostName{table.name.c_str()};
        note("BeginTable(" + Ascii(table.name) + ")",
             p->BeginTable(hostName, pointers.data(), static_cast<int>(pointers.size())));
        for (const TestRecord& record : table.records) {
            note("BeginRecord", p->BeginRecord(record.path.c_str()));
            for (size_t i = 0; i < fields.size(); ++i) {
                fields[i].SetValue(i < record.values.size() ? record.values[i] : WString());
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
    p->Destroy(kDestroyFree);
    return log;
}
