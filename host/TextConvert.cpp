// host/TextConvert.cpp: UTF-8 to UTF-16, for every value of a UTF-8
// database and for the command line; and UTF-16 to UTF-8, for messages,
// through the encoder of platform/Utf8.h, which the Linux platform layer
// uses too. One decoder serves every conversion.
#include "TextConvert.h"

#include "../platform/Utf8.h"

#include <stdint.h>
#include <string.h>

namespace
{

const WCHAR kReplacement = 0xFFFD;

// Decodes the multi-byte sequence at s, writes its one or two units at *pd
// and returns where the next sequence begins. The ranges of the second byte
// rule out overlong forms, surrogates and values above U+10FFFF.
const unsigned char* DecodeSequence(const unsigned char* s, const unsigned char* end, WCHAR** pd)
{
    unsigned c = s[0];
    int nFollow;
    uint32_t cp;
    unsigned lo = 0x80;
    unsigned hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        nFollow = 1;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        nFollow = 2;
        cp = c & 0x0F;
        lo = c == 0xE0 ? 0xA0 : 0x80;
        hi = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        nFollow = 3;
        cp = c & 0x07;
        lo = c == 0xF0 ? 0x90 : 0x80;
        hi = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        *(*pd)++ = kReplacement;
        return s + 1;
    }
    const unsigned char* p = s + 1;
    for (int i = 0; i < nFollow; ++i, ++p) {
        if (p == end || *p < lo || *p > hi) {
            // The bytes so far are one maximal ill-formed subsequence.
            *(*pd)++ = kReplacement;
            return p;
        }
        cp = (cp << 6) | (*p & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    if (cp >= 0x10000) {
        *(*pd)++ = HighSurrogateOf(cp);
        *(*pd)++ = LowSurrogateOf(cp);
    } else {
        *(*pd)++ = static_cast<WCHAR>(cp);
    }
    return p;
}

} // namespace

size_t Utf8ToUtf16(const char* pSrc, size_t nBytes, WCHAR* pDst)
{
    const auto* s = reinterpret_cast<const unsigned char*>(pSrc);
    const unsigned char* end = s + nBytes;
    WCHAR* d = pDst;
    while (s < end) {
        // Most values are ASCII: eight bytes are tested at once where the
        // text holds eight more.
        uint64_t eight;
        if (end - s >= 8 && (memcpy(&eight, s, 8), (eight & 0x8080808080808080ull) == 0)) {
            for (int i = 0; i < 8; ++i)
                d[i] = s[i];
            s += 8;
            d += 8;
        } else if (*s < 0x80) {
            *d++ = *s++;
        } else {
            s = DecodeSequence(s, end, &d);
        }
    }
    return static_cast<size_t>(d - pDst);
}

size_t IntegerToUtf16(int64_t nValue, WCHAR* pDst)
{
    // The digits come from the right; the magnitude is taken unsigned, as
    // that of the smallest integer has no signed counterpart.
    WCHAR digits[20];
    size_t at = 20;
    uint64_t magnitude = nValue < 0 ? 0 - static_cast<uint64_t>(nValue) : static_cast<uint64_t>(nValue);
    do {
        digits[--at] = static_cast<WCHAR>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    size_t n = 0;
    if (nValue < 0)
        pDst[n++] = '-';
    memcpy(pDst + n, digits + at, (20 - at) * sizeof(WCHAR));
    return n + 20 - at;
}

// A sequence is ill formed where the decoder stops short of the length its
// lead byte announces (a lead byte that announces none stops at once).
size_t FindInvalidUtf8(const std::string& bytes)
{
    const unsigned char* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = begin + bytes.size();
    WCHAR units[2];
    for (const unsigned char* s = begin; s < end;) {
        if (*s < 0x80) {
            ++s;
            continue;
        }
        ptrdiff_t nAnnounced = *s >= 0xF0 ? 4 : *s >= 0xE0 ? 3 : 2;
        WCHAR* pUnit = units;
        const unsigned char* next = DecodeSequence(s, end, &pUnit);
        if (next - s != nAnnounced)
            return static_cast<size_t>(s - begin);
        s = next;
    }
    return std::string::npos;
}

WString Widen(const std::string& utf8)
{
    WString wide(utf8.size(), WCHAR(0));
    wide.resize(Utf8ToUtf16(utf8.data(), utf8.size(), &wide[0]));
    return wide;
}

std::string Narrow(const WCHAR* pszText)
{
    size_t n = wcslen(pszText);
    std::string out(3 * n, '\0');
    out.resize(EncodeUtf8(pszText, n, &out[0], out.size(), LoneSurrogate::Replace));
    return out;
}

std::string Narrow(const WString& text)
{
    return Narrow(text.c_str());
}
