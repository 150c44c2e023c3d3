// platform/posix/CodePageUtf8.cpp: code page 65001 (UTF-8) without iconv,
// with an ASCII fast path.
#include "CodePage.h"

namespace codepage
{

namespace
{

// Appends k bytes (or, with out null, only counts them).
bool Put(char* out, size_t cap, size_t& length, const char* bytes, size_t k)
{
    if (out) {
        if (length + k > cap)
            return false;
        memcpy(out + length, bytes, k);
    }
    length += k;
    return true;
}

} // namespace

size_t EncodeUtf8(const WCHAR* s, size_t n, char* out, size_t cap, LoneSurrogate lone)
{
    size_t length = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!CopyAsciiRun(s, n, i, out, cap, length))
            break;
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
        } else if (IsHighSurrogate(static_cast<WCHAR>(u)) && i + 1 < n && IsLowSurrogate(s[i + 1])) {
            uint32_t cp = 0x10000 + ((u - 0xD800) << 10) + (s[++i] - 0xDC00u);
            b[0] = static_cast<char>(0xF0 | cp >> 18);
            b[1] = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            b[2] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            b[3] = static_cast<char>(0x80 | (cp & 0x3F));
            k = 4;
        } else {
            bool alone = IsHighSurrogate(static_cast<WCHAR>(u)) || IsLowSurrogate(static_cast<WCHAR>(u));
            if (alone && lone == LoneSurrogate::Replace)
                u = 0xFFFD;
            b[0] = static_cast<char>(0xE0 | u >> 12);
            b[1] = static_cast<char>(0x80 | (u >> 6 & 0x3F));
            b[2] = static_cast<char>(0x80 | (u & 0x3F));
            k = 3;
        }
        if (!Put(out, cap, length, b, k))
            return kOverflow;
    }
    return length;
}
} // namespace codepage
