// platform/Utf8.cpp: UTF-16 to UTF-8.
#include "Utf8.h"

#include <string.h>

size_t EncodeUtf8(const WCHAR* s, size_t n, char* out, size_t cap, LoneSurrogate lone)
{
    size_t length = 0;
    for (size_t i = 0; i < n; ++i) {
        uint32_t u = s[i];
        char b[4];
        size_t k;
        if (u < 0x80) {
            b[0] = static_cast<char>(u);
            k = 1;
        } else if (u < 0x800) {
            b[0] = static_cast<char>(0xC0 | u >> 6);
            b[1] = static_cast<char>(0x80 | (u & 0x3F));
            k = 2;
        } else if (IsHighSurrogate(s[i]) && i + 1 < n && IsLowSurrogate(s[i + 1])) {
            uint32_t cp = CodePointOf(s[i], s[i + 1]);
            ++i;
            b[0] = static_cast<char>(0xF0 | cp >> 18);
            b[1] = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            b[2] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            b[3] = static_cast<char>(0x80 | (cp & 0x3F));
            k = 4;
        } else {
            if (IsSurrogate(s[i]) && lone == LoneSurrogate::Replace)
                u = 0xFFFD;
            b[0] = static_cast<char>(0xE0 | u >> 12);
            b[1] = static_cast<char>(0x80 | (u >> 6 & 0x3F));
            b[2] = static_cast<char>(0x80 | (u & 0x3F));
            k = 3;
        }
        if (out) {
            if (length + k > cap)
                return kUtf8Overflow;
            memcpy(out + length, b, k);
        }
        length += k;
    }
    return length;
}
