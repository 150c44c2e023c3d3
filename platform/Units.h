// platform/Units.h: the scans over UTF-16 units that run on every text an
// export writes: copying an ASCII run to bytes, and looking for any of a few
// units. Where the processor has SSE2 they take eight or sixteen units at a
// time; elsewhere (the x86 build, which does not assume SSE2) one at a time.
// Those given a count of units read only those; those given a terminated
// text read up to its terminator and a little around it, as said before
// CopyPrintable.
#pragma once

#include "Platform.h"

#include <stddef.h>
#include <stdint.h>

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

// The scans below take terminated texts, whose length is not known
// beforehand: they read the aligned 16-byte blocks that hold the text, up to
// the one with the terminator. Such a block never crosses a page, so the
// units around the text in its first and last block can be read without a
// fault. Those reads are
// deliberate and their bytes unused, so the sanitizers, which would take
// them for reads of other objects, do not check them.
#define FERLO_READS_AROUND_TEXT __attribute__((no_sanitize("address", "thread")))

#if defined(__SSE2__)
// The bytes of p, one mask bit each, that are not printable ASCII or are a
// or b. p holds units packed with unsigned saturation: a unit above 0xFF
// became 0xFF, and one above 0x7FFF, taken as negative, 0; so a byte below
// 0x20 or above 0x7F, which one signed compare finds, is a unit outside
// 0x20..0x7F, and a byte equal to a printable a or b is that unit.
inline unsigned NotPrintableOr(__m128i p, __m128i a, __m128i b)
{
    __m128i outside = _mm_cmpgt_epi8(_mm_set1_epi8(0x20), p);
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(outside, _mm_or_si128(_mm_cmpeq_epi8(p, a), _mm_cmpeq_epi8(p, b)))));
}

// The units of the aligned block, two mask bits each, that are below 0x20
// or are a or b.
FERLO_READS_AROUND_TEXT inline unsigned ControlOr(const __m128i* block, __m128i a, __m128i b)
{
    __m128i v = _mm_load_si128(block);
    __m128i control = _mm_cmpeq_epi16(_mm_subs_epu16(v, _mm_set1_epi16(0x1F)), _mm_setzero_si128());
    __m128i other = _mm_or_si128(_mm_cmpeq_epi16(v, a), _mm_cmpeq_epi16(v, b));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(control, other)));
}

inline __m128i PrintableByte(WCHAR u)
{
    return _mm_set1_epi8(static_cast<char>(u >= 0x20 && u < 0x80 ? u : 0));
}
#endif

// Copies the leading units of the terminated text s that are printable
// ASCII (0x20 to 0x7F) and neither a nor b to out as bytes, at most cap of
// them, and returns how many it copied: s[result] == 0 says that it copied
// the whole text. Measuring, checking and copying are one pass. out has room
// for cap bytes; those past the copied ones may be overwritten.
FERLO_READS_AROUND_TEXT inline size_t CopyPrintable(const WCHAR* s, char* out, size_t cap, WCHAR a, WCHAR b)
{
    size_t i = 0;
#if defined(__SSE2__)
    uintptr_t at = reinterpret_cast<uintptr_t>(s);
    if (at % sizeof(WCHAR) == 0 && cap >= 16) {
        const __m128i va = PrintableByte(a);
        const __m128i vb = PrintableByte(b);
        const __m128i* block = reinterpret_cast<const __m128i*>(at & ~uintptr_t(15));
        // The first block holds skip units before s; its bytes are shifted
        // by as many, so that out[0] is s[0]'s, and only the 8 - skip bytes
        // that are the text's own are checked.
        unsigned skip = static_cast<unsigned>(at & 15) / 2;
        __m128i v = _mm_load_si128(block++);
        __m128i p = _mm_srl_epi64(_mm_packus_epi16(v, v), _mm_cvtsi32_si128(static_cast<int>(skip * 8)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), p);
        unsigned mask = NotPrintableOr(p, va, vb) & ((1u << (8 - skip)) - 1);
        if (mask != 0)
            return static_cast<unsigned>(__builtin_ctz(mask));
        i = 8 - skip;
        // One more block brings the scan to 32-byte alignment; from there
        // it takes two blocks, 16 units, at a time.
        if (reinterpret_cast<uintptr_t>(block) & 16) {
            v = _mm_load_si128(block++);
            p = _mm_packus_epi16(v, v);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), p);
            mask = NotPrintableOr(p, va, vb) & 0xFFu;
            if (mask != 0)
                return i + static_cast<unsigned>(__builtin_ctz(mask));
            i += 8;
        }
        for (; i + 16 <= cap; i += 16, block += 2) {
            // The second block is read only when the first does not hold the
            // terminator: no block past the terminator's is read.
            __m128i first = _mm_load_si128(block);
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(first, _mm_setzero_si128())) != 0) {
                p = _mm_packus_epi16(first, first);
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), p);
                return i + static_cast<unsigned>(__builtin_ctz(NotPrintableOr(p, va, vb)));
            }
            p = _mm_packus_epi16(first, _mm_load_si128(block + 1));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), p);
            mask = NotPrintableOr(p, va, vb);
            if (mask != 0)
                return i + static_cast<unsigned>(__builtin_ctz(mask));
        }
    }
#endif
    for (; i < cap; ++i) {
        WCHAR u = s[i];
        if (u < 0x20 || u >= 0x80 || u == a || u == b)
            break;
        out[i] = static_cast<char>(u);
    }
    return i;
}

// The index of the first unit of the terminated text s that is a, b, or a
// control unit below 0x20, the terminator among them.
FERLO_READS_AROUND_TEXT inline size_t FindControlOr(const WCHAR* s, WCHAR a, WCHAR b)
{
#if defined(__SSE2__)
    uintptr_t at = reinterpret_cast<uintptr_t>(s);
    if (at % sizeof(WCHAR) == 0) {
        const __m128i va = _mm_set1_epi16(static_cast<short>(a));
        const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
        const __m128i* block = reinterpret_cast<const __m128i*>(at & ~uintptr_t(15));
        // Two mask bits per unit; those of the units before s are dropped.
        unsigned mask = ControlOr(block, va, vb) & (~0u << (at & 15));
        while (mask == 0)
            mask = ControlOr(++block, va, vb);
        const char* first = reinterpret_cast<const char*>(block) + __builtin_ctz(mask);
        return static_cast<size_t>(first - reinterpret_cast<const char*>(s)) / sizeof(WCHAR);
    }
#endif
    size_t i = 0;
    while (s[i] >= 0x20 && s[i] != a && s[i] != b)
        ++i;
    return i;
}

#undef FERLO_READS_AROUND_TEXT

} // namespace units
