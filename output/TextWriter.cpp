// output/TextWriter.cpp: the text writers. Each call gathers its bytes in
// the conversion buffer and hands them to the stream in one write; a text
// too long for the buffer goes in pieces that end between characters.
#include "TextWriter.h"

#include "../platform/Utf16.h"

#include <new>
#include <string.h>

namespace
{

constexpr size_t kConvBytes = TextWriter::kConvBufBytes;
constexpr size_t kQuoteUnits = TextWriter::kQuoteBufUnits;

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
// ASCII text byte for byte.
bool WritesAsciiAsItIs(UINT codePage)
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

bool SplitsPair(const WCHAR* before, const WCHAR* after)
{
    return IsHighSurrogate(*before) && IsLowSurrogate(*after);
}

// Copies the leading units of p[0..n) that are ASCII to dst as bytes and
// returns how many it copied.
size_t CopyAscii(const WCHAR* p, size_t n, char* dst)
{
    size_t i = 0;
    for (; i < n && p[i] < 0x80; ++i)
        dst[i] = static_cast<char>(p[i]);
    return i;
}

// Copies the leading printable ASCII units of the terminated text p to dst,
// at most room of them, stopping before the terminator, a control unit, a
// unit of 0x80 or above, or stop1 or stop2. Returns how many it copied;
// nothing after the first unit not copied is read.
inline size_t CopyPlain(const WCHAR* p, char* dst, size_t room, WCHAR stop1, WCHAR stop2)
{
    size_t i = 0;
    for (; i < room; ++i) {
        unsigned c = p[i];
        // One comparison for both ends of the printable range.
        if (c - 0x20u >= 0x60u || c == stop1 || c == stop2)
            break;
        dst[i] = static_cast<char>(c);
    }
    return i;
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
    if (out.asciiSame && CopyAscii(p, n, dst) == n) {
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

// Writes the bytes the buffer holds: one stream write.
inline void Flush(Output& out)
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
// end between characters, one stream write each. Every character converts
// on its own, so the bytes are those of the whole text converted at once.
// Should a piece still not fit (a code page whose shift sequences make it
// longer), the pieces shrink.
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
void Put(Output& out, const WCHAR* p, size_t n)
{
    if (n == 0 || Append(out, p, n))
        return;
    Flush(out);
    if (!Append(out, p, n))
        WriteInPieces(out, p, n);
}

// Whether a unit makes the CSV rule quote the text that holds it: a line
// break, a double quote or the delimiter's first character. The terminator
// counts too, so that a scan for these units stops at the text's end. The
// units below '"' are looked up as bits of one word.
inline bool StopsCsvScan(WCHAR c, WCHAR delimiter)
{
    const uint64_t kStops = 1ull << 0 | 1ull << '\n' | 1ull << '\r' | 1ull << '"';
    return c == delimiter || (c <= WSTR('"') && (kStops >> c & 1) != 0);
}

// The length of the terminated text p, and whether the CSV rule quotes it:
// a unit that quotes it, or a space at either end.
size_t MeasureCsv(const WCHAR* p, WCHAR delimiter, bool* pbQuote)
{
    size_t n = 0;
    while (!StopsCsvScan(p[n], delimiter))
        ++n;
    if (p[n] != 0) {
        *pbQuote = true;
        return n + wcslen(p + n);
    }
    *pbQuote = n > 0 && (p[0] == WSTR(' ') || p[n - 1] == WSTR(' '));
    return n;
}

// The most common text: printable ASCII in a code page that writes ASCII
// as it stands, unescaped, and, with CSV on, one the CSV rule leaves as it
// is. It is measured, checked and copied into the buffer in one pass.
// Returns false, and adds nothing, for any other text (a tab, say, or a
// line break), which takes the general way; *pn is the text's length
// either way.
inline bool PutPlainAscii(Output& out, const WCHAR* p, bool csv, WCHAR delimiter, size_t* pn)
{
    if (!out.asciiSame || out.escape) {
        *pn = wcslen(p);
        return false;
    }
    char* dst = out.buf + out.used;
    size_t n = CopyPlain(p, dst, kConvBytes - out.used, csv ? WSTR('"') : 0, csv ? delimiter : 0);
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

// Copies the units of the terminated text p to the buffer as UTF-16LE, as
// many as fit; returns how many.
inline size_t CopyUnits(Output& out, const WCHAR* p)
{
    size_t room = (kConvBytes - out.used) / sizeof(WCHAR);
    char* dst = out.buf + out.used;
    size_t i = 0;
    for (; i < room && p[i] != 0; ++i)
        memcpy(dst + i * sizeof(WCHAR), p + i, sizeof(WCHAR));
    return i;
}

// Adds a terminated text in the output encoding, unquoted. UTF-16LE output
// is copied as it is measured, in one pass.
inline void PutText(Output& out, const WCHAR* p)
{
    size_t n = 0;
    if (out.unicode) {
        n = CopyUnits(out, p);
        out.used += n * sizeof(WCHAR);
        p += n;
        if (*p == 0)
            return;
        n = wcslen(p);
    } else if (PutPlainAscii(out, p, false, 0, &n)) {
        return;
    }
    Put(out, p, n);
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
// enclosing ones and the terminator, fits the quoting buffer.
bool QuotedFormFits(const WCHAR* p, size_t n)
{
    size_t quotes = 0;
    for (size_t i = 0; i < n; ++i)
        quotes += p[i] == WSTR('"');
    return n + quotes + 3 <= kQuoteUnits;
}

// Adds the quoted form of p[0..n) through quoteBuf, in pieces of a little
// less than the buffer, each ending between characters, so that the bytes
// are those of the whole quoted form.
void PutQuotedForm(Output& out, WCHAR* quoteBuf, const WCHAR* p, size_t n)
{
    size_t o = 0;
    quoteBuf[o++] = WSTR('"');
    for (size_t i = 0; i < n; ++i) {
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

TextWriter::TextWriter(const Options& options)
    : m_options(options), m_pConvBuf(new (std::nothrow) char[kConvBufBytes]), m_pQuoteBuf(nullptr),
      m_bAsciiProbed(0), m_nAsciiCodePage(0), m_bAsciiSame(0)
{
    if (m_pConvBuf)
        m_pQuoteBuf = new (std::nothrow) WCHAR[kQuoteBufUnits];
}

TextWriter::~TextWriter()
{
    delete[] m_pConvBuf;
    delete[] m_pQuoteBuf;
}

// The probe runs once per code page, not once per text.
bool TextWriter::AsciiSame()
{
    if (!m_bAsciiProbed || m_nAsciiCodePage != m_options.m_nCodePage) {
        m_bAsciiSame = WritesAsciiAsItIs(m_options.m_nCodePage);
        m_nAsciiCodePage = m_options.m_nCodePage;
        m_bAsciiProbed = 1;
    }
    return m_bAsciiSame != 0;
}

const WCHAR* TextWriter::QuoteCsv(const WCHAR* pszText)
{
    if (!m_options.m_bCsv || !pszText || !*pszText)
        return pszText;
    bool bQuote = false;
    size_t n = MeasureCsv(pszText, m_options.m_szDelimiter[0], &bQuote);
    if (!bQuote)
        return pszText;
    if (!QuotedFormFits(pszText, n))
        return nullptr;
    size_t o = 0;
    m_pQuoteBuf[o++] = WSTR('"');
    for (size_t i = 0; i < n; ++i)
        o = PutQuoted(m_pQuoteBuf, o, pszText[i]);
    m_pQuoteBuf[o++] = WSTR('"');
    m_pQuoteBuf[o] = 0;
    return m_pQuoteBuf;
}

// The delimiter and a value that fit the conversion buffer together leave
// in one stream write.
void TextWriter::WriteQuoted(FILE* pFile, const WCHAR* pszText, const WCHAR* pszDelimiter)
{
    if (!pFile || !pszText)
        return;
    bool unicode = m_options.m_bUnicode != 0;
    Output out{pFile, m_pConvBuf, 0, m_options.m_nCodePage, unicode, false, !unicode && AsciiSame()};
    bool csv = m_options.m_bCsv != 0;
    WCHAR delimiter = m_options.m_szDelimiter[0];
    if (pszDelimiter)
        PutText(out, pszDelimiter);
    size_t n = 0;
    if (!PutPlainAscii(out, pszText, csv, delimiter, &n)) {
        bool bQuote = false;
        if (csv)
            MeasureCsv(pszText, delimiter, &bQuote);
        if (bQuote)
            PutQuotedForm(out, m_pQuoteBuf, pszText, n);
        else
            Put(out, pszText, n);
    }
    Flush(out);
}

void TextWriter::WriteText(FILE* pFile, const WCHAR* pszText, int bEscape)
{
    if (!pFile || !pszText)
        return;
    bool unicode = m_options.m_bUnicode != 0;
    bool escape = bEscape && !unicode && m_options.m_nCodePage == CP_UTF8;
    Output out{pFile, m_pConvBuf, 0, m_options.m_nCodePage, unicode, escape, !unicode && AsciiSame()};
    PutText(out, pszText);
    Flush(out);
}

// The markup is ASCII, the same bytes in every code page the module writes
// XML in, so it goes to the stream as it stands.
void TextWriter::WriteLiteral(FILE* pFile, const char* pszText)
{
    if (!pFile || !pszText)
        return;
    _fwrite_nolock(pszText, 1, strlen(pszText), pFile);
}
