// settings/CodePageList.cpp: the code page list of the settings dialog.
#include "CodePageList.h"

#include "../res/SettingsDialogRes.h"

#include <new>
#include <string.h>

namespace
{

enum : int { kGrowBy = 32 };

WCHAR* CopyText(const WCHAR* psz)
{
    size_t nLength = wcslen(psz);
    WCHAR* pszCopy = new (std::nothrow) WCHAR[nLength + 1];
    if (pszCopy)
        memcpy(pszCopy, psz, (nLength + 1) * sizeof(WCHAR));
    return pszCopy;
}

void DecimalText(uint32_t n, WCHAR (&szText)[12])
{
    WCHAR szDigits[12];
    int nDigits = 0;
    do {
        szDigits[nDigits++] = WCHAR('0' + n % 10);
        n /= 10;
    } while (n);
    for (int i = 0; i < nDigits; ++i)
        szText[i] = szDigits[nDigits - 1 - i];
    szText[nDigits] = 0;
}

} // namespace

CodePageList::~CodePageList()
{
    for (int i = 0; i < m_nCount; ++i)
        delete[] m_ppszLabels[i];
    delete[] m_ppszLabels;
    delete[] m_pnNumbers;
}

bool CodePageList::Append(const WCHAR* pszLabel, int32_t nNumber)
{
    if (m_nCount == m_nCapacity) {
        int nCapacity = m_nCapacity + kGrowBy;
        WCHAR** ppszLabels = new (std::nothrow) WCHAR*[nCapacity];
        int32_t* pnNumbers = new (std::nothrow) int32_t[nCapacity];
        if (!ppszLabels || !pnNumbers) {
            delete[] ppszLabels;
            delete[] pnNumbers;
            return false;
        }
        for (int i = 0; i < m_nCount; ++i) {
            ppszLabels[i] = m_ppszLabels[i];
            pnNumbers[i] = m_pnNumbers[i];
        }
        delete[] m_ppszLabels;
        delete[] m_pnNumbers;
        m_ppszLabels = ppszLabels;
        m_pnNumbers = pnNumbers;
        m_nCapacity = nCapacity;
    }
    WCHAR* pszCopy = CopyText(pszLabel);
    if (!pszCopy)
        return false;
    m_ppszLabels[m_nCount] = pszCopy;
    m_pnNumbers[m_nCount++] = nNumber;
    return true;
}

// Every number is asked: which code pages a system has installed is its own
// business, and the names are the ones it gives.
void CodePageList::Fill(HINSTANCE hModule, int32_t nWanted, int32_t& nIndex)
{
    WCHAR szPattern[256] = {}, szNumber[12], szLabel[256];
    LoadStringW(hModule, IDS_SYSTEM_CODE_PAGE, szPattern, 256);
    UINT nSystem = GetACP();
    DecimalText(nSystem, szNumber);
    FormatResourceText(szLabel, 256, szPattern, szNumber);
    Append(szLabel, int32_t(nSystem));
    for (UINT n = 0; n <= 0xFFFF; ++n) {
        CPINFOEXW info;
        if (!IsValidCodePage(n) || !GetCPInfoExW(n, 0, &info))
            continue;
        if (!Append(info.CodePageName, int32_t(info.CodePage)))
            continue;
        if (nIndex == -1 && int32_t(info.CodePage) == nWanted)
            nIndex = m_nCount - 1;
    }
}

int32_t CodePageList::Number(int32_t nIndex) const
{
    if (m_nCount == 0)
        return int32_t(GetACP());
    return m_pnNumbers[nIndex >= 0 && nIndex < m_nCount ? nIndex : 0];
}

void CodePageList::CopyLabel(int32_t nIndex, WCHAR* pszText, int nUnits) const
{
    const WCHAR* pszLabel = WSTR("");
    if (m_nCount > 0)
        pszLabel = m_ppszLabels[nIndex >= 0 && nIndex < m_nCount ? nIndex : 0];
    int n = 0;
    for (; n < nUnits - 1 && pszLabel[n]; ++n)
        pszText[n] = pszLabel[n];
    pszText[n] = 0;
}

void FormatResourceText(WCHAR* pszText, int nUnits, const WCHAR* pszPattern, const WCHAR* pszArgument)
{
    int n = 0;
    bool bReplaced = false;
    auto put = [&](WCHAR c) {
        if (n < nUnits - 1)
            pszText[n++] = c;
    };
    for (const WCHAR* p = pszPattern; *p; ++p) {
        if (p[0] == '%' && p[1] == '%') {
            put('%');
            ++p;
        } else if (!bReplaced && p[0] == '%' && (p[1] == 'i' || p[1] == 's')) {
            for (const WCHAR* a = pszArgument; *a; ++a)
                put(*a);
            bReplaced = true;
            ++p;
        } else {
            put(*p);
        }
    }
    pszText[n] = 0;
}
