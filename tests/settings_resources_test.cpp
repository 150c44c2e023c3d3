// tests/settings_resources_test.cpp: the settings dialog's templates and strings read back from the
// module: every language has the same controls, inside the dialog, none covering another; the strings.
#include "res/SettingsDialogRes.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>
#include <windows.h>

namespace
{

struct Control {
    DWORD style;
    WORD id;
    std::wstring kind, text; // kind: "#" and the class atom
    RECT rect;               // dialog units; a drop-down list only its closed field
};

struct Template {
    DWORD style = 0;
    int cx = 0, cy = 0;
    WORD pointSize = 0;
    std::wstring caption, font;
    std::vector<Control> controls;
};

// A name or ordinal of a template: 0xFFFF and a number, or a text; system classes count by their atoms.
std::wstring ReadName(const WORD*& p)
{
    static const wchar_t* const kClasses[] = {L"BUTTON",  L"EDIT",      L"STATIC",
                                              L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
    if (*p == 0xFFFF)
        return p += 2, L"#" + std::to_wstring(p[-1]);
    std::wstring text(reinterpret_cast<const wchar_t*>(p));
    p += text.size() + 1;
    for (int i = 0; i < 6; ++i)
        if (_wcsicmp(text.c_str(), kClasses[i]) == 0)
            return L"#" + std::to_wstring(0x80 + i);
    return text;
}

HMODULE Module()
{
    static HMODULE module = LoadLibraryExA(FERLO_PLUGIN_NAME, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

const BYTE* FindData(LPCWSTR type, LPCWSTR name, LANGID lang)
{
    HRSRC resource = FindResourceExW(Module(), type, name, lang);
    return resource ? static_cast<const BYTE*>(LockResource(LoadResource(Module(), resource))) : nullptr;
}

bool ReadTemplate(LANGID lang, Template& t)
{
    const BYTE* base = FindData(RT_DIALOG, MAKEINTRESOURCEW(IDD_SETTINGS), lang);
    if (!base)
        return false;
    const auto* head = reinterpret_cast<const DLGTEMPLATE*>(base);
    t.style = head->style;
    t.cx = head->cx;
    t.cy = head->cy;
    const WORD* p = reinterpret_cast<const WORD*>(base + 18);
    ReadName(p); // menu
    ReadName(p); // class
    t.caption = ReadName(p);
    if (t.style & DS_SETFONT) {
        t.pointSize = *p++;
        t.font = ReadName(p);
    }
    for (int i = 0; i < head->cdit; ++i) {
        p = reinterpret_cast<const WORD*>(base + ((reinterpret_cast<const BYTE*>(p) - base + 3) & ~3));
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        p += 9;
        RECT rect = {item->x, item->y, item->x + item->cx, item->y + item->cy};
        Control c{item->style, item->id, ReadName(p), ReadName(p), rect};
        if (c.kind == L"#133")
            c.rect.bottom = c.rect.top + 14;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + 2 + *p);
        t.controls.push_back(c);
    }
    return true;
}

// What may cover another control: a visible control that is no group box.
bool Covers(const Control& c)
{
    return (c.style & WS_VISIBLE) && !(c.kind == L"#128" && (c.style & 0x0F) == BS_GROUPBOX);
}

const struct {
    LANGID lang;
    int cx, cy; // 0: any size
    const wchar_t* font;
    WORD pointSize;
} kLanguages[] = {
    {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), 270, 284, L"MS Sans Serif", 8},
    {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), 288, 284, L"MS Sans Serif", 8},
    {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), 270, 287, L"MS Sans Serif", 8},
    {MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), 271, 303, L"MS UI Gothic", 9},
    {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), 0, 0, nullptr, 0},
    {MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT), 0, 297, nullptr, 0},
    {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), 0, 0, nullptr, 0},
    {MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN), 0, 0, nullptr, 0},
    {MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), 0, 0, nullptr, 0},
    {MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), 0, 0, nullptr, 0},
    {MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN), 0, 0, nullptr, 0},
};

TEST(SettingsResources, EveryLanguageHasTheSameControlsInsideItsDialogWithoutOverlap)
{
    Template english;
    ASSERT_TRUE(ReadTemplate(kLanguages[0].lang, english));
    EXPECT_EQ(DWORD(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU), english.style);
    EXPECT_EQ(L"Text Output Settings", english.caption);
    ASSERT_EQ(27u, english.controls.size());
    for (const auto& language : kLanguages) {
        SCOPED_TRACE(language.lang);
        Template t;
        ASSERT_TRUE(ReadTemplate(language.lang, t));
        EXPECT_EQ(english.style, t.style);
        EXPECT_FALSE(t.caption.empty());
        EXPECT_EQ(language.cx ? language.cx : t.cx, t.cx);
        EXPECT_EQ(language.cy ? language.cy : t.cy, t.cy);
        EXPECT_EQ(language.font ? language.font : t.font, t.font);
        EXPECT_EQ(language.font ? language.pointSize : t.pointSize, t.pointSize);
        ASSERT_EQ(english.controls.size(), t.controls.size());
        for (size_t i = 0; i < t.controls.size(); ++i) {
            const Control& c = t.controls[i];
            SCOPED_TRACE(c.id);
            const Control& e = english.controls[i];
            EXPECT_EQ(std::tie(e.id, e.kind, e.style), std::tie(c.id, c.kind, c.style));
            EXPECT_EQ(e.text.empty(), c.text.empty());
            EXPECT_TRUE(c.rect.left >= 0 && c.rect.top >= 0 && c.rect.right <= t.cx && c.rect.bottom <= t.cy);
            for (size_t j = i + 1; j < t.controls.size(); ++j) {
                RECT shared;
                EXPECT_FALSE(Covers(c) && Covers(t.controls[j]) &&
                             IntersectRect(&shared, &c.rect, &t.controls[j].rect))
                    << "overlaps control " << t.controls[j].id;
            }
        }
    }
}

// A string of the module's table in one language, from its block of sixteen counted strings.
std::wstring TableString(UINT id, LANGID lang)
{
    const WORD* p = reinterpret_cast<const WORD*>(FindData(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), lang));
    if (!p)
        return L"<no table>";
    for (UINT i = 0; i < id % 16; ++i)
        p += 1 + *p;
    return std::wstring(reinterpret_cast<const wchar_t*>(p + 1), *p);
}

// The text holds the placeholder, once, and no other.
bool OnePlaceholder(const std::wstring& text, const wchar_t* placeholder)
{
    return text.find(placeholder) != text.npos && text.find(placeholder) == text.rfind(L'%');
}

TEST(SettingsResources, StringsInFiveLanguagesKeepTheirPlaceholders)
{
    for (size_t n = 0; n < 5; ++n) { // the first five of the table
        LANGID lang = kLanguages[n].lang;
        SCOPED_TRACE(lang);
        for (UINT id : {IDS_BROWSE_TITLE, IDS_NO_FILE_NAME, IDS_BAD_DELIMITER})
            EXPECT_FALSE(TableString(id, lang).empty()) << id;
        EXPECT_TRUE(OnePlaceholder(TableString(IDS_SYSTEM_CODE_PAGE, lang), L"%i"));
        EXPECT_TRUE(OnePlaceholder(TableString(IDS_SYSTEM_DELIMITER, lang), L"%s"));
    }
    LANGID english = kLanguages[0].lang, french = kLanguages[2].lang;
    EXPECT_EQ(L"Specify Filename", TableString(IDS_BROWSE_TITLE, english));
    EXPECT_EQ(TableString(IDS_BROWSE_TITLE, english), TableString(IDS_BROWSE_TITLE, french));
    EXPECT_EQ(std::wstring::npos, TableString(IDS_SYSTEM_DELIMITER, french).find(L'&'));
    EXPECT_EQ(L"&System '%s'", TableString(IDS_SYSTEM_DELIMITER, english));
}

} // namespace
