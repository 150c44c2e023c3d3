// output/TextWriter.cpp: the text writers through which every character of
// an output file passes: the CSV quoting rule, the conversion of UTF-16
// texts to the output encoding with XML escaping, and the ASCII markup of
// XML files. They work in the filter's two buffers and allocate nothing.
#include "filter/FerloFilter.h"

#include <string.h>

namespace
{

constexpr size_t kConvBytes = CFerloFilter::kConvBufBytes;
constexpr size_t kQuoteUnits = CFerloFilter::kQuoteBufUnits;

// No unit becomes more than six bytes: UTF-8 needs at most three per unit,
// GB18030 four, and an escaped character is an ASCII byte written as an
// entity of at most six. A piece of this many units therefore always fits
// the conversion buffer, converted and escaped.
constexpr size_t kPieceUnits = kConvBytes / 6;

// Where and how one call writes: the stream, the conversion buffer, and
// the encoding. codePage changes to UTF-8 during a call when the system
// does not have the code page asked for.
struct Output {
    FILE* file;
    char* buf;
    UINT codePage;
    bool unicode;
    bool escape;
};

Output OutputOf(const CFerloFilter& filter, int bEscape)
{
    bool unicode = filter.m_bUnicode != 0;
    return Output{filter.m_pFile, filter.m_pConvBuf, filter.m_nCodePage, unicode,
                  bEscape && !unicode && filter.m_nCodePage == CP_UTF8};
}

bool IsHighSurrogate(WCHAR c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(WCHAR c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool SplitsPair(const WCHAR* before, const WCHAR* after)
{
    return IsHighSurrogate(*before) && IsLowSurrogate(*after);
}

// The XML entity that replaces a byte, or null when the byte stays.
const char* EntityOf(char c)
{
    switch (c) {
    case '\'':
        return "&apos;";
    case '"':
        return "&quot;";
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    default:
        return nullptr;
    }
}

// Replaces the escaped bytes of buf[0..n) by their entities, in place, from
// the end backwards so that each byte moves once. An entity's own bytes are
// never looked at again, so its ampersand is not escaped twice. UTF-8 puts
// no byte below 0x80 inside a multi-byte character, so no character is cut.
// Returns the new length, or 0 when the escaped text would not fit cap.
size_t EscapeInPlace(char* buf, size_t n, size_t cap)
{
    size_t grown = n;
    for (size_t i = 0; i < n; ++i)
        if (const char* entity = EntityOf(buf[i]))
            grown += strlen(entity) - 1;
    if (grown > cap)
        return 0;
    for (size_t from = n, to = grown; from > 0 && to != from;) {
        const char* entity = EntityOf(buf[--from]);
        if (!entity) {
            buf[--to] = buf[from];
            continue;
        }
        size_t k = strlen(entity);
        to -= k;
        memcpy(buf + to, entity, k);
    }
    return grown;
}

// Converts n units, as WideCharToMultiByte does with flags 0: characters
// the code page lacks become its own default character. A code page the
// system does not have converts nothing; the text, and the rest of the
// call, is written as UTF-8 instead, so no character is lost. Returns the
// byte count, escaped where asked, or 0 when the result does not fit.
int ToBytes(const Output& out, const WCHAR* p, size_t n)
{
    return WideCharToMultiByte(out.codePage, 0, p, static_cast<int>(n), out.buf, static_cast<int>(kConvBytes),
                               nullptr, nullptr);
}

size_t Convert(Output& out, const WCHAR* p, size_t n)
{
    int cb = ToBytes(out, p, n);
    if (cb <= 0 && out.codePage != CP_UTF8 && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        out.codePage = CP_UTF8;
        cb = ToBytes(out, p, n);
    }
    if (cb <= 0)
        return 0;
    size_t length = static_cast<size_t>(cb);
    return out.escape ? EscapeInPlace(out.buf, length, kConvBytes) : length;
}

// The length of the next piece of a long text: at most limit units, and
// never ending between the two halves of a surrogate pair.
size_t PieceLength(const WCHAR* p, size_t n, size_t limit)
{
    if (n <= limit)
        return n;
    if (!SplitsPair(p + limit - 1, p + limit))
        return limit;
    return limit > 1 ? limit - 1 : 2;
}

// A text whose conversion does not fit the buffer is written in pieces that
// end between characters. Every unit converts on its own, so the bytes are
// those of the whole text converted at once. Should a piece still not fit
// (a code page whose shift sequences make it longer), the pieces shrink.
void WriteInPieces(Output& out, const WCHAR* p, size_t n)
{
    size_t limit = kPieceUnits;
    while (n > 0) {
        size_t k = PieceLength(p, n, limit);
        size_t cb = Convert(out, p, k);
        if (cb == 0) {
            if (limit == 1)
                return;
            limit /= 2;
            continue;
        }
        fwrite(out.buf, 1, cb, out.file);
        p += k;
        n -= k;
    }
}

// Writes n units in the output encoding: in one stream write whenever the
// converted text fits the buffer. UTF-16LE output is the units themselves,
// as they lie in memory on the little-endian machines the module runs on.
void WriteUnits(Output& out, const WCHAR* p, size_t n)
{
    if (n == 0)
        return;
    if (out.unicode) {
        fwrite(p, sizeof(WCHAR), n, out.file);
        return;
    }
    if (n <= kConvBytes) {
        size_t cb = Convert(out, p, n);
        if (cb > 0) {
            fwrite(out.buf, 1, cb, out.file);
            return;
        }
    }
    WriteInPieces(out, p, n);
}

// What the CSV rule sees in a text: its length, its double quotes, and
// whether it must be quoted (a line break, the delimiter or a double quote
// inside, or a space at either end).
struct CsvScan {
    size_t length = 0;
    size_t quotes = 0;
    bool needsQuotes = false;
};

CsvScan ScanCsv(const WCHAR* psz, WCHAR delimiter)
{
    CsvScan scan;
    for (;; ++scan.length) {
        WCHAR c = psz[scan.length];
        if (c > WSTR('"') && c != delimiter)
            continue;
        if (c == 0)
            break;
        if (c == WSTR('"'))
            ++scan.quotes;
        if (c == WSTR('"') || c == WSTR('\r') || c == WSTR('\n') || c == delimiter)
            scan.needsQuotes = true;
    }
    if (psz[0] == WSTR(' ') || psz[scan.length - 1] == WSTR(' '))
        scan.needsQuotes = true;
    return scan;
}

// Appends one unit of a quoted text, a double quote twice.
size_t PutQuoted(WCHAR* buf, size_t o, WCHAR c)
{
    buf[o++] = c;
    if (c == WSTR('"'))
        buf[o++] = c;
    return o;
}

} // namespace

const WCHAR* CFerloFilter::QuoteCsv(const WCHAR* pszText)
{
    if (!m_bCsv || !pszText || !*pszText)
        return pszText;
    CsvScan scan = ScanCsv(pszText, m_szDelimiter[0]);
    if (!scan.needsQuotes)
        return pszText;
    if (scan.length + scan.quotes + 3 > kQuoteUnits)
        return nullptr;
    size_t o = 0;
    m_pQuoteBuf[o++] = WSTR('"');
    for (size_t i = 0; i < scan.length; ++i)
        o = PutQuoted(m_pQuoteBuf, o, pszText[i]);
    m_pQuoteBuf[o++] = WSTR('"');
    m_pQuoteBuf[o] = 0;
    return m_pQuoteBuf;
}

// A text whose quoted form does not fit m_pQuoteBuf is quoted and written
// piece by piece through it, each piece ending between characters, so the
// file holds exactly the quoted form of the whole text.
void CFerloFilter::WriteQuoted(const WCHAR* pszText)
{
    if (!m_pFile || !pszText)
        return;
    if (const WCHAR* pszQuoted = QuoteCsv(pszText)) {
        WriteText(pszQuoted, 0);
        return;
    }
    Output out = OutputOf(*this, 0);
    size_t o = 0;
    m_pQuoteBuf[o++] = WSTR('"');
    for (const WCHAR* p = pszText; *p; ++p) {
        if (o >= kQuoteUnits - 4 && !SplitsPair(p - 1, p)) {
            WriteUnits(out, m_pQuoteBuf, o);
            o = 0;
        }
        o = PutQuoted(m_pQuoteBuf, o, *p);
    }
    m_pQuoteBuf[o++] = WSTR('"');
    WriteUnits(out, m_pQuoteBuf, o);
}

void CFerloFilter::WriteText(const WCHAR* pszText, int bEscape)
{
    if (!m_pFile || !pszText)
        return;
    Output out = OutputOf(*this, bEscape);
    WriteUnits(out, pszText, wcslen(pszText));
}

// The markup is ASCII, the same bytes in every code page the module writes
// XML in, so it goes to the stream as it stands.
void CFerloFilter::WriteLiteral(const char* pszText)
{
    if (!m_pFile || !pszText)
        return;
    fwrite(pszText, 1, strlen(pszText), m_pFile);
}
