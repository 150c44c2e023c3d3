// settings/Options.h: the values one options string sets for an export,
// with their defaults, and the parse that sets them. The writers and the
// output files read them; nothing here knows who drives the export.
#pragma once

#include "../platform/Platform.h"

#include <stdint.h>

class Options
{
public:
    enum : int { kDelimiterUnits = 8, kPathUnits = 2048 };

    // The values of a new export: the user's list separator as the
    // delimiter when it is a single character, else ","; the system's code
    // page; WRITEHEAD on and every other flag off; no FILE path.
    Options();

    // Applies the groups of pszOptions on top of the values as they stand,
    // so that a value no group names keeps what an earlier string set; the
    // FILE path alone starts empty. Then a FILE path without an extension
    // gets one and conflicting modes are settled. A malformed string never
    // fails: the groups before the first one that lacks its "]" or "=" stay
    // applied. An options text whose copy cannot be had applies no group.
    void Parse(const WCHAR* pszOptions);

    WCHAR m_szDelimiter[kDelimiterUnits];
    uint32_t m_nCodePage;
    int32_t m_bUnicode;
    int32_t m_bCsv;
    int32_t m_bOverwrite;
    int32_t m_bWriteHead;
    int32_t m_bSingle;
    int32_t m_bXml;
    int32_t m_bHeadline;
    int32_t m_bMap;
    WCHAR m_szFile[kPathUnits];

private:
    void SetDefaultDelimiter();
    void AddExtension();
    void SettleModes();
};
