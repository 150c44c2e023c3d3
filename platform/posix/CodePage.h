// platform/posix/CodePage.h: what the Linux code page functions share: the
// list of code pages with their Windows names, and the conversion tables
// built from the C library's iconv.
#pragma once

#include "../Platform.h"
#include "../Utf8.h"

#include <algorithm>

namespace codepage
{

// How a code page turns one UTF-16 unit into bytes.
enum class Kind : uint8_t {
    SingleByte, // one byte per unit, through a 64K-entry table
    MultiByte,  // one to four bytes per unit, through a 64K-entry table
    Gb18030,    // as MultiByte, and surrogate pairs by the standard's formula
    Utf8,       // computed, no table
};

struct Info {
    UINT id;
    Kind kind;
    // Windows fills the holes of the code page: its bytes 0x80 to 0x9F that
    // name no character stand for the C1 control of the same value.
    bool c1Holes;
    const char* iconvName;
    const WCHAR* name; // CPINFOEXW.CodePageName as Windows gives it
    BYTE leadBytes[6]; // lead-byte ranges of a double-byte code page, in pairs
    WCHAR unicodeDefault;
};

// The code page of that identifier, or null when Linux does not have it.
// The aliases CP_ACP and CP_THREAD_ACP are resolved by the caller.
const Info* Find(UINT id);

// Every code page of the list, in ascending order of identifier.
const Info* First();
const Info* Last();

// A single-byte code page's tables: toBytes[u] is the byte of unit u, 0 when
// the code page has none (U+0000 alone maps to 0); toUnit[b] the unit of byte
// b, 0xFFFF when the byte names no character.
struct SingleByteTable {
    BYTE toBytes[65536];
    WCHAR toUnit[256];
};

// A multi-byte code page's table: the bytes of each unit packed big-endian
// into one number, so that its magnitude gives the length (every byte after
// the first of a sequence follows a lead byte of 0x81 or more); 0 when the
// code page has no bytes for the unit.
struct MultiByteTable {
    uint32_t toBytes[65536];
};

// The tables of a code page, built once per process from iconv on first use
// and kept until the process ends; null when iconv does not know the code
// page or the memory for the table cannot be had.
const SingleByteTable* SingleBytes(const Info& cp);
const MultiByteTable* MultiBytes(const Info& cp);

// The result of the converters below when the output does not fit.
constexpr size_t kOverflow = kUtf8Overflow;

// Copies the leading ASCII units of s[0..n) to out as bytes and returns how
// many it copied.
inline size_t CopyAscii(const WCHAR* s, size_t n, char* out)
{
    size_t i = 0;
    for (; i < n && s[i] < 0x80; ++i)
        out[i] = static_cast<char>(s[i]);
    return i;
}

// The ASCII fast path of every ASCII-based code page: copies the run of
// ASCII units at s[i] to out, as far as cap allows, and moves i and length
// past it. Returns false when that was the rest of the text. Without out
// (only counting) it does nothing.
inline bool CopyAsciiRun(const WCHAR* s, size_t n, size_t& i, char* out, size_t cap, size_t& length)
{
    if (out && s[i] < 0x80 && length < cap) {
        size_t k = CopyAscii(s + i, std::min(n - i, cap - length), out + length);
        length += k;
        i += k;
    }
    return i < n;
}

} // namespace codepage
