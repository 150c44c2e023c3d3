// platform/Units.h: the scans over UTF-16 units that run on every text an
// export writes: copying an ASCII run to bytes, and looking for any of a few
// units. Where the processor has SSE2 they take eight units at a time;
// elsewhere (the x86 build, which does not assume SSE2) one at a time. Both
// read only the n units they are given.
#pragma once

#include "Platform.h"

#include <stddef.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace units
{

#if defined(__SSE2__)

inline __m128i Load8(const WCHAR* s)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
}

// Whether all eight units of v are below 0x80.
inline bool AllAscii(__m128i v)
{
    __m128i high = _mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFF80)));
    return _mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) == 0xFFFF;
}

inline void Store8Bytes(char* out, __m128i v)
{
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(v, v));
}

// Finds the units that equal any of four.
struct AnyOf4 {
    __m128i a, b, c, d;
    AnyOf4(WCHAR ua, WCHAR ub, WCHAR uc, WCHAR ud)
        : a(_mm_set1_epi16(static_cast<short>(ua))), b(_mm_set1_epi16(static_cast<short>(ub))),
          c(_mm_set1_epi16(static_cast<short>(uc))), d(_mm_set1_epi16(static_cast<short>(ud)))
    {
    }
    __m128i Match(__m128i v) const
    {
        return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, a), _mm_cmpeq_epi16(v, b)),
                            _mm_or_si128(_mm_cmpeq_epi16(v, c), _mm_cmpeq_epi16(v, d)));
    }
};

#endif

// Copies the leading ASCII units (below 0x80) of s[0..n) to out as bytes and
// returns how many it copied.
inline size_t CopyAscii(const WCHAR* s, size_t n, char* out)
{
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= n; i += 8) {
        __m128i v = Load8(s + i);
        if (!AllAscii(v))
            break;
        Store8Bytes(out + i, v);
    }
    // The last units of a run longer than eight go as one block that
    // overlaps the units already copied.
    if (i < n && n >= 8 && i + 8 > n) {
        __m128i v = Load8(s + n - 8);
        if (AllAscii(v)) {
            Store8Bytes(out + n - 8, v);
            return n;
        }
    }
#endif
    for (; i < n && s[i] < 0x80; ++i)
        out[i] = static_cast<char>(s[i]);
    return i;
}

// Whether any unit of s[0..n) is a, b, c or d.
inline bool ContainsAnyOf(const WCHAR* s, size_t n, WCHAR a, WCHAR b, WCHAR c, WCHAR d)
{
    size_t i = 0;
#if defined(__SSE2__)
    if (n >= 8) {
        AnyOf4 any(a, b, c, d);
        for (; i + 8 <= n; i += 8)
            if (_mm_movemask_epi8(any.Match(Load8(s + i))) != 0)
                return true;
        return i < n && _mm_movemask_epi8(any.Match(Load8(s + n - 8))) != 0;
    }
#endif
    for (; i < n; ++i)
        if (s[i] == a || s[i] == b || s[i] == c || s[i] == d)
            return true;
    return false;
}

// The index of the first unit of s[0..n) that is c, or n when none is.
inline size_t Find(const WCHAR* s, size_t n, WCHAR c)
{
    size_t i = 0;
#if defined(__SSE2__)
    if (n >= 8) {
        const __m128i vc = _mm_set1_epi16(static_cast<short>(c));
        auto first = [&](size_t at) { return _mm_movemask_epi8(_mm_cmpeq_epi16(Load8(s + at), vc)); };
        for (; i + 8 <= n; i += 8)
            if (int mask = first(i))
                return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
        // The units of the last block before i hold no c.
        if (int mask = i < n ? first(n - 8) : 0)
            return n - 8 + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
        return n;
    }
#endif
    while (i < n && s[i] != c)
        ++i;
    return i;
}

// Copies s[0..n) to out as bytes when every unit is ASCII and none is a, b,
// c or d, and returns whether it did; otherwise out holds some of the units.
// The check and the copy are one pass over the text.
inline bool CopyAsciiWithout(const WCHAR* s, size_t n, char* out, WCHAR a, WCHAR b, WCHAR c, WCHAR d)
{
    size_t i = 0;
#if defined(__SSE2__)
    if (n >= 8) {
        AnyOf4 any(a, b, c, d);
        auto copy = [&](size_t at) {
            __m128i v = Load8(s + at);
            if (!AllAscii(v) || _mm_movemask_epi8(any.Match(v)) != 0)
                return false;
            Store8Bytes(out + at, v);
            return true;
        };
        for (; i + 8 <= n; i += 8)
            if (!copy(i))
                return false;
        return i == n || copy(n - 8);
    }
#endif
    for (; i < n; ++i) {
        WCHAR u = s[i];
        if (u >= 0x80 || u == a || u == b || u == c || u == d)
            return false;
        out[i] = static_cast<char>(u);
    }
    return true;
}

} // namespace units
