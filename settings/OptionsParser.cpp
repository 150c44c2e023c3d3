// settings/OptionsParser.cpp: the values of a new export, and the parse of
// an options string into them: the keywords, the file's extension and the
// rules that settle conflicting modes.
#include "Options.h"

#include "OptionsScanner.h"

namespace
{

void ApplyFile(Options& o, const WCHAR* pszValue)
{
    CopyWholeValue(o.m_szFile, pszValue);
}

// "LS" and unknown values keep the delimiter: on a new export that is the
// user's list separator, which is what "LS" names.
void ApplyDelimiter(Options& o, const WCHAR* pszValue)
{
    switch (ClassifyDelimiter(pszValue)) {
    case DelimiterValue::OneUnit:
        o.m_szDelimiter[0] = pszValue[0];
        o.m_szDelimiter[1] = 0;
        break;
    case DelimiterValue::Tab:
        o.m_szDelimiter[0] = WSTR('\t');
        o.m_szDelimiter[1] = 0;
        break;
    case DelimiterValue::Keep:
        break;
    }
}

// "ACP" changes nothing: the code page is the system's from construction
// unless an earlier string named another. A number is not checked here; a
// code page that cannot convert shows when text is written.
void ApplyCharset(Options& o, const WCHAR* pszValue)
{
    switch (ClassifyCharset(pszValue)) {
    case CharsetValue::Unicode:
        o.m_bUnicode = 1;
        break;
    case CharsetValue::Number:
        o.m_nCodePage = static_cast<uint32_t>(_wtol(pszValue));
        break;
    case CharsetValue::SystemCodePage:
        break;
    }
}

const OptionKeyword<Options> kKeywords[] = {
    {WSTR("FILE"), ApplyFile},
    {WSTR("CSV"), ApplyFlag<Options, &Options::m_bCsv>},
    {WSTR("OVERWRITE"), ApplyFlag<Options, &Options::m_bOverwrite>},
    {WSTR("WRITEHEAD"), ApplyFlag<Options, &Options::m_bWriteHead>},
    {WSTR("SINGLE"), ApplyFlag<Options, &Options::m_bSingle>},
    {WSTR("XML"), ApplyFlag<Options, &Options::m_bXml>},
    {WSTR("HEADLINE"), ApplyFlag<Options, &Options::m_bHeadline>},
    {WSTR("DELIMITER"), ApplyDelimiter},
    {WSTR("CHARSET"), ApplyCharset},
    {WSTR("MAP"), ApplyFlag<Options, &Options::m_bMap>},
};

} // namespace

Options::Options()
    : m_szDelimiter{0}, m_nCodePage(GetACP()), m_bUnicode(0), m_bCsv(0), m_bOverwrite(0), m_bWriteHead(1),
      m_bSingle(0), m_bXml(0), m_bHeadline(0), m_bMap(0), m_szFile{0}
{
    SetDefaultDelimiter();
}

// The user's list separator when it is a single character, else ",".
void Options::SetDefaultDelimiter()
{
    int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, m_szDelimiter, kDelimiterUnits);
    if (n == 0)
        m_szDelimiter[0] = 0;
    if (lstrlenW(m_szDelimiter) != 1) {
        m_szDelimiter[0] = WSTR(',');
        m_szDelimiter[1] = 0;
    }
}

void Options::Parse(const WCHAR* pszOptions)
{
    m_szFile[0] = 0;
    ScanOptions(pszOptions, kKeywords, *this);
    AddExtension();
    SettleModes();
}

// A file name without an extension gets ".csv" or ".txt" by the final CSV
// flag, unless each record gets a file of its own, whose names come with
// every record. Only a name with a directory part is looked at, and only
// its last component counts: a "." in a directory name is no extension.
void Options::AddExtension()
{
    const WCHAR* pLastSeparator = wcsrchr(m_szFile, WSTR('\\'));
    if (!pLastSeparator || wcschr(pLastSeparator, WSTR('.')) || m_bSingle)
        return;
    size_t n = wcslen(m_szFile);
    if (n + 4 >= kPathUnits) {
        m_szFile[0] = 0;
        return;
    }
    wcscpy(m_szFile + n, m_bCsv ? WSTR(".csv") : WSTR(".txt"));
}

// A map export writes neither XML nor a file per record; XML is always
// UTF-8 and never CSV-quoted.
void Options::SettleModes()
{
    if (m_bMap) {
        m_bXml = 0;
        m_bSingle = 0;
    }
    if (m_bXml) {
        m_bUnicode = 0;
        m_nCodePage = 65001;
        m_bCsv = 0;
    }
}
