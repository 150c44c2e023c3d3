// tests/writer_fixture.h: a filter whose writers write to a temporary
// file, the bytes read back, and the differences between the Windows and
// Linux conversions that tests name where they meet them.
#pragma once

#include "temp_dir.h"
#include "reference_text.h"

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

// A filter writing to a file of its own; Written() gives what reached it.
// The file lies in a fresh directory: the C runtime's tmpfile names its files
// in the drive's root, where test runs side by side would meet.
class WriterFixture
{
public:
    WriterFixture() : m_filter(MakeFilter()), m_file(fopen((m_dir.Native() / "out").string().c_str(), "w+b"))
    {
        if (m_filter)
            m_filter->m_pFile = m_file;
    }
    ~WriterFixture()
    {
        if (m_filter)
            m_filter->m_pFile = nullptr; // the filter never closes its stream
        if (m_file)
            fclose(m_file);
    }
    bool Ready() const { return m_filter && m_file; }
    CFerloFilter& operator*() { return *m_filter; }
    CFerloFilter* operator->() { return m_filter.get(); }

    // Sets the output encoding: Unicode, or the code page.
    void Encoding(bool unicode, UINT codePage)
    {
        m_filter->m_bUnicode = unicode;
        m_filter->m_nCodePage = codePage;
    }

    std::string Written()
    {
        fflush(m_file);
        std::string bytes;
        rewind(m_file);
        char buf[65536];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, m_file)) > 0)
            bytes.append(buf, n);
        return bytes;
    }

private:
    TempDir m_dir;
    FilterPtr m_filter;
    FILE* m_file;
};
