// platform/posix/WideString.cpp: the C library's wide-text functions for
// UTF-16 texts on Linux, where the library's own work on 32-bit wchar_t.
#include "../Platform.h"

// lstrlenW: the units before the terminator; a null text has length 0, as
// on Windows (which also survives a bad pointer there, and does not here).
int lstrlenW(LPCWSTR s)
{
    return s ? static_cast<int>(wcslen(s)) : 0;
}

size_t wcslen(const WCHAR* s)
{
    const WCHAR* p = s;
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
