// filter/Exports.cpp: the four functions the host finds by name.
#include "FerloFilter.h"
#include "FilterInfo.h"

namespace
{
const WCHAR kDescription[] = WSTR("File Based Plain Text");
const WCHAR kName[] = WSTR("Text");
const WCHAR kVersion[] = WSTR("3.0");
const WCHAR kMaker[] = WSTR("Tarnholm GmbH");
} // namespace

extern "C" int ZRDbGetFilterInfo(FilterInfo* pInfo)
{
    pInfo->nVersion = 0x00010000;
    pInfo->nType = 6;
    pInfo->pszDescription = kDescription;
    pInfo->pszName = kName;
    pInfo->pszVersion = kVersion;
    pInfo->pszMaker = kMaker;
    return 0;
}

extern "C" CZRBasicDbFilter* ZRDbCreateFilter(uint32_t hostContext, const WCHAR* pszRegistryKey)
{
    return CFerloFilter::Create(hostContext, pszRegistryKey);
}

// The body of ZRSetOptions, ZRGetOptionsString and slot 9: kept for hosts
// that call them, it reads no argument and has no effect. The C calling
// convention leaves the arguments to the caller, so any may be pushed.
extern "C" int ZRSetOptions()
{
    return 0;
}

extern "C" int ZRGetOptionsString()
{
    return ZRSetOptions();
}
