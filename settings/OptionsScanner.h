// settings/OptionsScanner.h: the grammar of the options string, "[key=value]"
// groups one after another, and the meaning of the values that more than one
// key shares. The filter's ParseOptions and the settings dialog's reader
// both scan with it, each with its own table of keywords.
#pragma once

#include "../platform/Platform.h"

#include <stddef.h>
#include <stdint.h>

// Receives one group: its key and value, terminated texts inside the
// scanner's copy of the options string, valid during the call only.
typedef void (*OptionGroupHandler)(void* pContext, const WCHAR* pszKey, const WCHAR* pszValue);

// Hands every group of pszOptions to pfnHandler, in order, until a group
// lacks its "]" or its "=". The scan works on one heap copy of the text,
// which it splits in place; the caller's text is never changed. Returns
// false, having handed over nothing, when that copy cannot be had.
bool ScanOptionGroups(const WCHAR* pszOptions, OptionGroupHandler pfnHandler, void* pContext);

// A keyword and what its value does to the target of a scan.
template <class Target> struct OptionKeyword {
    const WCHAR* pszKey;
    void (*pfnApply)(Target& target, const WCHAR* pszValue);
};

// Scans pszOptions and applies each group whose key is in the table, found
// without regard to case; other keys are ignored. A key that comes twice is
// applied twice, so the later group wins.
template <class Target, size_t N>
bool ScanOptions(const WCHAR* pszOptions, const OptionKeyword<Target> (&keywords)[N], Target& target)
{
    struct Context {
        const OptionKeyword<Target>* pKeywords;
        Target* pTarget;
    } context{keywords, &target};
    OptionGroupHandler pfnApply = [](void* pContext, const WCHAR* pszKey, const WCHAR* pszValue) {
        Context& c = *static_cast<Context*>(pContext);
        for (size_t i = 0; i < N; ++i) {
            if (_wcsicmp(pszKey, c.pKeywords[i].pszKey) == 0) {
                c.pKeywords[i].pfnApply(*c.pTarget, pszValue);
                return;
            }
        }
    };
    return ScanOptionGroups(pszOptions, pfnApply, &context);
}

// Copies a value into a text member when it fits whole, terminator
// included, and empties the member when it does not: a path cut short would
// name another file, which an export would then write.
template <size_t N> void CopyWholeValue(WCHAR (&szMember)[N], const WCHAR* pszValue)
{
    if (wcslen(pszValue) < N)
        wcscpy(szMember, pszValue);
    else
        szMember[0] = 0;
}

// "TRUE" in any case; every other value of a flag means false.
bool IsTrueValue(const WCHAR* pszValue);

// Sets a flag of the target to 1 for "TRUE", to 0 for any other value.
template <class Target, int32_t Target::*pFlag> void ApplyFlag(Target& target, const WCHAR* pszValue)
{
    target.*pFlag = IsTrueValue(pszValue) ? 1 : 0;
}

// What a DELIMITER value asks for, tested in this order: "LS" (any case)
// keeps the delimiter; a value of one unit is that unit; "\T" (any case) is
// the tab; anything else keeps the delimiter.
enum class DelimiterValue { Keep, OneUnit, Tab };
DelimiterValue ClassifyDelimiter(const WCHAR* pszValue);

// What a CHARSET value asks for: "UNICODE" and "ACP" in any case, else a
// code page number, read as _wtol reads it.
enum class CharsetValue { Unicode, SystemCodePage, Number };
CharsetValue ClassifyCharset(const WCHAR* pszValue);
