// settings/OptionsParser.cpp: ParseOptions, which sets the filter's options
// from an options string, derives the output file's extension, settles
// conflicting modes and makes the output directory exist.
#include "../filter/FerloFilter.h"

#include "../common/String.h"
#include "../output/Directory.h"
#include "OptionsScanner.h"

namespace
{

using Filter = CFerloFilter;

void ApplyFile(Filter& f, const WCHAR* pszValue)
{
    CopyWholeValue(f.m_szFile, pszValue);
}

// "LS" and unknown values keep the delimiter: on a new filter that is the
// user's list separator, which is what "LS" names.
void ApplyDelimiter(Filter& f, const WCHAR* pszValue)
{
    switch (ClassifyDelimiter(pszValue)) {
    case DelimiterValue::OneUnit:
        f.m_szDelimiter[0] = pszValue[0];
        f.m_szDelimiter[1] = 0;
        break;
    case DelimiterValue::Tab:
        f.m_szDelimiter[0] = WSTR('\t');
        f.m_szDelimiter[1] = 0;
        break;
    case DelimiterValue::Keep:
        break;
    }
}

// "ACP" changes nothing: the code page is the system's from construction
// unless an earlier string named another. A number is not checked here; a
// code page that cannot convert shows when text is written.
void ApplyCharset(Filter& f, const WCHAR* pszValue)
{
    switch (ClassifyCharset(pszValue)) {
    case CharsetValue::Unicode:
        f.m_bUnicode = 1;
        break;
    case CharsetValue::Number:
        f.m_nCodePage = static_cast<uint32_t>(_wtol(pszValue));
        break;
    case CharsetValue::SystemCodePage:
        break;
    }
}

const OptionKeyword<Filter> kKeywords[] = {
    {WSTR("FILE"), ApplyFile},
    {WSTR("CSV"), ApplyFlag<Filter, &Filter::m_bCsv>},
    {WSTR("OVERWRITE"), ApplyFlag<Filter, &Filter::m_bOverwrite>},
    {WSTR("WRITEHEAD"), ApplyFlag<Filter, &Filter::m_bWriteHead>},
    {WSTR("SINGLE"), ApplyFlag<Filter, &Filter::m_bSingle>},
    {WSTR("XML"), ApplyFlag<Filter, &Filter::m_bXml>},
    {WSTR("HEADLINE"), ApplyFlag<Filter, &Filter::m_bHeadline>},
    {WSTR("DELIMITER"), ApplyDelimiter},
    {WSTR("CHARSET"), ApplyCharset},
    {WSTR("MAP"), ApplyFlag<Filter, &Filter::m_bMap>},
};

// A file name without an extension gets ".csv" or ".txt" by the final CSV
// flag, unless each record gets a file of its own, whose names come with
// every record. Only a name with a directory part is looked at, and only
// its last component counts: a "." in a directory name is no extension.
void AddExtension(Filter& f)
{
    const WCHAR* pLastSeparator = wcsrchr(f.m_szFile, WSTR('\\'));
    if (!pLastSeparator || wcschr(pLastSeparator, WSTR('.')) || f.m_bSingle)
        return;
    size_t n = wcslen(f.m_szFile);
    if (n + 4 >= Filter::kPathUnits) {
        f.m_szFile[0] = 0;
        return;
    }
    wcscpy(f.m_szFile + n, f.m_bCsv ? WSTR(".csv") : WSTR(".txt"));
}

// A map export writes neither XML nor a file per record; XML is always
// UTF-8 and never CSV-quoted.
void SettleModes(Filter& f)
{
    if (f.m_bMap) {
        f.m_bXml = 0;
        f.m_bSingle = 0;
    }
    if (f.m_bXml) {
        f.m_bUnicode = 0;
        f.m_nCodePage = 65001;
        f.m_bCsv = 0;
    }
}

} // namespace

// A malformed string never stops the filter: the groups before the first
// one that lacks its "]" or "=" stay applied, and the rest is ignored. An
// options text whose copy cannot be had applies no group.
int ZRCALL CFerloFilter::ParseOptions(const HostString& options)
{
    m_szFile[0] = 0;
    ScanOptions(HostText(options), kKeywords, *this);
    AddExtension(*this);
    SettleModes(*this);
    m_nTables = 0;
    m_bWriteFailed = 0;
    String file(m_szFile);
    return EnsureDirectory(file.path()) ? 0 : 1;
}
