// common/String.h: the host library's wide string, as the module uses it for
// paths: a heap-owned, NUL-terminated UTF-16 text whose searches count
// positions from 1 (0: not found).
//
// The members defined here are the inline part of the host's header. The
// module's export table carries them under the host compiler's names, so
// each is marked to be emitted even where nothing in the module calls it.
// Construction from a text, assignment, path joining and path() belong to
// the host's support library; the module carries its own (String.cpp).
//
// When memory runs out a string never holds a null text: a constructor
// that gets no memory leaves the string holding g_szNoMemory, a shared
// empty text that the destructor does not release, and an assignment or a
// join that gets no memory leaves the string's text as it was.
#pragma once

#include "../platform/Platform.h"

#include <new>

// Emits an inline function in every object that sees it, so that the
// export table can name it whether or not the module calls it.
#define FERLO_EMIT __attribute__((used))

class String
{
public:
    FERLO_EMIT String() : m_pszText(new (std::nothrow) WCHAR[1]), m_pBuffer(nullptr)
    {
        if (m_pszText)
            m_pszText[0] = 0;
        else
            m_pszText = g_szNoMemory;
    }

    FERLO_EMIT ~String()
    {
        if (m_pszText != g_szNoMemory)
            delete[] m_pszText;
        delete[] m_pBuffer;
    }

    // The text itself, never a copy and never null.
    FERLO_EMIT operator const WCHAR*() const { return m_pszText; }

    FERLO_EMIT int strlen() const { return static_cast<int>(wcslen(m_pszText)); }

    // Case changes in place, by the C runtime's rules; they return *this.
    FERLO_EMIT String& strupr()
    {
        _wcsupr(m_pszText);
        return *this;
    }
    FERLO_EMIT String& strlwr()
    {
        _wcslwr(m_pszText);
        return *this;
    }

    // Positions from 1, 0 when not found. Only the low 16 bits of c count,
    // and c = 0 finds the terminator at strlen() + 1.
    FERLO_EMIT int strchr(int c) const { return Position(wcschr(m_pszText, static_cast<WCHAR>(c))); }
    FERLO_EMIT int strrchr(int c) const { return Position(wcsrchr(m_pszText, static_cast<WCHAR>(c))); }
    // An empty s is found at 1.
    FERLO_EMIT int strstr(const WCHAR* s) const { return Position(wcsstr(m_pszText, s)); }

    FERLO_EMIT int empty() { return m_pszText[0] == 0 ? 1 : 0; }

    // The host library's operations (String.cpp).
    String(const WCHAR* s);
    String(const String& other);
    String& operator=(const WCHAR* s);
    String& operator=(const String& other);
    String& operator*=(const String& component);
    String path() const;

private:
    // n + 1 units whose contents are not set; g_szNoMemory when they cannot
    // be had, which a caller must check before writing.
    FERLO_EMIT String(int n) : m_pszText(new (std::nothrow) WCHAR[n + 1]), m_pBuffer(nullptr)
    {
        if (!m_pszText)
            m_pszText = g_szNoMemory;
    }

    FERLO_EMIT operator WCHAR*() const { return m_pszText; }

    int Position(const WCHAR* pFound) const { return pFound ? static_cast<int>(pFound - m_pszText) + 1 : 0; }

    void Assign(const WCHAR* s, size_t nUnits);
    void Replace(WCHAR* pszText);

    // The text a string holds when no memory could be had for its own.
    static WCHAR g_szNoMemory[1];

    WCHAR* m_pszText;
    // Belongs to the host library's operations; the module's own copy of
    // them does not use it, so it stays null.
    WCHAR* m_pBuffer;
};

// Comparisons are exact and case-sensitive, unit by unit. The forms with a
// non-const operand are part of the host's header and exported with it.
FERLO_EMIT inline int operator==(const String& a, const String& b)
{
    return wcscmp(static_cast<const WCHAR*>(a), static_cast<const WCHAR*>(b)) == 0 ? 1 : 0;
}
FERLO_EMIT inline int operator==(String& a, const String& b)
{
    return static_cast<const String&>(a) == b;
}
FERLO_EMIT inline int operator==(const String& a, const WCHAR* b)
{
    return wcscmp(static_cast<const WCHAR*>(a), b) == 0 ? 1 : 0;
}
FERLO_EMIT inline int operator==(String& a, const WCHAR* b)
{
    return static_cast<const String&>(a) == b;
}
FERLO_EMIT inline int operator==(const String& a, WCHAR* b)
{
    return a == static_cast<const WCHAR*>(b);
}
FERLO_EMIT inline int operator==(String& a, WCHAR* b)
{
    return static_cast<const String&>(a) == static_cast<const WCHAR*>(b);
}
FERLO_EMIT inline int operator!=(const String& a, const String& b)
{
    return a == b ? 0 : 1;
}
FERLO_EMIT inline int operator!(const String& a)
{
    return static_cast<const WCHAR*>(a)[0] == 0 ? 1 : 0;
}
