// output/Directory.cpp: the directory walk. Each level is tested before it
// is made, and the levels are made from the top down, so a walk that fails
// half way leaves the levels above the failure in place.
#include "Directory.h"

#include "../common/String.h"

#include <new>

namespace
{

const WCHAR kSeparator = WSTR('\\');

bool EndsInSeparator(const WCHAR* psz)
{
    size_t n = wcslen(psz);
    return n > 0 && psz[n - 1] == kSeparator;
}

// A new copy of the directory that holds pszDirectory (which ends in a
// backslash): the text before its last backslash but one. Null when no
// backslash is left for that, or when no memory can be had.
WCHAR* NewParentOf(const WCHAR* pszDirectory)
{
    WCHAR* pszParent = new (std::nothrow) WCHAR[wcslen(pszDirectory) + 1];
    if (!pszParent)
        return nullptr;
    wcscpy(pszParent, pszDirectory);
    *wcsrchr(pszParent, kSeparator) = 0;
    WCHAR* pCut = wcsrchr(pszParent, kSeparator);
    if (!pCut) {
        delete[] pszParent;
        return nullptr;
    }
    *pCut = 0;
    return pszParent;
}

} // namespace

int EnsureDirectory(const WCHAR* pszDirectory, int* pnError)
{
    // Every test and creation works on the name with exactly one trailing
    // backslash; the join has none to add when there is one already. A join
    // that got no memory leaves the name without it, and the walk fails.
    String directory(pszDirectory);
    directory *= String();
    const WCHAR* pszWithSeparator = directory;
    if (!EndsInSeparator(pszWithSeparator))
        return 0;
    if (_waccess(pszWithSeparator, 0) == 0)
        return 1;
    WCHAR* pszParent = NewParentOf(pszWithSeparator);
    if (!pszParent)
        return 0;
    int bParentExists = EnsureDirectory(pszParent, nullptr);
    delete[] pszParent;
    if (!bParentExists)
        return 0;
    // Another program may have made the directory since the test above;
    // the creation then fails and so does the walk.
    if (_wmkdir(pszWithSeparator) == 0)
        return 1;
    if (pnError)
        *pnError = errno;
    return 0;
}
