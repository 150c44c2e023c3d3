// bench/writers_bench.cpp: the speed of the text writers on the fields of a
// typical export: records of ten fields of 4 to 40 characters, delimited,
// quoted where the CSV rule asks, in code pages 1252 and 65001 and in
// UTF-16LE. Reports the output in bytes per second and fields per second.
#include "output/TextWriter.h"

#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace
{

using WString = std::basic_string<WCHAR>;

// Ten fields of 4, 8, ... 40 characters cut from a sample text; one of
// them holds the delimiter and is quoted, the others are not.
std::vector<WString> SampleFields(const WCHAR* sample)
{
    WString text;
    while (text.size() < 400)
        text += sample;
    std::vector<WString> fields;
    for (size_t i = 0, at = 0; i < 10; ++i) {
        size_t length = 4 * (i + 1);
        WString field = text.substr(at, length);
        // Values seldom begin or end with a space, which would quote them.
        if (field.front() == WSTR(' '))
            field.front() = WSTR('x');
        if (field.back() == WSTR(' '))
            field.back() = WSTR('x');
        fields.push_back(field);
        at += length;
    }
    fields[3][1] = WSTR(';');
    return fields;
}

const WCHAR kAscii[] = WSTR("Customer Name Street 12 Springfield 4711 Order Total Shipped");
const WCHAR kAccented[] =
    WSTR("M\u00FCller Stra\u00DFe 12 K\u00F6ln Caf\u00E9 Cr\u00E8me \u00C5se Gen\u00E8ve ");

// The ten values alone, each through QuoteCsv and WriteText; or a whole
// record the way the record operations write it: each value after the
// delimiter (from the second on) through WriteQuoted, then the line end.
struct Writers {
    Options options;
    TextWriter writer{options};
    FILE* file = nullptr;

    Writers(UINT codePage, bool unicode)
    {
        options.m_nCodePage = codePage;
        options.m_bUnicode = unicode;
        options.m_bCsv = 1;
        options.m_szDelimiter[0] = WSTR(';');
        options.m_szDelimiter[1] = 0;
    }

    void WriteFields(const std::vector<WString>& fields, bool record)
    {
        for (size_t i = 0; i < fields.size(); ++i) {
            if (record)
                writer.WriteQuoted(file, fields[i].c_str(), i > 0 ? options.m_szDelimiter : nullptr);
            else
                writer.WriteText(file, writer.QuoteCsv(fields[i].c_str()), 0);
        }
        if (record)
            writer.WriteText(file, WSTR("\r\n"), 0);
    }

    // The bytes one pass comes to.
    size_t Bytes(const std::vector<WString>& fields, bool record)
    {
        char* buf = nullptr;
        size_t length = 0;
        file = open_memstream(&buf, &length);
        WriteFields(fields, record);
        writer.Flush();
        fclose(file);
        free(buf);
        return length;
    }
};

void Run(benchmark::State& state, UINT codePage, bool unicode, const WCHAR* sample, bool record)
{
    Writers writers(codePage, unicode);
    std::vector<WString> fields = SampleFields(sample);
    size_t bytes = writers.Bytes(fields, record);
    // Opened as the filter opens its files, with the same stream buffer.
    FILE* sink = _wfsopen(WSTR("/dev/null"), WSTR("ab"), _SH_DENYRW);
    if (!sink) {
        state.SkipWithError("cannot open /dev/null");
        return;
    }
    writers.file = sink;
    for (auto _ : state)
        writers.WriteFields(fields, record);
    writers.writer.Flush();
    fclose(sink);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["fields"] = benchmark::Counter(static_cast<double>(state.iterations() * fields.size()),
                                                  benchmark::Counter::kIsRate);
}

void Fields(benchmark::State& state, UINT codePage, bool unicode, const WCHAR* sample)
{
    Run(state, codePage, unicode, sample, false);
}

void Records(benchmark::State& state, UINT codePage, bool unicode, const WCHAR* sample)
{
    Run(state, codePage, unicode, sample, true);
}

BENCHMARK_CAPTURE(Fields, ascii_1252, 1252, false, kAscii);
BENCHMARK_CAPTURE(Fields, ascii_65001, CP_UTF8, false, kAscii);
BENCHMARK_CAPTURE(Fields, ascii_unicode, 1252, true, kAscii);
BENCHMARK_CAPTURE(Fields, accented_1252, 1252, false, kAccented);
BENCHMARK_CAPTURE(Fields, accented_65001, CP_UTF8, false, kAccented);
BENCHMARK_CAPTURE(Fields, accented_unicode, 1252, true, kAccented);
BENCHMARK_CAPTURE(Records, ascii_1252, 1252, false, kAscii);
BENCHMARK_CAPTURE(Records, ascii_65001, CP_UTF8, false, kAscii);
BENCHMARK_CAPTURE(Records, ascii_unicode, 1252, true, kAscii);

} // namespace

BENCHMARK_MAIN();
