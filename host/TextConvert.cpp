// host/TextConvert.cpp: UTF-8 to UTF-16 for every field value exported, so
// runs of ASCII take a fast path; and the slower conversions the other way,
// for messages.
#include "TextConvert.h"

#include <stdint.h>
#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
        cp -= 0x10000;
        *(*pd)++ = static_cast<WCHAR>(0xD800 + (cp >> 10));
        *(*pd)++ = static_cast<WCHAR>(0xDC00 + (cp & 0x3FF));
    } else {
        *(*pd)++ = static_cast<WCHAR>(cp);
    }
    return p;
}

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

// Four ASCII bytes widened to four UTF-16 units in one 64-bit word: each
// step moves half of the bytes up into the next wider lane.
inline void WidenFour(uint64_t four, WCHAR* d)
{
    four = (four | (four << 16)) & 0x0000FFFF0000FFFFull;
    four = (four | (four << 8)) & 0x00FF00FF00FF00FFull;
    memcpy(d, &four, sizeof(four));
}

#if defined(__SSE2__)
// Most values are ASCII throughout: at least eight bytes of them are widened
// in blocks of sixteen or eight, the last block overlapping the one before
// so that no byte is taken alone. Returns false, with any of the n units at
// pDst written, when a byte is not ASCII.
bool WidenAscii(const char* pSrc, size_t n, WCHAR* pDst)
{
    const __m128i zero = _mm_setzero_si128();
    auto* d = reinterpret_cast<__m128i*>(pDst);
    if (n < 16) {
        __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pSrc));
        __m128i last = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pSrc + n - 8));
        if (_mm_movemask_epi8(_mm_or_si128(first, last)) != 0)
            return false;
        _mm_storeu_si128(d, _mm_unpacklo_epi8(first, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + n - 8), _mm_unpacklo_epi8(last, zero));
        return true;
    }
    auto widen16 = [&](size_t at) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + at));
        if (_mm_movemask_epi8(bytes) != 0)
            return false;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + at), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + at + 8), _mm_unpackhi_epi8(bytes, zero));
        return true;
    };
    size_t at = 0;
    for (; at + 16 <= n; at += 16)
        if (!widen16(at))
            return false;
    return at == n || widen16(n - 16);
}
#endif

size_t Utf8ToUtf16(const char* pSrc, size_t nBytes, WCHAR* pDst)
{
    // The lanes of WidenFour land in memory order on a little-endian
    // machine only, as every machine the host runs on is.
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "eight bytes widened in one word");
#if defined(__SSE2__)
    if (nBytes >= 8 && WidenAscii(pSrc, nBytes, pDst))
        return nBytes;
#endif
    const auto* s = reinterpret_cast<const unsigned char*>(pSrc);
    const unsigned char* end = s + nBytes;
    WCHAR* d = pDst;
    while (s < end) {
        uint64_t chunk;
        while (end - s >= 8 && (memcpy(&chunk, s, sizeof(chunk)), (chunk & 0x8080808080808080ull) == 0)) {
            WidenFour(chunk & 0xFFFFFFFFu, d);
            WidenFour(chunk >> 32, d + 4);
            s += 8;
            d += 8;
        }
        uint32_t four;
        if (end - s >= 4 && (memcpy(&four, s, sizeof(four)), (four & 0x80808080u) == 0)) {
            WidenFour(four, d);
            s += 4;
            d += 4;
        }
        while (s < end && *s < 0x80)
            *d++ = *s++;
        if (s < end)
            s = DecodeSequence(s, end, &d);
    }
    return static_cast<size_t>(d - pDst);
}

size_t IntegerToUtf16(int64_t nValue, WCHAR* pDst)
{
    // The digits are made two at a time, from the right, into a buffer of
    // their own, and copied out in one piece.
    static const char kPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                 "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                 "8081828384858687888990919293949596979899";
    WCHAR digits[20];
    size_t at = 20;
    uint64_t magnitude = nValue < 0 ? 0 - static_cast<uint64_t>(nValue) : static_cast<uint64_t>(nValue);
    while (magnitude >= 100) {
        const char* pair = kPairs + 2 * (magnitude % 100);
        magnitude /= 100;
        digits[--at] = static_cast<WCHAR>(pair[1]);
        digits[--at] = static_cast<WCHAR>(pair[0]);
    }
    digits[--at] = static_cast<WCHAR>('0' + magnitude % 10);
    if (magnitude >= 10)
        digits[--at] = static_cast<WCHAR>('0' + magnitude / 10);
    size_t n = 0;
    if (nValue < 0)
        pDst[n++] = '-';
    memcpy(pDst + n, digits + at, (20 - at) * sizeof(WCHAR));
    return n + 20 - at;
}

namespace
{

// The whole number k for which m / 2^s is the double nearest to k / 100, or
// 0 when there is none; m has 53 bits and s is 16 to 60, so 100 m fits in 64
// bits. k / 100 is the nearest when it lies within half a unit in m's last
// place, |100 m - k 2^s| < 50; for m = 2^52 the doubles below are twice as
// close, so k / 100 below it must lie within 25. No tie can arise: none of
// 100 m - 50, 100 m + 50 and 100 m - 25 is a multiple of 2^s.
uint64_t NearestHundredths(uint64_t m, unsigned s)
{
    const uint64_t unit = uint64_t(1) << s;
    uint64_t scaled = 100 * m;
    uint64_t k = scaled >> s;
    uint64_t above = scaled & (unit - 1);
    if (above < (m == uint64_t(1) << 52 ? 25u : 50u))
        return k;
    if (unit - above < 50)
        return k + 1;
    return 0;
}

} // namespace

size_t HundredthsToUtf16(double rValue, WCHAR* pDst)
{
    // Whole hundredths below 10^11 only: a real is the double nearest to some
    // k / 100. Its 15 or 17 significant digits then round to k / 100 exactly,
    // and SQLite writes those digits without the trailing zeros, in fixed
    // notation (the exponent is between -2 and 10), keeping one digit after
    // the point. The test reads the double's bits and works in integers: the
    // 32-bit build computes in the x87 unit, whose quotients keep more bits
    // than a double, so k / 100.0 compared with the real is no test there.
    if (!(rValue > -1e11 && rValue < 1e11))
        return 0;
    uint64_t bits;
    memcpy(&bits, &rValue, sizeof(bits));
    // |real| = m / 2^s; below 2^-8 (zero and the subnormals among them) no
    // real is nearest to a hundredth.
    unsigned s = 1075 - static_cast<unsigned>((bits >> 52) & 0x7FF);
    if (s > 60)
        return 0;
    uint64_t k = NearestHundredths((bits & ((uint64_t(1) << 52) - 1)) | uint64_t(1) << 52, s);
    if (k == 0)
        return 0;
    size_t n = 0;
    if (bits >> 63)
        pDst[n++] = '-';
    n += IntegerToUtf16(static_cast<int64_t>(k / 100), pDst + n);
    unsigned cents = static_cast<unsigned>(k % 100);
    pDst[n++] = '.';
    pDst[n++] = static_cast<WCHAR>('0' + cents / 10);
    if (cents % 10 != 0)
        pDst[n++] = static_cast<WCHAR>('0' + cents % 10);
    return n;
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
    std::string out;
    for (const WCHAR* p = pszText; *p; ++p) {
        uint32_t u = *p;
        if (u >= 0xD800 && u <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (p[1] - 0xDC00));
            ++p;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::string Narrow(const WString& text)
{
    return Narrow(text.c_str());
}
