// output/FileNames.cpp: the fixed-buffer path builder, the split of a path
// at its last ".", and the opening of output files.
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

FILE* OpenOutputFile(const WCHAR* pszPath)
{
    return _wfsopen(pszPath, WSTR("w+b"), _SH_DENYRW);
}

FILE* CreateWorkFile(const WCHAR* pszPath, bool* pbTaken)
{
    int fd = _wsopen(pszPath, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY, _SH_DENYRW, _S_IREAD | _S_IWRITE);
    *pbTaken = fd < 0 && errno == EEXIST;
    if (fd < 0)
        return nullptr;
    FILE* pFile = _wfdopen(fd, WSTR("w+b"));
    if (!pFile) {
        _close(fd);
        _wremove(pszPath);
    }
    return pFile;
}

FILE* OpenWorkFile(const WCHAR* pszPath)
{
    int fd = _wsopen(pszPath, _O_RDONLY | _O_BINARY, _SH_DENYRW, 0);
    if (fd < 0)
        return nullptr;
    FILE* pFile = _wfdopen(fd, WSTR("rb"));
    if (!pFile)
        _close(fd);
    return pFile;
}

void WriteByteOrderMark(FILE* pFile)
{
    static const unsigned char kByteOrderMark[] = {0xFF, 0xFE};
    fwrite(kByteOrderMark, 1, sizeof kByteOrderMark, pFile);
}

size_t BaseLength(const WCHAR* pszPath)
{
    const WCHAR* pDot = wcsrchr(pszPath, WSTR('.'));
    return pDot ? static_cast<size_t>(pDot - pszPath) : wcslen(pszPath);
}
