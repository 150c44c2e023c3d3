// output/TextWriter.h: the text writers through which every character of an
// output file passes: the CSV quoting rule, the conversion of UTF-16 texts
// to the output encoding with XML escaping, and the ASCII markup of XML
// files. They read the encoding, the CSV flag and the delimiter from the
// export's options, and write to whichever stream they are given.
#pragma once

#include "../settings/Options.h"

#include <stdio.h>

class TextWriter
{
public:
    enum : int {
        kConvBufBytes = 65536,
        kQuoteBufUnits = 65536,
    };

    // Allocates the two buffers once; IsComplete tells whether both could
    // be had. Writing a text allocates nothing.
    explicit TextWriter(const Options& options);
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;
    bool IsComplete() const { return m_pConvBuf && m_pQuoteBuf; }

    // QuoteCsv returns the text itself, or m_pQuoteBuf holding its CSV form
    // (valid until the next call), or null when that form does not fit
    // m_pQuoteBuf (a text of more than 32766 units can be too long).
    const WCHAR* QuoteCsv(const WCHAR* pszText);

    // The writers gather their bytes in the conversion buffer and hand them
    // to the stream when it is full, when a text for another stream comes,
    // and on Flush. Whoever flushes a stream the writers wrote to, seeks in
    // it, writes to it otherwise or closes it calls Flush first, so that no
    // byte stays behind or lands out of order. A null pFile or text writes
    // nothing.
    //
    // WriteQuoted writes the CSV form of a text of any length, after
    // pszDelimiter as it stands when that is given. WriteText writes a text
    // in the output encoding, XML escaped when bEscape asks for it and the
    // output is UTF-8. WriteLiteral writes ASCII markup unchanged.
    void WriteQuoted(FILE* pFile, const WCHAR* pszText, const WCHAR* pszDelimiter = nullptr);
    void WriteText(FILE* pFile, const WCHAR* pszText, int bEscape);
    void WriteLiteral(FILE* pFile, const char* pszText);
    void Flush();

private:
    // Asked for every text, so the answer for the code page last asked
    // about is kept here, and only a new code page is probed.
    bool AsciiSame()
    {
        if (m_bAsciiProbed && m_nAsciiCodePage == m_options.m_nCodePage)
            return m_bAsciiSame != 0;
        return ProbeAscii();
    }
    bool ProbeAscii();
    // Makes pFile the stream the conversion buffer holds bytes for.
    void HoldFor(FILE* pFile);

    const Options& m_options;
    char* m_pConvBuf;
    // The stream the first m_nHeld bytes of m_pConvBuf are for.
    FILE* m_pHeldFile;
    size_t m_nHeld;
    WCHAR* m_pQuoteBuf;
    // Whether code page m_nAsciiCodePage writes every ASCII text as its own
    // bytes, so that the writers may copy such texts instead of converting
    // them; m_bAsciiProbed is 0 until the first text is converted.
    int32_t m_bAsciiProbed;
    uint32_t m_nAsciiCodePage;
    int32_t m_bAsciiSame;
};
