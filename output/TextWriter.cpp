// output/TextWriter.cpp: the text writers through which every character of
// an output file passes: the CSV quoting rule, the conversion of UTF-16
// texts to the output encoding with XML escaping, and the ASCII markup of
// XML files. They work in the filter's two buffers and allocate nothing.
#include "filter/FerloFilter.h"
#include "platform/Units.h"

#include <algorithm>
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

// Where and how one call writes: the stream, the conversion buffer with the
// bytes it holds for the call's stream write, and the encoding. codePage
// changes to UTF-8 during a call when the system does not have the code
// page asked for; asciiSame says that the code page writes ASCII texts as
// their own bytes.
struct Output {
    FILE* file;
    char* buf;
    size_t used;
    UINT codePage;
    bool unicode;
    bool escape;
    bool asciiSame;
};

// Whether a code page writes each of the 127 ASCII characters as its own
// byte. Asked once with all of them in one text, so that a code page whose
// conversion depends on what came before (a shifting one, or UTF-7, which
// writes "+" as "+-") shows it too; a code page that passes writes every
// ASCII text byte for byte. It runs once per code page, so it stays out of
// the writers' own code.
__attribute__((noinline)) bool WritesAsciiAsItIs(UINT codePage)
{
    WCHAR ascii[127];
    char bytes[256];
    for (int i = 0; i < 127; ++i)
        ascii[i] = static_cast<WCHAR>(i + 1);
    int cb = WideCharToMultiByte(codePage, 0, ascii, 127, bytes, sizeof bytes, nullptr, nullptr);
    if (cb != 127)
        return false;
    for (int i = 0; i < 127; ++i)
        if (static_cast<unsigned char>(bytes[i]) != i + 1)
            return false;
    return true;
}

inline bool AsciiSame(CFerloFilter& filter)
{
    if (!filter.m_bAsciiProbed || filter.m_nAsciiCodePage != filter.m_nCodePage) {
        filter.m_bAsciiSame = WritesAsciiAsItIs(filter.m_nCodePage);
        filter.m_nAsciiCodePage = filter.m_nCodePage;
        filter.m_bAsciiProbed = 1;
    }
    return filter.m_bAsciiSame != 0;
}

inline Output OutputOf(CFerloFilter& filter, int bEscape)
{
    bool unicode = filter.m_bUnicode != 0;
    return Output{filter.m_pFile, filter.m_pConvBuf, 0, filter.m_nCodePage, unicode,
                  bEscape && !unicode && filter.m_nCodePage == CP_UTF8, !unicode && AsciiSame(filter)};
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

int ToBytes(const Output& out, const WCHAR* p, size_t n, char* dst, size_t room)
{
    return WideCharToMultiByte(out.codePage, 0, p, static_cast<int>(n), dst, static_cast<int>(room), nullptr,
                               nullptr);
}

// Converts n units into room bytes at dst, as WideCharToMultiByte does with
// flags 0: characters the code page lacks become its own default character.
// An ASCII text in a code page that writes ASCII as it stands is copied,
// which gives the same bytes without the call. A code page the system does
// not have converts nothing; the text, and the rest of the call, is written
// as UTF-8 instead, so no character is lost. Returns the byte count,
// escaped where asked, or 0 when the result does not fit.
size_t Convert(Output& out, const WCHAR* p, size_t n, char* dst, size_t room)
{
    size_t length = 0;
    if (out.asciiSame && units::CopyAscii(p, n, dst) == n) {
        length = n;
    } else {
        int cb = ToBytes(out, p, n, dst, room);
        if (cb <= 0 && out.codePage != CP_UTF8 && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            out.codePage = CP_UTF8;
            out.asciiSame = true;
            cb = ToBytes(out, p, n, dst, room);
        }
        if (cb <= 0)
            return 0;
        length = static_cast<size_t>(cb);
    }
    return out.escape ? EscapeInPlace(dst, length, room) : length;
}

// Adds the bytes of n units (n > 0) after those the buffer already holds.
// UTF-16LE output is the units themselves, as they lie in memory on the
// little-endian machines the module runs on. Returns false, and adds
// nothing, when they do not fit.
bool Append(Output& out, const WCHAR* p, size_t n)
{
    char* dst = out.buf + out.used;
    size_t room = kConvBytes - out.used;
    // Every unit takes at least one byte.
    if (n > room)
        return false;
    size_t cb = 0;
    if (out.unicode) {
        cb = n * sizeof(WCHAR);
        if (cb > room)
            return false;
        memcpy(dst, p, cb);
    } else {
        cb = Convert(out, p, n, dst, room);
        if (cb == 0)
            return false;
    }
    out.used += cb;
    return true;
}

// The steps every field takes are inlined into the writers, so that the
// Output they share stays in registers.
#define FERLO_FIELD_STEP inline __attribute__((always_inline))

// Writes the bytes the buffer holds: one stream write.
FERLO_FIELD_STEP void Flush(Output& out)
{
    if (out.used > 0)
        _fwrite_nolock(out.buf, 1, out.used, out.file);
    out.used = 0;
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
// end between characters, one stream write each. Every unit converts on its
// own, so the bytes are those of the whole text converted at once. Should a
// piece still not fit (a code page whose shift sequences make it longer),
// the pieces shrink.
void WriteInPieces(Output& out, const WCHAR* p, size_t n)
{
    size_t limit = kPieceUnits;
    while (n > 0) {
        size_t k = PieceLength(p, n, limit);
        if (!Append(out, p, k)) {
            if (limit == 1)
                return;
            limit /= 2;
            continue;
        }
        Flush(out);
        p += k;
        n -= k;
    }
}

// Adds n units in the output encoding to what the buffer holds. What does
// not fit is written: first the bytes already held, then, when the text
// alone does not fit either, the text in pieces.
__attribute__((noinline)) void PutConverted(Output& out, const WCHAR* p, size_t n)
{
    if (n == 0 || Append(out, p, n))
        return;
    Flush(out);
    if (Append(out, p, n))
        return;
    if (out.unicode)
        _fwrite_nolock(p, sizeof(WCHAR), n, out.file);
    else
        WriteInPieces(out, p, n);
}

// As PutConverted. Most texts an export writes are ASCII, in a code page
// that writes ASCII as it stands, or UTF-16LE output: they are copied
// straight in, here, and only the rest goes the general way.
inline void Put(Output& out, const WCHAR* p, size_t n)
{
    size_t room = kConvBytes - out.used;
    if (out.unicode && n <= room / sizeof(WCHAR)) {
        memcpy(out.buf + out.used, p, n * sizeof(WCHAR));
        out.used += n * sizeof(WCHAR);
        return;
    }
    if (out.asciiSame && !out.escape && n <= room && units::CopyAscii(p, n, out.buf + out.used) == n) {
        out.used += n;
        return;
    }
    PutConverted(out, p, n);
}

// Adds a delimiter. Nearly all are one ASCII unit, which in a code page
// that writes ASCII as it stands is its own byte.
FERLO_FIELD_STEP void PutDelimiter(Output& out, const WCHAR* p)
{
    if (out.asciiSame && !out.escape && p[0] != 0 && p[0] < 0x80 && p[1] == 0 && out.used < kConvBytes) {
        out.buf[out.used++] = static_cast<char>(p[0]);
        return;
    }
    Put(out, p, wcslen(p));
}

// Whether the CSV rule quotes a text of n units, n > 0: a line break, the
// delimiter's first character or a double quote inside, or a space at
// either end.
bool NeedsQuotes(const WCHAR* p, size_t n, WCHAR delimiter)
{
    if (p[0] == WSTR(' ') || p[n - 1] == WSTR(' '))
        return true;
    return units::ContainsAnyOf(p, n, WSTR('"'), WSTR('\r'), WSTR('\n'), delimiter);
}

// The most common text: printable ASCII, in a code page that writes ASCII
// as it stands, and, with CSV on, one the CSV rule leaves as it is. It is
// measured, checked and copied into the buffer in one pass. Returns false,
// and adds nothing, for any other text (a tab, say, or a line break), which
// takes the general way; *pn is the text's length either way.
FERLO_FIELD_STEP bool PutPlainAscii(Output& out, const WCHAR* p, bool csv, WCHAR delimiter, size_t* pn)
{
    if (!out.asciiSame || out.escape) {
        *pn = wcslen(p);
        return false;
    }
    size_t n = csv ? units::CopyPrintable(p, out.buf + out.used, kConvBytes - out.used, WSTR('"'), delimiter)
                   : units::CopyPrintable(p, out.buf + out.used, kConvBytes - out.used, 0, 0);
    if (p[n] != 0) {
        *pn = n + wcslen(p + n);
        return false;
    }
    *pn = n;
    if (csv && n > 0 && (p[0] == WSTR(' ') || p[n - 1] == WSTR(' ')))
        return false;
    out.used += n;
    return true;
}

// Appends one unit of a quoted text, a double quote twice.
size_t PutQuoted(WCHAR* buf, size_t o, WCHAR c)
{
    buf[o++] = c;
    if (c == WSTR('"'))
        buf[o++] = c;
    return o;
}

// Whether the quoted form of p[0..n), each double quote twice, the two
// enclosing ones and the terminator, fits the quoting buffer. Only a text of
// more than half the buffer needs its double quotes counted.
bool QuotedFormFits(const WCHAR* p, size_t n)
{
    if (n <= kQuoteUnits / 2 - 2)
        return true;
    size_t quotes = 0;
    for (size_t i = units::Find(p, n, WSTR('"')); i < n; i += 1 + units::Find(p + i + 1, n - i - 1, WSTR('"')))
        ++quotes;
    return n + quotes + 3 <= kQuoteUnits;
}

// Appends p[0..n) to buf at o with each double quote written twice, in runs
// up to each double quote, and returns the new end. buf has room for them.
size_t AppendDoubled(WCHAR* buf, size_t o, const WCHAR* p, size_t n)
{
    for (size_t i = 0; i < n;) {
        size_t run = units::Find(p + i, n - i, WSTR('"'));
        memcpy(buf + o, p + i, run * sizeof(WCHAR));
        o += run;
        i += run;
        if (i < n)
            o = PutQuoted(buf, o, p[i++]);
    }
    return o;
}

// Adds the quoted form of p[0..n) through quoteBuf. Its first
// kQuoteUnits / 2 - 2 units fit, even all doubled; a longer text goes in
// pieces, each ending between characters, so the bytes are those of the
// whole quoted form.
__attribute__((noinline)) void PutQuotedForm(Output& out, WCHAR* quoteBuf, const WCHAR* p, size_t n)
{
    size_t o = 0;
    quoteBuf[o++] = WSTR('"');
    size_t whole = std::min(n, kQuoteUnits / 2 - 2);
    o = AppendDoubled(quoteBuf, o, p, whole);
    for (size_t i = whole; i < n; ++i) {
        if (o >= kQuoteUnits - 4 && !SplitsPair(p + i - 1, p + i)) {
            Put(out, quoteBuf, o);
            o = 0;
        }
        o = PutQuoted(quoteBuf, o, p[i]);
    }
    quoteBuf[o++] = WSTR('"');
    Put(out, quoteBuf, o);
}

} // namespace

const WCHAR* CFerloFilter::QuoteCsv(const WCHAR* pszText)
{
    if (!m_bCsv || !pszText || !*pszText)
        return pszText;
    // One pass finds the end of most texts that need no quotes; a text that
    // holds a double quote, the delimiter or a control unit is measured on
    // from there and looked at again.
    size_t n = units::FindControlOr(pszText, WSTR('"'), m_szDelimiter[0]);
    if (pszText[n] == 0 && pszText[0] != WSTR(' ') && pszText[n - 1] != WSTR(' '))
        return pszText;
    n += wcslen(pszText + n);
    if (!NeedsQuotes(pszText, n, m_szDelimiter[0]))
        return pszText;
    if (!QuotedFormFits(pszText, n))
        return nullptr;
    m_pQuoteBuf[0] = WSTR('"');
    size_t o = AppendDoubled(m_pQuoteBuf, 1, pszText, n);
    m_pQuoteBuf[o++] = WSTR('"');
    m_pQuoteBuf[o] = 0;
    return m_pQuoteBuf;
}

// The CSV form of a text of any length goes through m_pQuoteBuf. The
// delimiter and a value that fit the conversion buffer together leave in one
// stream write.
void CFerloFilter::WriteQuoted(const WCHAR* pszText, const WCHAR* pszDelimiter)
{
    if (!m_pFile || !pszText)
        return;
    Output out = OutputOf(*this, 0);
    if (pszDelimiter)
        PutDelimiter(out, pszDelimiter);
    size_t n = 0;
    if (PutPlainAscii(out, pszText, m_bCsv != 0, m_szDelimiter[0], &n)) {
        Flush(out);
        return;
    }
    if (!m_bCsv || n == 0 || !NeedsQuotes(pszText, n, m_szDelimiter[0]))
        Put(out, pszText, n);
    else
        PutQuotedForm(out, m_pQuoteBuf, pszText, n);
    Flush(out);
}

void CFerloFilter::WriteText(const WCHAR* pszText, int bEscape)
{
    if (!m_pFile || !pszText)
        return;
    Output out = OutputOf(*this, bEscape);
    size_t n = 0;
    if (!PutPlainAscii(out, pszText, false, 0, &n))
        Put(out, pszText, n);
    Flush(out);
}

// The markup is ASCII, the same bytes in every code page the module writes
// XML in, so it goes to the stream as it stands.
void CFerloFilter::WriteLiteral(const char* pszText)
{
    if (!m_pFile || !pszText)
        return;
    _fwrite_nolock(pszText, 1, strlen(pszText), m_pFile);
}
