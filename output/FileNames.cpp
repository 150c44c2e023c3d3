// output/FileNames.cpp: the fixed-buffer path builder and the split of a
// path at its last ".".
#include "FileNames.h"

#include <string.h>

PathBuilder& PathBuilder::Append(const WCHAR* p, size_t nUnits)
{
    if (!m_bOk || m_nLength + nUnits + 1 > m_nCapacity) {
        m_bOk = false;
        return *this;
    }
    memcpy(m_p + m_nLength, p, nUnits * sizeof(WCHAR));
    m_nLength += nUnits;
    m_p[m_nLength] = 0;
    return *this;
}

size_t BaseLength(const WCHAR* pszPath)
{
    const WCHAR* pDot = wcsrchr(pszPath, WSTR('.'));
    return pDot ? static_cast<size_t>(pDot - pszPath) : wcslen(pszPath);
}
