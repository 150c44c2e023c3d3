// platform/posix/CodePage.cpp: the system code page and the Win32 code page
// functions on Linux: which code pages exist, their CPINFOEXW, and the
// conversions between UTF-16 and their bytes with Windows' rules at the
// edges (unmappable characters become the default character, never an
// error and never dropped).
#include "CodePage.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

using codepage::Info;
using codepage::Kind;

namespace
{

// The Windows ANSI code page of a locale's character set. Windows' ANSI
// code pages are the legacy encodings of its languages, so each Unix
// character set maps to the one of the same script; a UTF-8 locale maps to
// UTF-8, as Windows set to "use Unicode UTF-8 for worldwide language
// support" does. Names are compared with case, "-" and "_" ignored.
struct CodesetCodePage {
    const char* codeset;
    UINT codePage;
};
const CodesetCodePage g_codesets[] = {
    {"utf8", 65001},     {"ansix341968", 65001}, {"iso88591", 1252}, {"iso885915", 1252},
    {"iso885914", 1252}, {"cp1252", 1252},       {"iso88592", 1250}, {"iso885916", 1250},
    {"cp1250", 1250},    {"iso88595", 1251},     {"koi8r", 1251},    {"koi8u", 1251},
    {"koi8t", 1251},     {"cp1251", 1251},       {"pt154", 1251},    {"iso88597", 1253},
    {"iso88599", 1254},  {"iso88598", 1255},     {"cp1255", 1255},   {"iso88596", 1256},
    {"iso885913", 1257}, {"iso88594", 1257},     {"tis620", 874},    {"eucjp", 932},
    {"shiftjis", 932},   {"sjis", 932},          {"gb2312", 936},    {"gbk", 936},
    {"gb18030", 936},    {"euckr", 949},         {"big5", 950},      {"big5hkscs", 950},
    {"tcvn57121", 1258},
};

// The lower-case letters and digits of a character set's name.
void NormalizeCodeset(const char* codeset, char* out, size_t cap)
{
    size_t n = 0;
    for (; *codeset && *codeset != '@' && n + 1 < cap; ++codeset) {
        char c = *codeset;
        if (c >= 'A' && c <= 'Z')
            out[n++] = static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            out[n++] = c;
    }
    out[n] = 0;
}

UINT CodePageOfCodeset(const char* codeset)
{
    char name[32];
    NormalizeCodeset(codeset, name, sizeof name);
    for (const CodesetCodePage& entry : g_codesets)
        if (strcmp(entry.codeset, name) == 0)
            return entry.codePage;
    return 65001;
}

// The character set the user's locale names: from the installed locale
// when there is one, else from the part after "." of the locale's name
// (LC_ALL, LC_CTYPE, LANG), else the C locale's.
UINT CodePageOfUserLocale()
{
    locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (loc) {
        UINT cp = CodePageOfCodeset(nl_langinfo_l(CODESET, loc));
        freelocale(loc);
        return cp;
    }
    const char* names[] = {getenv("LC_ALL"), getenv("LC_CTYPE"), getenv("LANG")};
    for (const char* name : names) {
        if (!name || !*name)
            continue;
        const char* dot = strchr(name, '.');
        return dot ? CodePageOfCodeset(dot + 1) : 65001;
    }
    return 65001;
}

// The code page an identifier names, CP_ACP and CP_THREAD_ACP being the
// system's. The OEM and Macintosh aliases are not resolved: the module
// never asks for them, and a user who names 1 or 2 gets UTF-8, as for any
// code page the system lacks.
const Info* Resolve(UINT id)
{
    if (id == CP_ACP || id == CP_THREAD_ACP)
        return codepage::Find(GetACP());
    return codepage::Find(id);
}

// Whether the code page's conversions can be had: UTF-8 always, the others
// when iconv knows their character set.
bool IsUsable(const Info& cp)
{
    if (cp.kind == Kind::Utf8)
        return true;
    if (cp.kind == Kind::SingleByte)
        return codepage::SingleBytes(cp) != nullptr;
    return codepage::MultiBytes(cp) != nullptr;
}

int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

} // namespace

namespace
{

// GetACP's last answer on this thread and the locale variables it came
// from: conversions in CP_ACP ask for the code page text after text, and
// reading the locale each time would cost more than the conversion.
struct AcpCache {
    char variables[256];
    UINT codePage;
    bool valid;
};
thread_local AcpCache t_acp;

// LC_ALL, LC_CTYPE and LANG, each ended by a line feed; false when they are
// too long to keep.
bool LocaleVariables(char* out, size_t cap)
{
    size_t n = 0;
    const char* names[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    for (const char* name : names) {
        const char* value = getenv(name);
        size_t length = value ? strlen(value) : 0;
        if (n + length + 2 > cap)
            return false;
        memcpy(out + n, value ? value : "", length);
        n += length;
        out[n++] = '\n';
    }
    out[n] = 0;
    return true;
}

} // namespace

// GetACP: the system code page, from the user's locale as the environment
// names it (LC_ALL, LC_CTYPE, LANG). Windows fixes it for the whole system
// at boot; here it follows the locale of the environment, and a UTF-8 or C
// locale gives 65001.
UINT GetACP()
{
    char variables[sizeof t_acp.variables];
    bool keep = LocaleVariables(variables, sizeof variables);
    if (keep && t_acp.valid && strcmp(variables, t_acp.variables) == 0)
        return t_acp.codePage;
    UINT codePage = CodePageOfUserLocale();
    if (keep) {
        memcpy(t_acp.variables, variables, sizeof variables);
        t_acp.codePage = codePage;
        t_acp.valid = true;
    }
    return codePage;
}

// IsValidCodePage: true for the code pages of the list whose character set
// the C library has. As on Windows, the aliases CP_ACP and the like are not
// code pages.
BOOL IsValidCodePage(UINT CodePage)
{
    if (CodePage <= CP_THREAD_ACP)
        return FALSE;
    const Info* cp = codepage::Find(CodePage);
    return cp && IsUsable(*cp);
}

// GetCPInfoExW: the code page's limits, default characters and Windows
// name. Every code page here has "?" as its default character.
BOOL GetCPInfoExW(UINT CodePage, DWORD dwFlags, LPCPINFOEXW lpCPInfoEx)
{
    if (dwFlags != 0)
        return Fail(ERROR_INVALID_FLAGS);
    const Info* cp = Resolve(CodePage);
    if (!lpCPInfoEx || !cp || !IsUsable(*cp))
        return Fail(ERROR_INVALID_PARAMETER);
    memset(lpCPInfoEx, 0, sizeof *lpCPInfoEx);
    lpCPInfoEx->MaxCharSize = cp->kind == Kind::SingleByte ? 1 : cp->kind == Kind::MultiByte ? 2 : 4;
    lpCPInfoEx->DefaultChar[0] = '?';
    memcpy(lpCPInfoEx->LeadByte, cp->leadBytes, sizeof cp->leadBytes);
    lpCPInfoEx->UnicodeDefaultChar = cp->unicodeDefault;
    lpCPInfoEx->CodePage = cp->id;
    wcscpy(lpCPInfoEx->CodePageName, cp->name);
    return TRUE;
}

namespace
{

using codepage::kOverflow;

// What an unmappable character becomes: the code page's default character,
// "?" in every code page here.
const char kDefaultChar = '?';

size_t EncodeSingleByte(const codepage::SingleByteTable* table, const WCHAR* s, size_t n, char* out,
                        size_t cap)
{
    if (!out)
        return n;
    if (cap < n)
        return kOverflow;
    for (size_t i = 0; i < n;) {
        i += codepage::CopyAscii(s + i, n - i, out + i);
        if (i == n)
            break;
        BYTE b = table->toBytes[s[i]];
        out[i] = b == 0 && s[i] != 0 ? kDefaultChar : static_cast<char>(b);
        ++i;
    }
    return n;
}

// GB18030 gives every character beyond the BMP four bytes, in the order of
// the code points from 0x90308130 on.
uint32_t Gb18030Supplementary(WCHAR high, WCHAR low)
{
    uint32_t index = CodePointOf(high, low) - 0x10000;
    uint32_t b4 = 0x30 + index % 10;
    index /= 10;
    uint32_t b3 = 0x81 + index % 126;
    index /= 126;
    uint32_t b2 = 0x30 + index % 10;
    uint32_t b1 = 0x90 + index / 10;
    return b1 << 24 | b2 << 16 | b3 << 8 | b4;
}

size_t PackedLength(uint32_t packed)
{
    return packed < 0x100 ? 1 : packed < 0x10000 ? 2 : packed < 0x1000000 ? 3 : 4;
}

size_t EncodeMultiByte(const Info& cp, const codepage::MultiByteTable* table, const WCHAR* s, size_t n,
                       char* out, size_t cap)
{
    size_t length = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!codepage::CopyAsciiRun(s, n, i, out, cap, length))
            break;
        uint32_t packed = table->toBytes[s[i]];
        if (cp.kind == Kind::Gb18030 && IsHighSurrogate(s[i]) && i + 1 < n && IsLowSurrogate(s[i + 1])) {
            packed = Gb18030Supplementary(s[i], s[i + 1]);
            ++i;
        }
        const char* bytes = &kDefaultChar;
        size_t k = 1;
        char packedBytes[4];
        if (packed != 0 || s[i] == 0) {
            k = PackedLength(packed);
            for (size_t j = 0; j < k; ++j)
                packedBytes[j] = static_cast<char>(packed >> (8 * (k - 1 - j)));
            bytes = packedBytes;
        }
        if (out && length + k > cap)
            return kOverflow;
        if (out)
            memcpy(out + length, bytes, k);
        length += k;
    }
    return length;
}

// Windows' checks of WideCharToMultiByte's arguments, in its order, for the
// calls the module makes: flags 0, no default character of the caller's and
// no report of its use. Other calls fail as Windows fails a bad argument.
DWORD CheckToBytes(const Info* cp, DWORD flags, LPCWSTR src, int cch, LPSTR dst, int cb, LPCSTR def,
                   LPBOOL usedDef)
{
    if (!src || cch == 0 || cb < 0 || (cb > 0 && !dst) || !cp || def || usedDef)
        return ERROR_INVALID_PARAMETER;
    return flags ? ERROR_INVALID_FLAGS : 0;
}

} // namespace

// WideCharToMultiByte with flags 0. A character the code page lacks
// becomes its default character "?"; Linux has no "best fit" tables, so it
// never becomes a look-alike as it can on Windows (U+0100 stays "?" in code
// page 1252, where Windows writes "A"). An unpaired surrogate becomes
// U+FFFD in UTF-8 and "?" elsewhere. On a too small buffer nothing is
// written.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar)
{
    const Info* cp = Resolve(CodePage);
    DWORD error = CheckToBytes(cp, dwFlags, lpWideCharStr, cchWideChar, lpMultiByteStr, cbMultiByte,
                               lpDefaultChar, lpUsedDefaultChar);
    if (error)
        return Fail(error);
    size_t n = cchWideChar < 0 ? wcslen(lpWideCharStr) + 1 : static_cast<size_t>(cchWideChar);
    char* out = cbMultiByte ? lpMultiByteStr : nullptr;
    size_t cap = static_cast<size_t>(cbMultiByte);
    size_t length;
    if (cp->kind == Kind::Utf8) {
        length = EncodeUtf8(lpWideCharStr, n, out, cap, LoneSurrogate::Replace);
    } else if (cp->kind == Kind::SingleByte) {
        const codepage::SingleByteTable* table = codepage::SingleBytes(*cp);
        if (!table)
            return Fail(ERROR_INVALID_PARAMETER);
        length = EncodeSingleByte(table, lpWideCharStr, n, out, cap);
    } else {
        const codepage::MultiByteTable* table = codepage::MultiBytes(*cp);
        if (!table)
            return Fail(ERROR_INVALID_PARAMETER);
        length = EncodeMultiByte(*cp, table, lpWideCharStr, n, out, cap);
    }
    if (length == kOverflow)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (length > 0x7FFFFFFF)
        return Fail(ERROR_INVALID_PARAMETER);
    return static_cast<int>(length);
}
