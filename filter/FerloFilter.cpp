// filter/FerloFilter.cpp: construction and destruction of the text filter,
// and the operations that need no module of their own.
#include "FerloFilter.h"

#include "FilterInfo.h"
#include "../settings/SettingsDialog.h"

#include <new>

CFerloFilter::CFerloFilter(uint32_t hostContext, const WCHAR* pszRegistryKey)
    : CZRDbFilter(pszRegistryKey), m_hostContext(hostContext), m_bFieldWritten(0),
      m_szDelimiter{0}, m_szLineEnd{0x000D, 0x000A, 0}, m_nCodePage(0), m_bUnicode(0), m_bCsv(0),
      m_bOverwrite(0), m_bWriteHead(1), m_bSingle(0), m_bXml(0), m_bHeadline(0), m_bMap(0),
      m_ppszFieldNames(nullptr), m_nFieldNames(0), m_szFile{0}, m_szWorkFile{0}, m_szPrevTable{0},
      m_nRecordsStart(0), m_pFile(nullptr), m_nTables(0),
      m_pConvBuf(nullptr), m_pQuoteBuf(nullptr), m_bAsciiProbed(0), m_nAsciiCodePage(0), m_bAsciiSame(0),
      m_bWriteFailed(0)
{
    m_nCodePage = GetACP();
    SetDefaultDelimiter();
    m_pConvBuf = new (std::nothrow) char[kConvBufBytes];
    if (m_pConvBuf)
        m_pQuoteBuf = new (std::nothrow) WCHAR[kQuoteBufUnits];
}

// The user's list separator when it is a single character, else ",".
void CFerloFilter::SetDefaultDelimiter()
{
    int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, m_szDelimiter, kDelimiterUnits);
    if (n == 0)
        m_szDelimiter[0] = 0;
    if (lstrlenW(m_szDelimiter) != 1) {
        m_szDelimiter[0] = WSTR(',');
        m_szDelimiter[1] = 0;
    }
}

// The destructor releases memory only: it neither closes m_pFile nor
// touches any file, because the host ends its tables and commits first.
CFerloFilter::~CFerloFilter()
{
    delete[] m_pConvBuf;
    delete[] m_pQuoteBuf;
    ReleaseFieldNames();
}

void CFerloFilter::ReleaseFieldNames()
{
    if (!m_ppszFieldNames)
        return;
    for (int32_t i = 0; i < m_nFieldNames; ++i)
        delete[] m_ppszFieldNames[i];
    delete[] m_ppszFieldNames;
    m_ppszFieldNames = nullptr;
    m_nFieldNames = 0;
}

bool CFerloFilter::IsComplete(const WCHAR* pszRegistryKey) const
{
    return m_pConvBuf && m_pQuoteBuf && (!pszRegistryKey || m_pszRegistryKey);
}

CFerloFilter* CFerloFilter::Create(uint32_t hostContext, const WCHAR* pszRegistryKey)
{
    auto* pFilter = new (std::nothrow) CFerloFilter(hostContext, pszRegistryKey);
    if (pFilter && !pFilter->IsComplete(pszRegistryKey)) {
        pFilter->Destroy(kDestroyFree);
        return nullptr;
    }
    return pFilter;
}

void* ZRCALL CFerloFilter::Destroy(unsigned int nFlags)
{
    this->~CFerloFilter();
    if (nFlags & kDestroyFree)
        ::operator delete(this);
    return this;
}

int ZRCALL CFerloFilter::Reserved9()
{
    return ZRSetOptions();
}

// The settings dialog reads only the registry key: the filter itself is
// left as it is, and the host passes the new string to ParseOptions.
CString* ZRCALL CFerloFilter::Configure(CString* pResult, int* pbChanged, const WCHAR* pszOptions)
{
    CString* pString = new (pResult) CString();
    *pbChanged = ConfigureSettings(m_pszRegistryKey, pszOptions, *pString);
    return pString;
}
