// tests/settings_resources_test.cpp: the settings dialog's templates and
// strings as they are compiled into the module, read back from ferlo.dll:
// every language has the same controls, each inside its dialog and none
// covering another, and the strings exist where the dialog loads them.
#include "res/SettingsDialogRes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

namespace
{

struct Control {
    DWORD style;
    WORD id;
    std::wstring kind; // class name, or "#" and the class atom
    std::wstring text;
    RECT rect; // dialog units
};

struct Template {
    DWORD style = 0;
    int cx = 0, cy = 0;
    WORD pointSize = 0;
    std::wstring caption, font;
    std::vector<Control> controls;
};

// A name or ordinal of the classic template: 0 none, 0xFFFF and a number, or
// a text.
std::wstring ReadNameOrOrdinal(const WORD*& p)
{
    if (*p == 0) {
        ++p;
        return L"";
    }
    if (*p == 0xFFFF) {
        std::wstring ordinal = L"#" + std::to_wstring(p[1]);
        p += 2;
        return ordinal;
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(p));
    p += text.size() + 1;
    return text;
}

// The system classes by their atoms, as the window system knows them
// whether a template names or numbers them.
std::wstring ClassAtom(const std::wstring& kind)
{
    static const wchar_t* const kNames[] = {L"BUTTON",  L"EDIT",      L"STATIC",
                                            L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
    for (int i = 0; i < 6; ++i)
        if (_wcsicmp(kind.c_str(), kNames[i]) == 0)
            return L"#" + std::to_wstring(0x80 + i);
    return kind;
}

const WORD* AlignToDword(const WORD* p, const BYTE* base)
{
    size_t offset = reinterpret_cast<const BYTE*>(p) - base;
    return reinterpret_cast<const WORD*>(base + ((offset + 3) & ~size_t(3)));
}

HMODULE Module()
{
    static HMODULE module = LoadLibraryExA(FERLO_PLUGIN_NAME, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

const void* FindData(LPCWSTR type, LPCWSTR name, LANGID lang)
{
    HRSRC resource = FindResourceExW(Module(), type, name, lang);
    return resource ? LockResource(LoadResource(Module(), resource)) : nullptr;
}

bool ReadTemplate(LANGID lang, Template& t)
{
    const BYTE* base = static_cast<const BYTE*>(FindData(RT_DIALOG, MAKEINTRESOURCEW(IDD_SETTINGS), lang));
    if (!base)
        return false;
    const auto* head = reinterpret_cast<const DLGTEMPLATE*>(base);
    t.style = head->style;
    t.cx = head->cx;
    t.cy = head->cy;
    const WORD* p = reinterpret_cast<const WORD*>(base + 18);
    ReadNameOrOrdinal(p); // menu
    ReadNameOrOrdinal(p); // class
    t.caption = ReadNameOrOrdinal(p);
    if (t.style & DS_SETFONT) {
        t.pointSize = *p++;
        t.font = ReadNameOrOrdinal(p);
    }
    for (int i = 0; i < head->cdit; ++i) {
        p = AlignToDword(p, base);
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        Control c{
            item->style, item->id, L"", L"", {item->x, item->y, item->x + item->cx, item->y + item->cy}};
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + 18);
        c.kind = ClassAtom(ReadNameOrOrdinal(p));
        c.text = ReadNameOrOrdinal(p);
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + 2 + *p);
        t.controls.push_back(c);
    }
    return true;
}

const wchar_t kButton[] = L"#128";
const wchar_t kCombo[] = L"#133";

bool IsGroupBox(const Control& c)
{
    return c.kind == kButton && (c.style & 0x0F) == BS_GROUPBOX;
}

// What a control covers while the dialog is shown: a drop-down list only
// its closed field, whatever height its list is given.
RECT ShownRect(const Control& c)
{
    RECT r = c.rect;
    if (c.kind == kCombo)
        r.bottom = r.top + 14;
    return r;
}

struct Language {
    const char* name;
    LANGID lang;
    int cx, cy; // 0: any size
    const wchar_t* font;
    WORD pointSize;
};

const Language kLanguages[] = {
    {"English (United States)", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), 270, 284, L"MS Sans Serif", 8},
    {"German", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), 288, 284, L"MS Sans Serif", 8},
    {"French", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), 270, 287, L"MS Sans Serif", 8},
    {"Japanese", MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), 271, 303, L"MS UI Gothic", 9},
    {"Simplified Chinese", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), 0, 0, nullptr, 0},
    {"Korean", MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT), 0, 297, nullptr, 0},
    {"Traditional Chinese", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), 0, 0, nullptr, 0},
    {"Italian", MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN), 0, 0, nullptr, 0},
    {"Portuguese (Brazil)", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), 0, 0, nullptr, 0},
    {"Russian", MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), 0, 0, nullptr, 0},
    {"Spanish", MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN), 0, 0, nullptr, 0},
};

TEST(SettingsResources, EveryLanguageHasTheSameControlsInsideItsDialogWithoutOverlap)
{
    Template english;
    ASSERT_TRUE(ReadTemplate(kLanguages[0].lang, english));
    EXPECT_EQ(DWORD(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU), english.style);
    EXPECT_EQ(L"Text Output Settings", english.caption);
    ASSERT_EQ(27u, english.controls.size());
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(language.name);
        Template t;
        ASSERT_TRUE(ReadTemplate(language.lang, t));
        EXPECT_EQ(english.style, t.style);
        EXPECT_FALSE(t.caption.empty());
        if (language.cx) {
            EXPECT_EQ(language.cx, t.cx);
        }
        if (language.cy) {
            EXPECT_EQ(language.cy, t.cy);
        }
        if (language.font) {
            EXPECT_EQ(language.font, t.font);
            EXPECT_EQ(language.pointSize, t.pointSize);
        }
        ASSERT_EQ(english.controls.size(), t.controls.size());
        for (size_t i = 0; i < t.controls.size(); ++i) {
            const Control& c = t.controls[i];
            SCOPED_TRACE(c.id);
            EXPECT_EQ(english.controls[i].id, c.id);
            EXPECT_EQ(english.controls[i].kind, c.kind);
            EXPECT_EQ(english.controls[i].style, c.style);
            EXPECT_EQ(english.controls[i].text.empty(), c.text.empty());
            RECT r = ShownRect(c);
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= t.cx && r.bottom <= t.cy);
            if (!(c.style & WS_VISIBLE) || IsGroupBox(c))
                continue;
            for (size_t j = i + 1; j < t.controls.size(); ++j) {
                const Control& other = t.controls[j];
                if (!(other.style & WS_VISIBLE) || IsGroupBox(other))
                    continue;
                RECT shared, o = ShownRect(other);
                EXPECT_FALSE(IntersectRect(&shared, &r, &o)) << "overlaps control " << other.id;
            }
        }
    }
}

// A string of the module's table in one language, read from its block of
// sixteen counted strings.
std::wstring TableString(UINT id, LANGID lang)
{
    const WORD* p = static_cast<const WORD*>(FindData(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), lang));
    if (!p)
        return L"<no table>";
    for (UINT i = 0; i < id % 16; ++i)
        p += 1 + *p;
    return std::wstring(reinterpret_cast<const wchar_t*>(p + 1), *p);
}

TEST(SettingsResources, StringsInFiveLanguagesKeepTheirPlaceholders)
{
    const UINT ids[] = {IDS_BROWSE_TITLE, IDS_SYSTEM_CODE_PAGE, IDS_NO_FILE_NAME, IDS_BAD_DELIMITER,
                        IDS_SYSTEM_DELIMITER};
    for (size_t n = 0; n < 5; ++n) { // the first five of the table
        const Language& language = kLanguages[n];
        SCOPED_TRACE(language.name);
        for (UINT id : ids)
            EXPECT_FALSE(TableString(id, language.lang).empty()) << id;
        std::wstring codePage = TableString(IDS_SYSTEM_CODE_PAGE, language.lang);
        std::wstring system = TableString(IDS_SYSTEM_DELIMITER, language.lang);
        EXPECT_EQ(codePage.find(L"%i"), codePage.rfind(L'%'));
        EXPECT_NE(std::wstring::npos, codePage.find(L"%i"));
        EXPECT_EQ(system.find(L"%s"), system.rfind(L'%'));
        EXPECT_NE(std::wstring::npos, system.find(L"%s"));
    }
    LANGID english = kLanguages[0].lang, french = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
    EXPECT_EQ(L"Specify Filename", TableString(IDS_BROWSE_TITLE, english));
    EXPECT_EQ(TableString(IDS_BROWSE_TITLE, english), TableString(IDS_BROWSE_TITLE, french));
    EXPECT_EQ(std::wstring::npos, TableString(IDS_SYSTEM_DELIMITER, french).find(L'&'));
    EXPECT_EQ(L"&System '%s'", TableString(IDS_SYSTEM_DELIMITER, english));
}

} // namespace
