// platform/Utf16.h: the halves of a surrogate pair, for code that must not
// cut a character in two when it splits a UTF-16 text.
#pragma once

#include "Platform.h"

inline bool IsHighSurrogate(WCHAR c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

inline bool IsLowSurrogate(WCHAR c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}
