// settings/SettingsValues.cpp: the settings dialog's values read from an
// options string and built back into one, and the options string stored in
// the registry of the current user.
#include "SettingsValues.h"

#include "OptionsScanner.h"

#include <new>

namespace
{

using Values = SettingsValues;

void ApplyFile(Values& v, const WCHAR* pszValue)
{
    CopyWholeValue(v.szFile, pszValue);
}

void ApplySingle(Values& v, const WCHAR* pszValue)
{
    v.bSingle = IsTrueValue(pszValue) ? 1 : 0;
    v.bDatabaseFile = 1 - v.bSingle;
}

void ApplyXml(Values& v, const WCHAR* pszValue)
{
    v.bXml = IsTrueValue(pszValue) ? 1 : 0;
    v.bTextFile = 1 - v.bXml;
}

// A delimiter choice sets its own flag and clears System, but no other
// choice: the builder takes the first flag set, so with two DELIMITER
// groups the earlier choice in its order wins. A comma, semicolon or blank
// is the button of its own, never Other.
void ApplyDelimiter(Values& v, const WCHAR* pszValue)
{
    DelimiterValue kind = ClassifyDelimiter(pszValue);
    if (kind == DelimiterValue::Keep)
        return;
    v.bDelimSystem = 0;
    if (kind == DelimiterValue::Tab) {
        v.bDelimTab = 1;
        return;
    }
    switch (pszValue[0]) {
    case WSTR(' '):
        v.bDelimSpace = 1;
        break;
    case WSTR(','):
        v.bDelimComma = 1;
        break;
    case WSTR(';'):
        v.bDelimSemicolon = 1;
        break;
    default:
        v.bDelimOther = 1;
        v.szOtherDelimiter[0] = pszValue[0];
        v.szOtherDelimiter[1] = 0;
    }
}

// A number only names the wanted code page; the dialog chooses its entry.
void ApplyCharset(Values& v, const WCHAR* pszValue)
{
    switch (ClassifyCharset(pszValue)) {
    case CharsetValue::Unicode:
        v.bUnicode = 1;
        v.bUseCodePage = 0;
        break;
    case CharsetValue::SystemCodePage:
        v.nCodePageIndex = 0;
        break;
    case CharsetValue::Number:
        v.nWantedCodePage = _wtol(pszValue);
        break;
    }
}

// MAP is not read: the dialog learns of a map export from its caller.
const OptionKeyword<Values> kKeywords[] = {
    {WSTR("FILE"), ApplyFile},
    {WSTR("CSV"), ApplyFlag<Values, &Values::bCsv>},
    {WSTR("OVERWRITE"), ApplyFlag<Values, &Values::bOverwrite>},
    {WSTR("WRITEHEAD"), ApplyFlag<Values, &Values::bWriteHead>},
    {WSTR("SINGLE"), ApplySingle},
    {WSTR("XML"), ApplyXml},
    {WSTR("HEADLINE"), ApplyFlag<Values, &Values::bHeadline>},
    {WSTR("DELIMITER"), ApplyDelimiter},
    {WSTR("CHARSET"), ApplyCharset},
};

// The longest fixed pieces of a built string, terminator included:
// "[FILE=" "][CSV=FALSE]" "[OVERWRITE=FALSE]" "[WRITEHEAD=FALSE]"
// "[SINGLE=FALSE]" "[XML=FALSE]" "[HEADLINE=FALSE]" "[DELIMITER=" "]"
// "[CHARSET=4294967295]" "[MAP=FALSE]" and the terminator.
const int kLongestFixedPieces = 6 + 12 + 17 + 17 + 14 + 11 + 16 + 11 + 1 + 20 + 11 + 1;
static_assert(kBuiltOptionsUnits >=
                  kLongestFixedPieces + Values::kFileUnits - 1 + Values::kOtherDelimiterUnits - 1,
              "every built options string fits");

// Appends texts to the caller's buffer, each at most nMax units long, so a
// value whose terminator is missing is never read past its member.
class OptionsText
{
public:
    explicit OptionsText(WCHAR (&sz)[kBuiltOptionsUnits]) : m_p(sz), m_pEnd(sz + kBuiltOptionsUnits - 1)
    {
        *m_p = 0;
    }

    OptionsText& Append(const WCHAR* psz, size_t nMax = kBuiltOptionsUnits)
    {
        for (; *psz && nMax && m_p < m_pEnd; --nMax)
            *m_p++ = *psz++;
        *m_p = 0;
        return *this;
    }

    OptionsText& AppendNumber(UINT n)
    {
        WCHAR szDigits[11];
        WCHAR* p = szDigits + 10;
        *p = 0;
        do {
            *--p = static_cast<WCHAR>(WSTR('0') + n % 10);
            n /= 10;
        } while (n);
        return Append(p);
    }

private:
    WCHAR* m_p;
    WCHAR* m_pEnd;
};

const WCHAR* Flag(int32_t bFlag, const WCHAR* pszTrue, const WCHAR* pszFalse)
{
    return bFlag ? pszTrue : pszFalse;
}

void AppendDelimiter(OptionsText& text, const Values& v)
{
    text.Append(WSTR("[DELIMITER="));
    if (v.bDelimSystem)
        text.Append(WSTR("LS"));
    else if (v.bDelimComma)
        text.Append(WSTR(","));
    else if (v.bDelimSemicolon)
        text.Append(WSTR(";"));
    else if (v.bDelimSpace)
        text.Append(WSTR(" "));
    else if (v.bDelimTab)
        text.Append(WSTR("\\T"));
    else
        text.Append(v.szOtherDelimiter, Values::kOtherDelimiterUnits - 1);
    text.Append(WSTR("]"));
}

void AppendCharset(OptionsText& text, const Values& v, UINT nCodePage)
{
    if (v.bUnicode)
        text.Append(WSTR("[CHARSET=UNICODE]"));
    else if (v.nCodePageIndex == 0)
        text.Append(WSTR("[CHARSET=ACP]"));
    else
        text.Append(WSTR("[CHARSET=")).AppendNumber(nCodePage).Append(WSTR("]"));
}

const WCHAR kDefaultKey[] = WSTR("Software\\Tarnholm GmbH\\ZRIOFilter\\Ferlo");
const WCHAR kBelowHostKey[] = WSTR("\\Filter\\Ferlo");
const WCHAR kValueName[] = WSTR("Settings");

// Opens the key of the stored options, creating it when it is missing, also
// for a read. Null when it cannot be opened.
HKEY OpenSettingsKey(const WCHAR* pszRegistryKey)
{
    WCHAR* pszJoined = nullptr;
    if (pszRegistryKey) {
        size_t n = wcslen(pszRegistryKey);
        pszJoined = new (std::nothrow) WCHAR[n + sizeof kBelowHostKey / sizeof(WCHAR)];
        if (!pszJoined)
            return nullptr;
        wcscpy(pszJoined, pszRegistryKey);
        wcscpy(pszJoined + n, kBelowHostKey);
    }
    HKEY hKey = nullptr;
    LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, pszJoined ? pszJoined : kDefaultKey, 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr);
    delete[] pszJoined;
    return rc == ERROR_SUCCESS ? hKey : nullptr;
}

} // namespace

void ReadSettingsValues(const WCHAR* pszOptions, SettingsValues& values)
{
    ScanOptions(pszOptions, kKeywords, values);
}

void BuildOptionsString(const SettingsValues& v, UINT nCodePage, WCHAR (&szOptions)[kBuiltOptionsUnits])
{
    OptionsText text(szOptions);
    text.Append(WSTR("[FILE=")).Append(v.szFile, Values::kFileUnits - 1);
    text.Append(Flag(v.bCsv, WSTR("][CSV=TRUE]"), WSTR("][CSV=FALSE]")));
    text.Append(Flag(v.bOverwrite, WSTR("[OVERWRITE=TRUE]"), WSTR("[OVERWRITE=FALSE]")));
    text.Append(Flag(v.bWriteHead, WSTR("[WRITEHEAD=TRUE]"), WSTR("[WRITEHEAD=FALSE]")));
    text.Append(Flag(v.bSingle, WSTR("[SINGLE=TRUE]"), WSTR("[SINGLE=FALSE]")));
    text.Append(Flag(v.bXml, WSTR("[XML=TRUE]"), WSTR("[XML=FALSE]")));
    text.Append(Flag(v.bHeadline, WSTR("[HEADLINE=TRUE]"), WSTR("[HEADLINE=FALSE]")));
    AppendDelimiter(text, v);
    AppendCharset(text, v, nCodePage);
    text.Append(Flag(v.bNotMap, WSTR("[MAP=FALSE]"), WSTR("[MAP=TRUE]")));
}

void LoadStoredOptions(const WCHAR* pszRegistryKey, WCHAR (&szOptions)[kStoredOptionsUnits])
{
    szOptions[0] = 0;
    HKEY hKey = OpenSettingsKey(pszRegistryKey);
    if (!hKey)
        return;
    DWORD cb = kStoredOptionsBytes;
    LSTATUS rc =
        RegQueryValueExW(hKey, kValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(szOptions), &cb);
    RegCloseKey(hKey);
    // The value's type is not checked, nor that it ends in a terminator. A
    // value too long for the buffer counts as missing, whatever Windows may
    // have put into the buffer.
    szOptions[rc == ERROR_SUCCESS ? cb / sizeof(WCHAR) : 0] = 0;
}

void StoreOptions(const WCHAR* pszRegistryKey, const WCHAR* pszOptions)
{
    HKEY hKey = OpenSettingsKey(pszRegistryKey);
    if (!hKey)
        return;
    DWORD cb = static_cast<DWORD>((wcslen(pszOptions) + 1) * sizeof(WCHAR));
    RegSetValueExW(hKey, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszOptions), cb);
    RegCloseKey(hKey);
}
