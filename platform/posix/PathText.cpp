// platform/posix/PathText.cpp: "." and ".." resolved in a Linux path's
// text, as Windows resolves them in a path before it reaches the disk.
#include "Files.h"

#include <string.h>

namespace files
{

namespace
{

// Drops the name kept last, at the end of the names from pFirst to *ppOut,
// for a "..": false when there is none to drop and the ".." is to be kept
// (at the start of a relative name, or after another ".."). At the root
// there is nothing above, and the ".." is dropped itself.
bool DropLastName(char* pFirst, char** ppOut, bool bAbsolute)
{
    char* pLast = *ppOut;
    while (pLast > pFirst && pLast[-1] != '/')
        --pLast;
    if (*ppOut == pFirst)
        return bAbsolute;
    if (*ppOut - pLast == 2 && pLast[0] == '.' && pLast[1] == '.')
        return false;
    *ppOut = pLast > pFirst ? pLast - 1 : pFirst;
    return true;
}

} // namespace

// Each kept name is copied down over the ones dropped.
void ResolveDots(char* sz)
{
    bool bEmpty = sz[0] == 0, bAbsolute = sz[0] == '/';
    char* const pFirst = sz + (bAbsolute ? 1 : 0);
    char* pOut = pFirst;
    for (char* pName = pFirst;; ++pName) {
        size_t n = strcspn(pName, "/");
        bool bDot = n == 1 && pName[0] == '.';
        bool bDotDot = n == 2 && pName[0] == '.' && pName[1] == '.';
        if (!bDot && !(bDotDot && DropLastName(pFirst, &pOut, bAbsolute))) {
            if (pOut > pFirst)
                *pOut++ = '/';
            memmove(pOut, pName, n);
            pOut += n;
        }
        pName += n;
        if (!*pName)
            break;
    }
    if (pOut == sz && !bEmpty)
        *pOut++ = '.';
    *pOut = 0;
}

} // namespace files
