// tests/reference_text.h: what a file must hold for a text, built the
// plain way, one character at a time: UTF-8, XML escaping, CSV quoting and
// UTF-16LE. The tests and the fuzz target compare the writers' bytes to it.
#pragma once

#include "platform/Platform.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <string>

using WString = std::basic_string<WCHAR>;

inline std::string Utf8Of(const WString& text)
{
    static const unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        int n = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3; // continuation bytes
        bytes += static_cast<char>(kLead[n] | c >> 6 * n);
        while (n--)
            bytes += static_cast<char>(0x80 | (c >> 6 * n & 0x3F));
    }
    return bytes;
}

inline std::string Escaped(const std::string& bytes)
{
    static const char kSpecials[] = "'\"&<>";
    static const char* const kEntities[] = {"&apos;", "&quot;", "&amp;", "&lt;", "&gt;"};
    std::string out;
    for (char c : bytes) {
        const char* p = c ? strchr(kSpecials, c) : nullptr;
        out += p ? kEntities[p - kSpecials] : std::string(1, c);
    }
    return out;
}

inline WString Quoted(const WString& text)
{
    WString out(1, WSTR('"'));
    for (WCHAR c : text)
        out += c == WSTR('"') ? WString(2, c) : WString(1, c);
    return out + WSTR('"');
}

// The bytes of UTF-16 units as little-endian pairs.
inline std::string Utf16le(const WString& text)
{
    std::string bytes;
    for (WCHAR c : text)
        bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

// Bytes from hexadecimal pairs separated by spaces: "41 00 42 00".
inline std::string Hex(const char* pairs)
{
    std::string bytes;
    unsigned value;
    for (int used; sscanf(pairs, " %2x%n", &value, &used) == 1; pairs += used)
        bytes += static_cast<char>(value);
    return bytes;
}
