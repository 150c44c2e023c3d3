// tests/tools/fake_plugin.cpp: a stand-in for the filter library for the
// host's tests, with the same exports and slots. It writes no output but logs
// every call, a line each, and returns the statuses the options ask for:
//   [LOG=calls.log]        the log file, written from ParseOptions on
//   [FAIL=WriteField:5:1]  the 5th WriteField call returns status 1
//   [SINK=TRUE]            no log: fields are only read and released (timing)
// A registry key of FAIL-CREATE makes ZRDbCreateFilter return null. "FAULT:"
// lines show what the order of calls would not: a field out of turn, a value
// string not built in the storage passed or built by the plug-in's own
// manager, a field of the last table that changed.
#include "filter/BasicDbFilter.h"
#include "filter/FilterInfo.h"

#include <stdio.h>

#include <new>
#include <string>
#include <vector>

namespace
{

// The text as UTF-8 in double quotes, escaped so that every call takes one line.
std::string Quoted(const WCHAR* pszText)
{
    if (!pszText)
        return "null";
    std::string out = "\"";
    for (const WCHAR* p = pszText; *p; ++p) {
        uint32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (*++p - 0xDC00);
        char escape[8];
        if (c == '"' || c == '\\') {
            out += {'\\', static_cast<char>(c)};
        } else if (c == '\r' || c == '\n' || c == '\t') {
            out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
        } else if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) {
            snprintf(escape, sizeof(escape), "\\u%04X", static_cast<unsigned>(c));
            out += escape;
        } else {
            int n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
            static const unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
            out += static_cast<char>(kLead[n] | (c >> (6 * (n - 1))));
            for (int i = n - 2; i >= 0; --i)
                out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
        }
    }
    return out + "\"";
}

// The value of "[KEY=" up to the next "]", or empty.
std::string OptionValue(const std::string& options, const std::string& key)
{
    size_t start = options.find("[" + key + "=");
    if (start == std::string::npos)
        return "";
    start += key.size() + 2;
    return options.substr(start, options.find(']', start) - start);
}

class FakeFilter final : public CZRBasicDbFilter
{
public:
    FakeFilter(uint32_t hostContext, const WCHAR* pszRegistryKey) : CZRBasicDbFilter(pszRegistryKey)
    {
        m_created = "ZRDbCreateFilter " + std::to_string(hostContext) + " " + Quoted(pszRegistryKey);
    }

    void* ZRCALL Destroy(unsigned int nFlags) override
    {
        CheckEarlierFields();
        Log("Destroy " + std::to_string(nFlags));
        if (m_log)
            fclose(m_log);
        this->~FakeFilter();
        if (nFlags & kDestroyFree)
            ::operator delete(this);
        return this;
    }

    int ZRCALL ParseOptions(const HostString& options) override
    {
        std::string text = Quoted(HostText(options));
        std::string logPath = OptionValue(text, "LOG");
        m_bSink = OptionValue(text, "SINK") == "TRUE";
        if (!logPath.empty() && !m_bSink)
            m_log = fopen(logPath.c_str(), "wb");
        Log(m_created);
        char op[32];
        if (sscanf(OptionValue(text, "FAIL").c_str(), "%31[^:]:%d:%d", op, &m_nFailCall, &m_nFailStatus) == 3)
            m_failOp = op;
        return Answer("ParseOptions", "ParseOptions " + text);
    }

    int ZRCALL Commit() override { return Answer("Commit", "Commit"); }

    CString* ZRCALL Configure(CString* pResult, int* pbChanged, const WCHAR*) override
    {
        Log("Configure");
        *pbChanged = 0;
        return new (pResult) CString();
    }

    int ZRCALL BeginTable(const HostString& table, HostField** ppFields, int nFields) override
    {
        CheckEarlierFields();
        std::string line = "BeginTable " + Quoted(HostText(table)) + " " + std::to_string(nFields) + ":";
        m_fields.assign(ppFields, ppFields + (nFields > 0 ? nFields : 0));
        m_names.clear();
        for (HostField* pField : m_fields) {
            m_names.push_back(Quoted(pField->GetName()));
            line += " " + m_names.back();
        }
        return Answer("BeginTable", line);
    }

    int ZRCALL EndTable() override { return Answer("EndTable", "EndTable"); }

    int ZRCALL BeginRecord(const WCHAR* pszPath) override
    {
        m_nNextField = 0;
        return m_bSink ? 0 : Answer("BeginRecord", "BeginRecord " + Quoted(pszPath));
    }

    int ZRCALL EndRecord() override { return m_bSink ? 0 : Answer("EndRecord", "EndRecord"); }

    int ZRCALL WriteField(HostField* pField) override
    {
        pField->Prepare();
        alignas(CString) unsigned char storage[sizeof(CString)];
        CString* pStorage = reinterpret_cast<CString*>(storage);
        CString* pValue = pField->GetValueText(pStorage);
        if (m_bSink) {
            // What the filter does with a field, without the writing.
            m_nSunk += static_cast<size_t>(pField->GetName().GetLength() + pValue->GetLength());
            pValue->~CString();
            return 0;
        }
        std::string line = "WriteField " + Quoted(pField->GetName()) + " = " + Quoted(pValue->GetString());
        const CStringData* pData = reinterpret_cast<const CStringData*>(pValue->GetString()) - 1;
        bool bOwnManager = pData->pStringMgr == AfxGetStringManager();
        pValue->~CString();
        if (pValue != pStorage)
            Log("FAULT: GetValueText built its string elsewhere than in the storage passed");
        if (bOwnManager)
            Log("FAULT: the value string comes from the plug-in's own string manager");
        if (m_nNextField >= m_fields.size() || m_fields[m_nNextField] != pField)
            Log("FAULT: a field other than field " + std::to_string(m_nNextField) + " of the table");
        ++m_nNextField;
        return Answer("WriteField", line);
    }

    int ZRCALL Reserved9() override { return 0; }

private:
    ~FakeFilter() = default;

    // The status the options ask for this call, 0 by default; logged if not 0.
    int Answer(const std::string& op, const std::string& line)
    {
        int status = op == m_failOp && ++m_nFailOpCalls == m_nFailCall ? m_nFailStatus : 0;
        Log(status ? line + " -> " + std::to_string(status) : line);
        return status;
    }

    void Log(const std::string& line)
    {
        if (m_log)
            fprintf(m_log, "%s\n", line.c_str());
    }

    // The host keeps the last table's fields alive until the next BeginTable
    // or the end: their names must still be there.
    void CheckEarlierFields()
    {
        for (size_t i = 0; i < m_fields.size(); ++i)
            if (Quoted(m_fields[i]->GetName()) != m_names[i])
                Log("FAULT: field " + std::to_string(i) + " of the last table changed its name");
    }

    std::string m_created, m_failOp;
    FILE* m_log = nullptr;
    bool m_bSink = false;
    int m_nFailCall = 0, m_nFailStatus = 0, m_nFailOpCalls = 0;
    std::vector<HostField*> m_fields;
    std::vector<std::string> m_names;
    size_t m_nNextField = 0, m_nSunk = 0;
};

} // namespace

extern "C" int ZRDbGetFilterInfo(FilterInfo* pInfo)
{
    const WCHAR* pszDescription = WSTR("Stand-in filter for the host's tests");
    *pInfo = {0x00020001, 99, pszDescription, WSTR("Fake"), WSTR("0.1"), nullptr};
    return 0;
}

extern "C" CZRBasicDbFilter* ZRDbCreateFilter(uint32_t hostContext, const WCHAR* pszRegistryKey)
{
    return Quoted(pszRegistryKey) == "\"FAIL-CREATE\"" ? nullptr
                                                       : new FakeFilter(hostContext, pszRegistryKey);
}

extern "C" int ZRSetOptions()
{
    return 0;
}

extern "C" int ZRGetOptionsString()
{
    return 0;
}
