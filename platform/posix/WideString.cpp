// platform/posix/WideString.cpp: the C library's wide-text functions for
// UTF-16 texts on Linux, where the library's own work on 32-bit wchar_t.
#include "../Platform.h"

#include <stdint.h>

// lstrlenW: the units before the terminator; a null text has length 0, as
// on Windows (which also survives a bad pointer there, and does not here).
int lstrlenW(LPCWSTR s)
{
    return s ? static_cast<int>(wcslen(s)) : 0;
}

// Four units a round, each read only once the one before it was found not
// to be the terminator, so nothing past the text is read.
size_t wcslen(const WCHAR* s)
{
    const WCHAR* p = s;
    while (p[0] && p[1] && p[2] && p[3])
        p += 4;
    while (*p)
        ++p;
    return static_cast<size_t>(p - s);
}

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
