// bench/export_bench.cpp: a whole export through the filter's virtual
// table, as a host drives it: 1,000,000 records of ten ASCII fields, CSV on,
// code page 1252, from a host that holds its values in memory. Reports
// records per second and the output in bytes per second.
#include "filter/FerloFilter.h"
#include "filter/FilterInfo.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace
{

using WString = std::basic_string<WCHAR>;
namespace fs = std::filesystem;

// A field of the in-memory host: its values are made once, and each one is
// handed out as a copy of a CString that shares its block.
class MemoryField final : public HostField
{
public:
    MemoryField(const WString& name, std::vector<CString> values)
        : m_name(name.c_str()), m_values(std::move(values))
    {
    }
    int ZRCALL Prepare() override { return 0; }
    const CString& ZRCALL GetName() override { return m_name; }
    CString* ZRCALL GetValueText(CString* pResult) override
    {
        return new (pResult) CString(m_values[m_nRow]);
    }
    void Row(size_t n) { m_nRow = n % m_values.size(); }

private:
    CString m_name;
    std::vector<CString> m_values;
    size_t m_nRow = 0;
};

WString Ascii(const std::string& s)
{
    return WString(s.begin(), s.end());
}

// Ten columns of 4 to 40 characters; the third holds the delimiter now and
// then, so that some values are quoted.
std::vector<MemoryField> Columns()
{
    const std::string words = "Springfield Customer Shipped Order Street Total Invoice Payment Region ";
    std::vector<MemoryField> columns;
    for (int c = 0; c < 10; ++c) {
        std::vector<CString> values;
        for (int v = 0; v < 64; ++v) {
            std::string text = words.substr(static_cast<size_t>(v % 17), static_cast<size_t>(4 + 4 * c));
            // Values seldom begin or end with a space, which would quote them.
            if (text.front() == ' ')
                text.front() = 'x';
            if (text.back() == ' ')
                text.back() = 'x';
            if (c == 2 && v % 8 == 0)
                text[1] = ',';
            values.emplace_back(Ascii(text).c_str());
        }
        columns.emplace_back(Ascii("Column" + std::to_string(c)), std::move(values));
    }
    return columns;
}

void WholeExport(benchmark::State& state)
{
    const size_t kRecords = static_cast<size_t>(state.range(0));
    std::vector<MemoryField> columns = Columns();
    std::vector<HostField*> fields;
    for (MemoryField& column : columns)
        fields.push_back(&column);
    fs::path dir = fs::temp_directory_path() / "ferlo-export-bench";
    fs::create_directories(dir);
    WString file;
    for (char16_t c : dir.u16string())
        file += static_cast<WCHAR>(c == u'/' ? u'\\' : c);
    WString options =
        WSTR("[CSV=TRUE][DELIMITER=,][CHARSET=1252][OVERWRITE=TRUE][FILE=") + file + WSTR("\\data.csv]");
    uintmax_t bytes = 0;
    for (auto _ : state) {
        CZRBasicDbFilter* p = ZRDbCreateFilter(0, nullptr);
        p->ParseOptions(HostString{options.c_str()});
        p->BeginTable(HostString{WSTR("Bench")}, fields.data(), static_cast<int>(fields.size()));
        for (size_t r = 0; r < kRecords; ++r) {
            for (MemoryField& column : columns)
                column.Row(r);
            p->BeginRecord(WSTR(""));
            for (HostField* field : fields)
                p->WriteField(field);
            p->EndRecord();
        }
        p->EndTable();
        p->Commit();
        p->Destroy(kDestroyFree);
        // Each export writes a new file, as a user's export into an empty
        // folder does; removing the last one is not part of it.
        state.PauseTiming();
        bytes = fs::file_size(dir / "data.csv");
        fs::remove(dir / "data.csv");
        state.ResumeTiming();
    }
    state.counters["records/s"] =
        benchmark::Counter(static_cast<double>(kRecords), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes/s"] =
        benchmark::Counter(static_cast<double>(bytes), benchmark::Counter::kIsIterationInvariantRate,
                           benchmark::Counter::OneK::kIs1024);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    fs::remove_all(dir);
}

BENCHMARK(WholeExport)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
// A smaller export, for profilers that count instructions.
BENCHMARK(WholeExport)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
