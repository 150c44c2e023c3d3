// host/TextConvert.h: the host's conversions between UTF-8, in which SQLite,
// the command line and the terminal speak, and UTF-16, which the plug-in
// takes.
#pragma once

#include "../platform/Platform.h"

#include <stddef.h>
#include <stdint.h>

#include <string>

using WString = std::basic_string<WCHAR>;

// Converts nBytes of UTF-8 at pSrc into UTF-16 at pDst, which must have room
// for nBytes units: UTF-16 never takes more units than UTF-8 takes bytes.
// Each maximal ill-formed subsequence becomes one U+FFFD, so any bytes
// convert. Returns the units written; no terminator is added.
size_t Utf8ToUtf16(const char* pSrc, size_t nBytes, WCHAR* pDst);

// The decimal text SQLite gives an integer, at pDst, which must have room
// for 20 units. Returns the units written; no terminator is added.
size_t IntegerToUtf16(int64_t nValue, WCHAR* pDst);

WString Widen(const std::string& utf8);

// The byte offset of the first ill-formed UTF-8 sequence in the bytes, or
// npos when they are all well formed.
size_t FindInvalidUtf8(const std::string& bytes);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Narrow(const WCHAR* pszText);
std::string Narrow(const WString& text);
