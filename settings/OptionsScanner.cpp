// settings/OptionsScanner.cpp: the scan of "[key=value]" groups and the
// shared value words.
#include "OptionsScanner.h"

#include <new>
#include <string.h>

namespace
{

// Hands over the group whose "[" is at p and returns the unit after its
// "]", or null when the group lacks its "]" or its "=". The "=" is searched
// up to the end of the text, past the "]": in "[A]=B]" the key is A and the
// value B]. Terminators written by earlier groups end every search, so no
// group reaches back into one already handed over.
WCHAR* ScanGroup(WCHAR* p, OptionGroupHandler pfnHandler, void* pContext)
{
    WCHAR* pEnd = wcschr(p, WSTR(']'));
    WCHAR* pEquals = wcschr(p, WSTR('='));
    if (!pEnd || !pEquals)
        return nullptr;
    *pEquals = 0;
    *pEnd = 0;
    pfnHandler(pContext, p + 1, pEquals + 1);
    return pEnd + 1;
}

} // namespace

bool ScanOptionGroups(const WCHAR* pszOptions, OptionGroupHandler pfnHandler, void* pContext)
{
    if (!pszOptions)
        return true;
    size_t nUnits = wcslen(pszOptions) + 1;
    WCHAR* pszCopy = new (std::nothrow) WCHAR[nUnits];
    if (!pszCopy)
        return false;
    memcpy(pszCopy, pszOptions, nUnits * sizeof(WCHAR));
    // Everything before the first "[" is ignored. After a group, the unit
    // that follows its "]" is taken as the next "[" without a look at it:
    // hosts write their groups back to back and their strings are read
    // this way, so a blank between two groups spoils the next key rather
    // than being skipped.
    for (WCHAR* p = wcschr(pszCopy, WSTR('[')); p;)
        p = ScanGroup(p, pfnHandler, pContext);
    delete[] pszCopy;
    return true;
}

bool IsTrueValue(const WCHAR* pszValue)
{
    return _wcsicmp(pszValue, WSTR("TRUE")) == 0;
}

DelimiterValue ClassifyDelimiter(const WCHAR* pszValue)
{
    if (_wcsicmp(pszValue, WSTR("LS")) == 0)
        return DelimiterValue::Keep;
    if (pszValue[0] != 0 && pszValue[1] == 0)
        return DelimiterValue::OneUnit;
    if (_wcsicmp(pszValue, WSTR("\\T")) == 0)
        return DelimiterValue::Tab;
    return DelimiterValue::Keep;
}

CharsetValue ClassifyCharset(const WCHAR* pszValue)
{
    if (_wcsicmp(pszValue, WSTR("UNICODE")) == 0)
        return CharsetValue::Unicode;
    if (_wcsicmp(pszValue, WSTR("ACP")) == 0)
        return CharsetValue::SystemCodePage;
    return CharsetValue::Number;
}
