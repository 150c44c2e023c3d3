// settings/CodePageList.h: the code pages the settings dialog offers, made
// anew for every dialog: the system code page first, then every code page
// the system has installed, in ascending order of number.
#pragma once

#include "../platform/Platform.h"

#include <stdint.h>

class CodePageList
{
public:
    CodePageList() = default;
    ~CodePageList();
    CodePageList(const CodePageList&) = delete;
    CodePageList& operator=(const CodePageList&) = delete;

    // Entry 0 is string 2004 of hModule with the system code page's number,
    // then every number the system accepts, under the system's name. The
    // first entry of nWanted sets nIndex, unless nIndex is chosen already.
    void Fill(HINSTANCE hModule, int32_t nWanted, int32_t& nIndex);

    int Count() const { return m_nCount; }
    const WCHAR* const* Labels() const { return m_ppszLabels; }
    // The number of entry nIndex; entry 0's for an index outside the list.
    int32_t Number(int32_t nIndex) const;
    // The label of entry nIndex, entry 0's for an index outside the list.
    void CopyLabel(int32_t nIndex, WCHAR* pszText, int nUnits) const;

private:
    bool Append(const WCHAR* pszLabel, int32_t nNumber);

    WCHAR** m_ppszLabels = nullptr;
    int32_t* m_pnNumbers = nullptr;
    int m_nCount = 0;
    int m_nCapacity = 0;
};

// Writes pattern with its first %i or %s replaced by pszArgument, cut to
// nUnits units with the terminator; "%%" gives one "%".
void FormatResourceText(WCHAR* pszText, int nUnits, const WCHAR* pszPattern, const WCHAR* pszArgument);
