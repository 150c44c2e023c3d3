// platform/Utf16.h: the halves of a surrogate pair, for code that must not
// cut a character in two when it splits a UTF-16 text, and that joins or
// splits the characters beyond U+FFFF.
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

inline bool IsSurrogate(WCHAR c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// The character of a high and a low surrogate.
inline uint32_t CodePointOf(WCHAR high, WCHAR low)
{
    return 0x10000 + ((high - 0xD800u) << 10) + (low - 0xDC00u);
}

// The two halves of a character beyond U+FFFF.
inline WCHAR HighSurrogateOf(uint32_t cp)
{
    return static_cast<WCHAR>(0xD800 + ((cp - 0x10000) >> 10));
}

inline WCHAR LowSurrogateOf(uint32_t cp)
{
    return static_cast<WCHAR>(0xDC00 + ((cp - 0x10000) & 0x3FF));
}
