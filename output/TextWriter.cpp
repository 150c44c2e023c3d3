// output/TextWriter.cpp: the text writers. The calls gather their bytes in
// the conversion buffer, which goes to the stream in one write when it is
// full; a text too long for the buffer goes in pieces that end between
// characters.
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
// bytes it holds for the stream, and the encoding. codePage changes to
// UTF-8 during a call when the system does not have the code page asked
// for; asciiSame says that the code page writes ASCII texts as their own
// bytes.
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

// The scans below read a text p[0..n) within its length in blocks of this
// many units, with no branch inside a block: a loop the compiler turns into
// a few vector instructions where the target has them. The last block is
// the text's last kBlockUnits units, overlapping the one before it, so
// every unit is read and none outside the text. A text shorter than a
// block is read one unit at a time.
constexpr size_t kBlockUnits = 8;

// The start of the block after the one at `at` in a text whose last block
// starts at `last`.
inline size_t NextBlock(size_t at, size_t last)
{
    return at + kBlockUnits < last ? at + kBlockUnits : last;
}

// Whether any of the flags, one per unit of a block, is set. They are read
// back as two words, which takes fewer instructions than the compiler's own
// folding of them into one flag.
inline bool AnySet(const uint16_t (&flags)[kBlockUnits])
{
    uint64_t words[2];
    static_assert(sizeof words == sizeof flags, "two words hold the flags of a block");
    memcpy(words, flags, sizeof words);
    return (words[0] | words[1]) != 0;
}

// Whether a unit keeps a text from being copied as it stands: a control
// unit, a unit of 0x80 or above, stop1 or stop2. One comparison covers both
// ends of the printable range.
inline bool NotPlain(WCHAR c, WCHAR stop1, WCHAR stop2)
{
    return (static_cast<WCHAR>(c - 0x20) >= 0x60) | (c == stop1) | (c == stop2);
}

// Copies the text p[0..n) to dst as bytes, one per unit, and tells whether
// every unit was plain (see NotPlain); when one was not, dst holds bytes of
// no use. Plain texts are the rule, so the whole text is checked and copied
// before its flags are looked at once. A block is narrowed through a local
// copy, which the compiler knows overlaps neither the text nor dst.
bool CopyPlain(const WCHAR* p, size_t n, char* dst, WCHAR stop1, WCHAR stop2)
{
    if (n < kBlockUnits) {
        size_t i = 0;
        for (; i < n && !NotPlain(p[i], stop1, stop2); ++i)
            dst[i] = static_cast<char>(p[i]);
        return i == n;
    }
    uint16_t flags[kBlockUnits] = {};
    size_t last = n - kBlockUnits;
    for (size_t at = 0;; at = NextBlock(at, last)) {
        for (size_t k = 0; k < kBlockUnits; ++k)
            flags[k] |= NotPlain(p[at + k], stop1, stop2);
        char bytes[kBlockUnits];
        for (size_t k = 0; k < kBlockUnits; ++k)
            bytes[k] = static_cast<char>(p[at + k]);
        memcpy(dst + at, bytes, kBlockUnits);
        if (at == last)
            return !AnySet(flags);
    }
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

// Writes the bytes the buffer holds: one stream write. A failed write shows
// in the stream's error flag, which the closing of the file reads.
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

// Whether a unit makes the CSV rule quote the text that holds it: the
// delimiter's first character, a double quote or a line break. The line
// breaks '\n' and '\r' are the units 10 to 13 other than 11 and 12: put as
// two range tests, the check stays free of branches, where four equality
// tests would be merged by the compiler into a bit test behind a branch.
inline bool ForcesQuotes(WCHAR c, WCHAR delimiter)
{
    bool lineBreak = (static_cast<WCHAR>(c - WSTR('\n')) <= 3) & (static_cast<WCHAR>(c - 11) > 1);
    return (c == delimiter) | (c == WSTR('"')) | lineBreak;
}

// Whether p[0..n) begins or ends with a space, which the CSV rule quotes.
inline bool SpaceAtAnEnd(const WCHAR* p, size_t n)
{
    return n > 0 && (p[0] == WSTR(' ') || p[n - 1] == WSTR(' '));
}

// Whether the CSV rule quotes p[0..n): a unit that quotes it, or a space
// at either end.
bool NeedsQuotes(const WCHAR* p, size_t n, WCHAR delimiter)
{
    if (SpaceAtAnEnd(p, n))
        return true;
    if (n < kBlockUnits) {
        for (size_t i = 0; i < n; ++i)
            if (ForcesQuotes(p[i], delimiter))
                return true;
        return false;
    }
    uint16_t flags[kBlockUnits] = {};
    size_t last = n - kBlockUnits;
    for (size_t at = 0;; at = NextBlock(at, last)) {
        for (size_t k = 0; k < kBlockUnits; ++k)
            flags[k] |= ForcesQuotes(p[at + k], delimiter);
        if (at == last)
            return AnySet(flags);
    }
}

// The most common text: printable ASCII in a code page that writes ASCII
// as it stands, unescaped, and without stop1 and stop2 (with CSV on, the
// double quote and the delimiter). Such a text p[0..n) is checked and
// copied into the buffer in one pass. Returns false, and adds nothing, for
// any other text, which takes the general way.
inline bool PutPlain(Output& out, const WCHAR* p, size_t n, WCHAR stop1, WCHAR stop2)
{
    if (!out.asciiSame || out.escape || n > kConvBytes - out.used)
        return false;
    if (!CopyPlain(p, n, out.buf + out.used, stop1, stop2))
        return false;
    out.used += n;
    return true;
}

// Adds the text p[0..n) in the output encoding, unquoted.
inline void PutText(Output& out, const WCHAR* p, size_t n)
{
    if (!PutPlain(out, p, n, 0, 0))
        Put(out, p, n);
}

// The delimiter before a value is most often one plain unit, which is its
// own byte.
inline void PutDelimiter(Output& out, const WCHAR* p)
{
    bool bOneByte = out.asciiSame && !out.escape && p[0] != 0 && p[1] == 0 && !NotPlain(p[0], 0, 0);
    if (bOneByte && out.used < kConvBytes)
        out.buf[out.used++] = static_cast<char>(p[0]);
    else
        PutText(out, p, wcslen(p));
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
    : m_options(options), m_pConvBuf(new (std::nothrow) char[kConvBufBytes]), m_pHeldFile(nullptr),
      m_nHeld(0), m_pQuoteBuf(nullptr), m_bAsciiProbed(0), m_nAsciiCodePage(0), m_bAsciiSame(0)
{
    if (m_pConvBuf)
        m_pQuoteBuf = new (std::nothrow) WCHAR[kQuoteBufUnits];
}

TextWriter::~TextWriter()
{
    delete[] m_pConvBuf;
    delete[] m_pQuoteBuf;
}

bool TextWriter::ProbeAscii()
{
    m_bAsciiSame = WritesAsciiAsItIs(m_options.m_nCodePage);
    m_nAsciiCodePage = m_options.m_nCodePage;
    m_bAsciiProbed = 1;
    return m_bAsciiSame != 0;
}

void TextWriter::Flush()
{
    if (m_nHeld > 0)
        _fwrite_nolock(m_pConvBuf, 1, m_nHeld, m_pHeldFile);
    m_nHeld = 0;
}

void TextWriter::HoldFor(FILE* pFile)
{
    if (pFile != m_pHeldFile)
        Flush();
    m_pHeldFile = pFile;
}

const WCHAR* TextWriter::QuoteCsv(const WCHAR* pszText)
{
    if (!m_options.m_bCsv || !pszText || !*pszText)
        return pszText;
    size_t n = wcslen(pszText);
    if (!NeedsQuotes(pszText, n, m_options.m_szDelimiter[0]))
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

// A value that is plain with CSV on (see PutPlain) is one the CSV rule
// leaves as it is, unless it begins or ends with a space.
void TextWriter::WriteQuoted(FILE* pFile, const WCHAR* pszText, const WCHAR* pszDelimiter)
{
    if (!pFile || !pszText)
        return;
    HoldFor(pFile);
    bool unicode = m_options.m_bUnicode != 0;
    Output out{pFile, m_pConvBuf, m_nHeld, m_options.m_nCodePage, unicode, false, !unicode && AsciiSame()};
    bool csv = m_options.m_bCsv != 0;
    WCHAR delimiter = m_options.m_szDelimiter[0];
    if (pszDelimiter)
        PutDelimiter(out, pszDelimiter);
    size_t n = wcslen(pszText);
    bool bPlain = !(csv && SpaceAtAnEnd(pszText, n)) &&
                  PutPlain(out, pszText, n, csv ? WSTR('"') : 0, csv ? delimiter : 0);
    if (!bPlain) {
        if (csv && NeedsQuotes(pszText, n, delimiter))
            PutQuotedForm(out, m_pQuoteBuf, pszText, n);
        else
            Put(out, pszText, n);
    }
    m_nHeld = out.used;
}

void TextWriter::WriteText(FILE* pFile, const WCHAR* pszText, int bEscape)
{
    if (!pFile || !pszText)
        return;
    bool unicode = m_options.m_bUnicode != 0;
    bool escape = bEscape && !unicode && m_options.m_nCodePage == CP_UTF8;
    HoldFor(pFile);
    Output out{pFile, m_pConvBuf, m_nHeld, m_options.m_nCodePage, unicode, escape, !unicode && AsciiSame()};
    PutText(out, pszText, wcslen(pszText));
    m_nHeld = out.used;
}

// The markup is ASCII, the same bytes in every code page the module writes
// XML in, so it goes to the stream as it stands.
void TextWriter::WriteLiteral(FILE* pFile, const char* pszText)
{
    if (!pFile || !pszText)
        return;
    HoldFor(pFile);
    size_t n = strlen(pszText);
    if (n > kConvBytes - m_nHeld)
        Flush();
    if (n > kConvBytes) {
        _fwrite_nolock(pszText, 1, n, pFile);
        return;
    }
    memcpy(m_pConvBuf + m_nHeld, pszText, n);
    m_nHeld += n;
}
