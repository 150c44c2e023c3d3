// tests/reference_text.h: what a file must hold for a text, built the
// plain way, one character at a time: UTF-8, XML escaping, CSV quoting and
// UTF-16LE. The tests and the fuzz target compare the writers' bytes to it.
#pragma once

#include "platform/Platform.h"

#include <stdint.h>
#include <string>

using WString = std::basic_string<WCHAR>;

inline std::string Utf8Of(const WString& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                    text[i + 1] <= 0xDFFF;
        if (pair)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | c >> 6);
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | c >> 12);
            bytes += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | c >> 18);
            bytes += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            bytes += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

inline std::string Escaped(const std::string& bytes)
{
    static const char* const entities[][2] = {
        {"'", "&apos;"}, {"\"", "&quot;"}, {"&", "&amp;"}, {"<", "&lt;"}, {">", "&gt;"}};
    std::string out;
    for (char c : bytes) {
        std::string piece(1, c);
        for (const auto& entity : entities)
            if (c == entity[0][0])
                piece = entity[1];
        out += piece;
    }
    return out;
}

inline WString Quoted(const WString& text)
{
    WString out(1, WSTR('"'));
    for (WCHAR c : text) {
        out += c;
        if (c == WSTR('"'))
            out += c;
    }
    return out + WSTR('"');
}

// The bytes of UTF-16 units as little-endian pairs.
inline std::string Utf16le(const WString& text)
{
    std::string bytes;
    for (WCHAR c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}
