// platform/posix/WideString.cpp: the C library's wide-text functions for
// UTF-16 texts on Linux, where the library's own work on 32-bit wchar_t.
#include "../Platform.h"

#include <stdint.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{

size_t ScanLength(const WCHAR* s)
{
    const WCHAR* p = s;
    while (*p)
        ++p;
    return static_cast<size_t>(p - s);
}

} // namespace

// lstrlenW: the units before the terminator; a null text has length 0, as
// on Windows (which also survives a bad pointer there, and does not here).
int lstrlenW(LPCWSTR s)
{
    return s ? static_cast<int>(wcslen(s)) : 0;
}

// wcslen: the writers measure here every text that is not plain ASCII
// (and the rest of one whose first units were), so it looks at eight units
// at a time. It reads the aligned 16-byte blocks that
// hold the text; such a block never crosses a page, so the units around
// the text in its first and last block can be read without a fault. Those
// reads are deliberate and their bytes unused, so the sanitizers, which
// would take them for reads of other objects, do not check them.
#if defined(__SSE2__)
__attribute__((no_sanitize("address", "thread"))) size_t wcslen(const WCHAR* s)
{
    uintptr_t at = reinterpret_cast<uintptr_t>(s);
    if (at % sizeof(WCHAR) != 0)
        return ScanLength(s);
    const __m128i zero = _mm_setzero_si128();
    const __m128i* block = reinterpret_cast<const __m128i*>(at & ~uintptr_t(15));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_load_si128(block), zero)));
    mask &= ~0u << (at & 15);
    while (mask == 0) {
        ++block;
        mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_load_si128(block), zero)));
    }
    const char* end = reinterpret_cast<const char*>(block) + __builtin_ctz(mask);
    return static_cast<size_t>(end - reinterpret_cast<const char*>(s)) / sizeof(WCHAR);
}
#else
size_t wcslen(const WCHAR* s)
{
    return ScanLength(s);
}
#endif

int wcscmp(const WCHAR* a, const WCHAR* b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return (*a > *b) - (*a < *b);
}

WCHAR* wcscpy(WCHAR* dst, const WCHAR* src)
{
    WCHAR* d = dst;
    while ((*d++ = *src++) != 0) {
    }
    return dst;
}

// wcschr: as the C library, the terminator itself can be searched for.
const WCHAR* wcschr(const WCHAR* s, WCHAR c)
{
    for (;; ++s) {
        if (*s == c)
            return s;
        if (*s == 0)
            return nullptr;
    }
}

WCHAR* wcschr(WCHAR* s, WCHAR c)
{
    return const_cast<WCHAR*>(wcschr(static_cast<const WCHAR*>(s), c));
}

const WCHAR* wcsrchr(const WCHAR* s, WCHAR c)
{
    const WCHAR* found = nullptr;
    for (;; ++s) {
        if (*s == c)
            found = s;
        if (*s == 0)
            return found;
    }
}

WCHAR* wcsrchr(WCHAR* s, WCHAR c)
{
    return const_cast<WCHAR*>(wcsrchr(static_cast<const WCHAR*>(s), c));
}

const WCHAR* wcsstr(const WCHAR* s, const WCHAR* find)
{
    if (*find == 0)
        return s;
    for (; *s; ++s) {
        const WCHAR* a = s;
        const WCHAR* b = find;
        while (*a && *a == *b)
            ++a, ++b;
        if (*b == 0)
            return s;
    }
    return nullptr;
}

WCHAR* wcsstr(WCHAR* s, const WCHAR* find)
{
    return const_cast<WCHAR*>(wcsstr(static_cast<const WCHAR*>(s), find));
}

// _wcsupr and _wcslwr: the C runtime's "C" locale, in which only the ASCII
// letters change case. A Windows runtime set to another locale also maps
// letters beyond ASCII; the product never sets a locale.
WCHAR* _wcsupr(WCHAR* s)
{
    for (WCHAR* p = s; *p; ++p)
        if (*p >= u'a' && *p <= u'z')
            *p = static_cast<WCHAR>(*p - (u'a' - u'A'));
    return s;
}

WCHAR* _wcslwr(WCHAR* s)
{
    for (WCHAR* p = s; *p; ++p)
        if (*p >= u'A' && *p <= u'Z')
            *p = static_cast<WCHAR>(*p + (u'a' - u'A'));
    return s;
}

namespace
{

WCHAR FoldAscii(WCHAR c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c + (u'a' - u'A')) : c;
}

bool IsAsciiSpace(WCHAR c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

} // namespace

// _wcsicmp: compares as if both texts were in lower case, by the rules of
// the "C" locale (only A to Z fold), as _wcslwr above.
int _wcsicmp(const WCHAR* a, const WCHAR* b)
{
    while (*a && FoldAscii(*a) == FoldAscii(*b))
        ++a, ++b;
    return static_cast<int>(FoldAscii(*a)) - static_cast<int>(FoldAscii(*b));
}

// _wtol: white space, an optional sign, then decimal digits up to the first
// other unit; 0 without digits. A number beyond the 32 bits of Windows'
// long gives its largest or smallest value, as the Windows runtime does.
// Windows also skips Unicode's other spaces and reads the decimal digits of
// other scripts (fullwidth digits, for one); here only ASCII counts.
LONG _wtol(const WCHAR* str)
{
    while (IsAsciiSpace(*str))
        ++str;
    bool bNegative = *str == u'-';
    if (*str == u'-' || *str == u'+')
        ++str;
    int64_t n = 0;
    for (; *str >= u'0' && *str <= u'9'; ++str) {
        n = n * 10 + (*str - u'0');
        if (n > INT32_MAX + int64_t{1})
            n = INT32_MAX + int64_t{1};
    }
    if (bNegative)
        return static_cast<LONG>(-n);
    return n > INT32_MAX ? INT32_MAX : static_cast<LONG>(n);
}
