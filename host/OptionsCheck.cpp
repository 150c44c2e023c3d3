// host/OptionsCheck.cpp: the options string read as the filter reads it,
// group by group, with the project's scanner and its readings of the
// values, so that the host warns of exactly what the filter will do.
#include "OptionsCheck.h"

#include "../settings/OptionsScanner.h"

#include <algorithm>

namespace
{

enum class Key { kFile, kFlag, kDelimiter, kCharset };

struct KeyInfo {
    const char* pszName;
    Key key;
    bool FilterSettings::*pFlag;
};

const KeyInfo kKeys[] = {
    {"FILE", Key::kFile, nullptr},
    {"CSV", Key::kFlag, &FilterSettings::bCsv},
    {"OVERWRITE", Key::kFlag, &FilterSettings::bOverwrite},
    {"WRITEHEAD", Key::kFlag, &FilterSettings::bWriteHead},
    {"SINGLE", Key::kFlag, &FilterSettings::bSingle},
    {"XML", Key::kFlag, &FilterSettings::bXml},
    {"HEADLINE", Key::kFlag, &FilterSettings::bHeadline},
    {"DELIMITER", Key::kDelimiter, nullptr},
    {"CHARSET", Key::kCharset, nullptr},
    {"MAP", Key::kFlag, &FilterSettings::bMap},
};

// m_szFile holds 2048 units with its terminator.
const size_t kFileUnits = 2048;

const KeyInfo* FindKey(const WString& key)
{
    for (const KeyInfo& info : kKeys)
        if (_wcsicmp(key.c_str(), Widen(info.pszName).c_str()) == 0)
            return &info;
    return nullptr;
}

bool IsBlank(WCHAR c)
{
    return c == ' ' || c == '\t';
}

WString Trimmed(const WString& text)
{
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::string Quoted(const WString& text)
{
    return "\"" + Narrow(text) + "\"";
}

// The scanner splits one copy of the text in place, so a key's offset from
// the copy's start is its offset in the text; the first key, one unit
// after the first "[", tells where the copy starts.
struct Reader {
    const WString& text;
    std::vector<std::string>* pWarnings;
    FilterSettings settings;
    const WCHAR* pCopy = nullptr;
    size_t nEnd = std::string::npos; // the last group's "]"
    bool bFileSeen = false;

    void Warn(const WString& what, const std::string& why)
    {
        pWarnings->push_back(Narrow(what) + ": " + why);
    }
    void Group(const WCHAR* pszKey, const WCHAR* pszValue);
    std::string ReadFile(const WString& value);
    std::string ReadValue(const KeyInfo& info, const WString& value);
};

void Reader::Group(const WCHAR* pszKey, const WCHAR* pszValue)
{
    if (!pCopy)
        pCopy = pszKey - (text.find('[') + 1);
    WString key(pszKey), value(pszValue);
    size_t nKey = static_cast<size_t>(pszKey - pCopy), nValue = static_cast<size_t>(pszValue - pCopy);
    size_t nStart = nKey - 1;
    nEnd = std::min(text.size() - 1, std::max(nKey + key.size(), nValue + value.size()));
    WString group = text.substr(nStart, nEnd - nStart + 1);
    if (text[nStart] != '[') {
        group = Widen("\"") + group + Widen("\"");
        Warn(group, "the character before \"[\" is taken for the group's \"[\", so its key reads " +
                        Quoted(key) +
                        " and the filter ignores the group; write the groups with nothing between them");
        return;
    }
    const KeyInfo* pInfo = FindKey(key);
    if (!pInfo) {
        bool bBlanks = FindKey(Trimmed(key)) != nullptr;
        Warn(group, bBlanks
                        ? "the blanks around the key make it unknown to the filter, which ignores the group"
                        : "unknown key " + Narrow(key) + ": the filter ignores the group");
        return;
    }
    // A blank kept in a value is the likelier mistake: it is named first,
    // with what the value then means.
    std::string why = ReadValue(*pInfo, value);
    if (value.size() > 1 && Trimmed(value) != value)
        why =
            "the filter keeps the blanks around the value" + why.substr(std::min(why.find(':'), why.size()));
    if (!why.empty())
        Warn(group, why);
}

std::string Reader::ReadFile(const WString& value)
{
    bFileSeen = true;
    settings.file = value.size() < kFileUnits ? value : WString();
    settings.nRefusedFileUnits = value.size() < kFileUnits ? 0 : value.size();
    if (value.empty())
        return "an empty FILE names no output file";
    if (value.size() >= kFileUnits)
        return "the path is " + std::to_string(value.size()) + " characters long; the filter takes at most " +
               std::to_string(kFileUnits - 1) + " and is left without an output file";
    if (value.find('/') != WString::npos) {
        WString fixed = value;
        std::replace(fixed.begin(), fixed.end(), WCHAR('/'), WCHAR('\\'));
        return "\"/\" is an ordinary character in the filter's paths, not a separator: write [FILE=" +
               Narrow(fixed) + "], or give the path with --output";
    }
    if (value.find('\\') == WString::npos)
        return "a FILE without a backslash names no folder, and the filter takes the name itself for the "
               "folder of its work file: write [FILE=.\\" +
               Narrow(value) + "], or give the path with --output";
    return "";
}

std::string Reader::ReadValue(const KeyInfo& info, const WString& value)
{
    switch (info.key) {
    case Key::kFile:
        return ReadFile(value);
    case Key::kFlag:
        settings.*info.pFlag = IsTrueValue(value.c_str());
        if (settings.*info.pFlag || _wcsicmp(value.c_str(), Widen("FALSE").c_str()) == 0)
            return "";
        return std::string(info.pszName) + " is TRUE or FALSE: " + Quoted(value) + " counts as FALSE";
    case Key::kDelimiter:
        switch (ClassifyDelimiter(value.c_str())) {
        case DelimiterValue::OneUnit:
            settings.delimiter = value[0];
            return "";
        case DelimiterValue::Tab:
            settings.delimiter = '\t';
            return "";
        case DelimiterValue::Keep:
            if (_wcsicmp(value.c_str(), Widen("LS").c_str()) == 0)
                return "";
            return "a delimiter is one character, \\T for a tab or LS: " + Quoted(value) +
                   " leaves the delimiter as it was";
        }
        break;
    case Key::kCharset:
        switch (ClassifyCharset(value.c_str())) {
        case CharsetValue::Unicode:
            settings.bUnicode = true;
            return "";
        case CharsetValue::SystemCodePage:
            return "";
        case CharsetValue::Number:
            settings.nCodePage = static_cast<int32_t>(_wtol(value.c_str()));
            if (!value.empty() && value.find_first_not_of(Widen("0123456789")) == WString::npos)
                return "";
            return "a character set is UNICODE, ACP or a code page number: " + Quoted(value) +
                   " is read as code page " + std::to_string(settings.nCodePage);
        }
        break;
    }
    return "";
}

// The extension step and the two mode rules of ParseOptions.
void Settle(FilterSettings& s)
{
    size_t nSlash = s.file.rfind('\\');
    if (nSlash != WString::npos && s.file.find('.', nSlash) == WString::npos && !s.bSingle)
        s.file = s.file.size() + 4 < kFileUnits ? s.file + Widen(s.bCsv ? ".csv" : ".txt") : WString();
    if (s.bMap)
        s.bXml = s.bSingle = false;
    if (s.bXml) {
        s.bUnicode = s.bCsv = false;
        s.nCodePage = 65001;
    }
}

} // namespace

FilterSettings ReadFilterSettings(const WString& options, std::vector<std::string>* pWarnings)
{
    Reader reader{options, pWarnings, FilterSettings()};
    size_t nFirst = options.find('[');
    WString before = options.substr(0, nFirst);
    if (nFirst == WString::npos && !options.empty())
        reader.Warn(Widen("\"") + options + Widen("\""),
                    "holds no [KEY=VALUE] group, so the filter reads none of it");
    else if (!Trimmed(before).empty())
        reader.Warn(Widen("\"") + before + Widen("\""), "text before the first group is ignored");
    ScanOptionGroups(
        options.c_str(),
        [](void* pReader, const WCHAR* pszKey, const WCHAR* pszValue) {
            static_cast<Reader*>(pReader)->Group(pszKey, pszValue);
        },
        &reader);
    if (nFirst != WString::npos) {
        WString rest = options.substr(reader.nEnd == std::string::npos ? nFirst : reader.nEnd + 1);
        if (!rest.empty())
            reader.Warn(Widen("\"") + rest + Widen("\""),
                        "ignored, as the filter stops at text that is not a whole [KEY=VALUE] group");
    }
    Settle(reader.settings);
    if (!reader.bFileSeen && !reader.settings.bSingle)
        pWarnings->push_back("no FILE group: the filter has no output file; give --output PATH");
    return reader.settings;
}

WString FileItemOf(const std::string& path, bool bDriveLetters)
{
    WString file = Widen(path);
    std::replace(file.begin(), file.end(), WCHAR('/'), WCHAR('\\'));
    bool bAbsolute =
        (!file.empty() && file[0] == '\\') || (bDriveLetters && file.size() >= 2 && file[1] == ':');
    bool bDotted = file.compare(0, 2, Widen(".\\")) == 0 || file.compare(0, 3, Widen("..\\")) == 0;
    return bAbsolute || bDotted ? file : Widen(".\\") + file;
}

bool ReplaceFileItem(const WString& options, const WString& file, WString* pResult)
{
    if (file.find(']') != WString::npos)
        return false;
    struct Spans {
        const WString& text;
        const WCHAR* pCopy;
        std::vector<std::pair<size_t, size_t>> values; // offset and length of each FILE value
    } spans{options, nullptr, {}};
    ScanOptionGroups(
        options.c_str(),
        [](void* pSpans, const WCHAR* pszKey, const WCHAR* pszValue) {
            Spans& s = *static_cast<Spans*>(pSpans);
            if (!s.pCopy)
                s.pCopy = pszKey - (s.text.find('[') + 1);
            if (_wcsicmp(pszKey, Widen("FILE").c_str()) == 0 && s.text[pszKey - s.pCopy - 1] == '[')
                s.values.emplace_back(pszValue - s.pCopy, wcslen(pszValue));
        },
        &spans);
    *pResult = options;
    for (auto span = spans.values.rbegin(); span != spans.values.rend(); ++span)
        pResult->replace(span->first, span->second, file);
    if (spans.values.empty())
        pResult->insert(std::min(options.find('['), options.size()), Widen("[FILE=") + file + Widen("]"));
    return true;
}

std::vector<WString> TableFileNames(const FilterSettings& settings, const std::vector<std::string>& tables)
{
    if (tables.size() == 1)
        return {settings.file};
    size_t nDot = settings.file.rfind('.');
    WString base = settings.file.substr(0, nDot),
            ext = nDot == WString::npos ? WString() : settings.file.substr(nDot);
    std::vector<WString> names;
    for (const std::string& table : tables)
        names.push_back(base + Widen("-") + Widen(table) + ext);
    return names;
}
