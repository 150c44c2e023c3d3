// common/String.cpp: the out-of-line operations of String: construction
// from a text, copying, assignment, path joining and the directory part.
//
// The host's support library provides these in the product; the module
// carries its own, with the behaviour described at each operation. They
// allocate with the module's allocator and never fail loudly: an operation
// that gets no memory leaves the string's text as it was (a constructor:
// the empty text, see String.h).
#include "String.h"

#include <string.h>

static_assert(sizeof(String) == 2 * sizeof(void*), "the host's layout: the text, then the buffer");

WCHAR String::g_szNoMemory[1] = {0};

namespace
{
const WCHAR kSeparator = WSTR('\\');
// What an empty directory text stands for when a component is joined to it.
const WCHAR kCurrentDirectory[] = WSTR(".");
} // namespace

String::String(const WCHAR* s) : m_pszText(g_szNoMemory), m_pBuffer(nullptr)
{
    Assign(s, s ? wcslen(s) : 0);
}

String::String(const String& other) : m_pszText(g_szNoMemory), m_pBuffer(nullptr)
{
    Assign(other.m_pszText, wcslen(other.m_pszText));
}

// A null s is taken as the empty text.
String& String::operator=(const WCHAR* s)
{
    Assign(s, s ? wcslen(s) : 0);
    return *this;
}

String& String::operator=(const String& other)
{
    if (this != &other)
        Assign(other.m_pszText, wcslen(other.m_pszText));
    return *this;
}

// Appends component as a further path component with exactly one backslash
// at the seam: none is added after a text that ends in one, and leading
// backslashes of the component are dropped. An empty text is the current
// directory, so joining to it yields ".\component"; joining an empty
// component to an empty directory thus gives ".\", a directory that
// exists, rather than "\", the root, or "", which names nothing.
String& String::operator*=(const String& component)
{
    const WCHAR* pszLeft = m_pszText[0] ? m_pszText : kCurrentDirectory;
    const WCHAR* pszRight = component.m_pszText;
    while (*pszRight == kSeparator)
        ++pszRight;
    size_t nLeft = wcslen(pszLeft);
    size_t nSeparator = pszLeft[nLeft - 1] == kSeparator ? 0 : 1;
    size_t nRight = wcslen(pszRight);
    WCHAR* pszJoined = new (std::nothrow) WCHAR[nLeft + nSeparator + nRight + 1];
    if (!pszJoined)
        return *this;
    memcpy(pszJoined, pszLeft, nLeft * sizeof(WCHAR));
    if (nSeparator)
        pszJoined[nLeft] = kSeparator;
    memcpy(pszJoined + nLeft + nSeparator, pszRight, nRight * sizeof(WCHAR));
    pszJoined[nLeft + nSeparator + nRight] = 0;
    Replace(pszJoined);
    return *this;
}

// The directory part keeps its trailing backslash, so that a file at a
// root keeps the root: C:\data.csv gives C:\ (not C:, the drive's current
// directory) and \data.csv gives \. A text without a backslash has no
// directory part and gives the empty text.
String String::path() const
{
    String directory;
    const WCHAR* pLast = wcsrchr(m_pszText, kSeparator);
    if (pLast)
        directory.Assign(m_pszText, static_cast<size_t>(pLast - m_pszText) + 1);
    return directory;
}

// Makes the text a copy of the first nUnits units of s; keeps the text as
// it was when no memory can be had. s may point into the current text.
void String::Assign(const WCHAR* s, size_t nUnits)
{
    WCHAR* pszCopy = new (std::nothrow) WCHAR[nUnits + 1];
    if (!pszCopy)
        return;
    if (nUnits)
        memcpy(pszCopy, s, nUnits * sizeof(WCHAR));
    pszCopy[nUnits] = 0;
    Replace(pszCopy);
}

void String::Replace(WCHAR* pszText)
{
    if (m_pszText != g_szNoMemory)
        delete[] m_pszText;
    m_pszText = pszText;
}
