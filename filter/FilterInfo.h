// filter/FilterInfo.h: the plug-in's description record and its exports.
#pragma once

#include "../platform/Platform.h"

#include <stdint.h>

class CZRBasicDbFilter;

// Filled by ZRDbGetFilterInfo; the host owns the record, the module the
// texts, which stay valid while the module is loaded.
struct FilterInfo {
    uint32_t nVersion;
    uint32_t nType;
    const WCHAR* pszDescription;
    const WCHAR* pszName;
    const WCHAR* pszVersion;
    const WCHAR* pszMaker;
};

#if defined(__i386__)
static_assert(sizeof(FilterInfo) == 24, "six 32-bit members on the 32-bit platform");
#endif

extern "C" {
int ZRDbGetFilterInfo(FilterInfo* pInfo);
CZRBasicDbFilter* ZRDbCreateFilter(uint32_t hostContext, const WCHAR* pszRegistryKey);
int ZRSetOptions();
int ZRGetOptionsString();
}
