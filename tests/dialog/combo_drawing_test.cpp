// tests/dialog/combo_drawing_test.cpp: colour entries of a drop-down list,
// drawn into a memory bitmap whose pixels are then read.
#include "dialog_fixture.h"

#include <vector>

namespace
{

const int kWidth = 120;
const int kHeight = 20;
const COLORREF kUntouched = RGB(0x12, 0x34, 0x56); // no colour the item draws with
const WCHAR* kEntries[] = {L"Red", L"Green"};
const COLORREF kColors[] = {RGB(200, 30, 40), RGB(20, 180, 60)};

// A 32-bit top-down bitmap selected into a memory device context, filled
// with a colour the item never uses.
class Canvas
{
public:
    Canvas()
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_hDC = CreateCompatibleDC(nullptr);
        m_hBitmap =
            CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pPixels), nullptr, 0);
        m_hOld = SelectObject(m_hDC, m_hBitmap);
        DWORD pixel = RGB(GetBValue(kUntouched), GetGValue(kUntouched), GetRValue(kUntouched));
        std::fill(m_pPixels, m_pPixels + kWidth * kHeight, pixel);
    }
    ~Canvas()
    {
        SelectObject(m_hDC, m_hOld);
        DeleteObject(m_hBitmap);
        DeleteDC(m_hDC);
    }

    HDC DC() const { return m_hDC; }

    // The pixel as a COLORREF: the bitmap holds blue in its low byte.
    COLORREF At(int x, int y) const
    {
        DWORD bgr = m_pPixels[y * kWidth + x] & 0x00FFFFFF;
        return RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr));
    }

    bool Holds(COLORREF color) const
    {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (At(x, y) == color)
                    return true;
        return false;
    }

    // Whether every pixel of the top edge has the colour.
    bool TopEdgeIs(COLORREF color) const
    {
        for (int x = 0; x < kWidth; ++x)
            if (At(x, 0) != color)
                return false;
        return true;
    }

private:
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld;
    DWORD* m_pPixels = nullptr;
};

void Draw(ComboItem& item, Canvas& canvas, UINT nItem, UINT nState, UINT nControl = IDC_COLOR_LIST)
{
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_COMBOBOX;
    draw.CtlID = nControl;
    draw.itemID = nItem;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = nState;
    draw.hDC = canvas.DC();
    draw.rcItem = {0, 0, kWidth, kHeight};
    draw.itemData = nItem < 2 ? kColors[nItem] : 0;
    item.OnMessage(nullptr, WM_DRAWITEM, nControl, reinterpret_cast<LPARAM>(&draw));
}

TEST(ComboDrawing, EntryColoursByState)
{
    struct Case {
        const char* pszName;
        UINT nState;
        COLORREF back;
        int nTextColor;
        bool bFocus;
    };
    COLORREF inverted = ~kColors[1] & 0x00FFFFFF;
    COLORREF disabled = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
    const Case cases[] = {
        {"plain", 0, kColors[1], COLOR_WINDOWTEXT, false},
        {"selected", ODS_SELECTED, inverted, COLOR_HIGHLIGHTTEXT, false},
        {"selected with the focus", ODS_SELECTED | ODS_FOCUS, inverted, COLOR_HIGHLIGHTTEXT, true},
        {"disabled", ODS_DISABLED, disabled, COLOR_INACTIVECAPTION, false},
        {"grayed and selected", ODS_GRAYED | ODS_SELECTED, disabled, COLOR_INACTIVECAPTION, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        int nIndex = 0;
        ComboItem item(IDC_COLOR_LIST, nullptr, &nIndex, 2, kEntries, kColors);
        Canvas canvas;
        SetTextColor(canvas.DC(), kUntouched);
        SetBkColor(canvas.DC(), kUntouched);
        Draw(item, canvas, 1, c.nState);
        // The right end of the entry holds no text.
        EXPECT_EQ(c.back, canvas.At(kWidth - 2, kHeight / 2));
        EXPECT_TRUE(canvas.Holds(GetSysColor(c.nTextColor)));
        // The focus rectangle's dots lie on the edge of the entry.
        EXPECT_EQ(!c.bFocus, canvas.TopEdgeIs(c.back));
        EXPECT_EQ(kUntouched, GetTextColor(canvas.DC()));
        EXPECT_EQ(kUntouched, GetBkColor(canvas.DC()));
    }
}

// Requests for no entry, for another control, or to an item without
// colours draw nothing.
TEST(ComboDrawing, OtherRequestsDrawNothing)
{
    int nIndex = 0;
    ComboItem colored(IDC_COLOR_LIST, nullptr, &nIndex, 2, kEntries, kColors);
    ComboItem plain(IDC_COLOR_LIST, nullptr, &nIndex, 2, kEntries, nullptr);
    struct Case {
        const char* pszName;
        ComboItem* pItem;
        UINT nItem;
        UINT nControl;
    };
    const Case cases[] = {
        {"no entry", &colored, static_cast<UINT>(-1), IDC_COLOR_LIST},
        {"another control", &colored, 0, IDC_LIST},
        {"no colours", &plain, 0, IDC_COLOR_LIST},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        Canvas canvas;
        Draw(*c.pItem, canvas, c.nItem, ODS_SELECTED | ODS_FOCUS, c.nControl);
        EXPECT_TRUE(canvas.TopEdgeIs(kUntouched));
        EXPECT_EQ(kUntouched, canvas.At(kWidth / 2, kHeight / 2));
    }
}

// On a real owner-drawn list each entry carries its colour, and the list
// opens on the stored index.
TEST(ComboDrawing, EntriesCarryTheirColours)
{
    int nIndex = 1;
    ItemDialog dialog;
    dialog.Add(new ComboItem(IDC_COLOR_LIST, nullptr, &nIndex, 2, kEntries, kColors));
    std::vector<LRESULT> data;
    int nShown = -2;
    RunDialog(dialog, [&](DialogUser& user) {
        data = {user.ComboItemData(IDC_COLOR_LIST, 0), user.ComboItemData(IDC_COLOR_LIST, 1)};
        nShown = user.ComboSelection(IDC_COLOR_LIST);
        user.PressEscape();
    });
    EXPECT_EQ((std::vector<LRESULT>{LRESULT(kColors[0]), LRESULT(kColors[1])}), data);
    EXPECT_EQ(1, nShown);
}

} // namespace
