// tests/writer_fixture.h: text writers that write to a temporary file, the
// bytes read back, and the differences between the Windows and Linux
// conversions that tests name where they meet them.
#pragma once

#include "reference_text.h"
#include "temp_dir.h"

#include "output/TextWriter.h"

#include <stdio.h>
#include <string>

#if defined(_WIN32)
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// Bytes from hexadecimal pairs separated by spaces: "41 00 42 00".
inline std::string Hex(const char* pairs)
{
    std::string bytes;
    unsigned value;
    int used;
    while (sscanf(pairs, " %2x%n", &value, &used) == 1) {
        bytes += static_cast<char>(value);
        pairs += used;
    }
    return bytes;
}

// Windows converts a character its code page lacks to a look-alike where it
// has one ("best fit": e with acute accent becomes "e" in code page 932);
// Linux has no such tables and writes the code page's default character.
inline std::string WindowsBestFit(const char* windows, const char* linux)
{
    return Hex(kWindows ? windows : linux);
}

// Text writers over options of their own, writing to a file of their own;
// Written() gives what reached it. The file lies in a fresh directory: the C
// runtime's tmpfile names its files in the drive's root, where test runs
// side by side would meet.
class WriterFixture
{
public:
    WriterFixture() : m_writer(options), m_file(fopen((m_dir.Native() / "out").string().c_str(), "w+b")) {}
    ~WriterFixture()
    {
        if (m_file)
            fclose(m_file);
    }
    bool Ready() const { return m_writer.IsComplete() && m_file; }

    // Sets the output encoding: Unicode, or the code page.
    void Encoding(bool unicode, UINT codePage)
    {
        options.m_bUnicode = unicode;
        options.m_nCodePage = codePage;
    }
    void Csv(int csv, const WCHAR* pszDelimiter = WSTR(";"))
    {
        options.m_bCsv = csv;
        wcscpy(options.m_szDelimiter, pszDelimiter);
    }

    const WCHAR* QuoteCsv(const WCHAR* pszText) { return m_writer.QuoteCsv(pszText); }
    void WriteQuoted(const WCHAR* pszText, const WCHAR* pszDelimiter = nullptr)
    {
        m_writer.WriteQuoted(m_file, pszText, pszDelimiter);
    }
    void WriteText(const WCHAR* pszText, int bEscape) { m_writer.WriteText(m_file, pszText, bEscape); }
    void WriteLiteral(const char* pszText) { m_writer.WriteLiteral(m_file, pszText); }
    TextWriter& Writer() { return m_writer; }

    std::string Written()
    {
        m_writer.Flush();
        fflush(m_file);
        std::string bytes;
        rewind(m_file);
        char buf[65536];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, m_file)) > 0)
            bytes.append(buf, n);
        return bytes;
    }

    Options options;

private:
    TempDir m_dir;
    TextWriter m_writer;
    FILE* m_file;
};
