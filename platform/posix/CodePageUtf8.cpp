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

bool PutUnit(WCHAR* out, size_t cap, size_t& length, uint32_t unit)
{
    if (out) {
        if (length >= cap)
            return false;
        out[length] = static_cast<WCHAR>(unit);
    }
    ++length;
    return true;
}

bool PutCodePoint(WCHAR* out, size_t cap, size_t& length, uint32_t cp)
{
    if (cp < 0x10000)
        return PutUnit(out, cap, length, cp);
    cp -= 0x10000;
    return PutUnit(out, cap, length, 0xD800 | cp >> 10) && PutUnit(out, cap, length, 0xDC00 | (cp & 0x3FF));
}

// The length of the UTF-8 sequence a lead byte starts, and the range its
// second byte must lie in (which rules out overlong forms, surrogates and
// code points past U+10FFFF); 0 for a byte that starts none.
size_t SequenceLength(BYTE lead, BYTE& lo, BYTE& hi)
{
    lo = 0x80;
    hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF) {
        lo = lead == 0xE0 ? 0xA0 : 0x80;
        hi = lead == 0xED ? 0x9F : 0xBF;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        lo = lead == 0xF0 ? 0x90 : 0x80;
        hi = lead == 0xF4 ? 0x8F : 0xBF;
        return 4;
    }
    return 0;
}

} // namespace

size_t EncodeUtf8(const WCHAR* s, size_t n, char* out, size_t cap, bool strict)
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
        } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            uint32_t cp = 0x10000 + ((u - 0xD800) << 10) + (s[++i] - 0xDC00u);
            b[0] = static_cast<char>(0xF0 | cp >> 18);
            b[1] = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            b[2] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            b[3] = static_cast<char>(0x80 | (cp & 0x3F));
            k = 4;
        } else {
            if (u >= 0xD800 && u <= 0xDFFF) {
                if (strict)
                    return kInvalid;
                u = 0xFFFD;
            }
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

// Each maximal part of an invalid sequence becomes one U+FFFD, as Windows
// and the Unicode standard's recommendation have it.
size_t DecodeUtf8(const char* s, size_t n, WCHAR* out, size_t cap, bool strict)
{
    size_t length = 0;
    for (size_t i = 0; i < n;) {
        BYTE lead = static_cast<BYTE>(s[i++]);
        uint32_t cp = lead;
        BYTE lo;
        BYTE hi;
        size_t k = lead < 0x80 ? 1 : SequenceLength(lead, lo, hi);
        bool valid = k != 0;
        if (k > 1)
            cp = lead & (0xFF >> (k + 1));
        for (size_t j = 1; valid && j < k; ++j, lo = 0x80, hi = 0xBF) {
            BYTE next = i < n ? static_cast<BYTE>(s[i]) : 0;
            valid = i < n && next >= lo && next <= hi;
            if (valid) {
                cp = cp << 6 | (next & 0x3F);
                ++i;
            }
        }
        if (!valid && strict)
            return kInvalid;
        if (!PutCodePoint(out, cap, length, valid ? cp : 0xFFFD))
            return kOverflow;
    }
    return length;
}

} // namespace codepage
