// platform/Utf8.h: UTF-16 to UTF-8, the one encoder of the tree: code page
// 65001 and file names in the Linux stand-in, and the reference host's
// messages.
#pragma once

#include "Utf16.h"

#include <stddef.h>

// What becomes of a surrogate without its partner: U+FFFD (Replace), as
// Windows converts code page 65001, or the three-byte form of its own value
// (Keep), which file names use so that distinct Windows names stay distinct
// Linux names.
enum class LoneSurrogate { Replace, Keep };

// EncodeUtf8's answer when the bytes do not fit.
constexpr size_t kUtf8Overflow = static_cast<size_t>(-1);

// Writes the UTF-8 of s[0..n) to out, which has room for cap bytes, and
// returns their count; kUtf8Overflow when they do not fit, out then
// holding a part of them. With out null, only counts. No unit takes more
// than three bytes.
size_t EncodeUtf8(const WCHAR* s, size_t n, char* out, size_t cap, LoneSurrogate lone);
