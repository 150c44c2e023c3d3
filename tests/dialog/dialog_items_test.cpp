// tests/dialog/dialog_items_test.cpp: the items and the runner on real
// dialogs, and the colour entries drawn into a bitmap.
#include "dialog_fixture.h"

#include <set>
#include <vector>

namespace
{

int g_nPlain = 0, g_nBound = 0;
void PlainCallback(HWND)
{
    ++g_nPlain;
}
class Target : public ItemTarget
{
public:
    void Bound(HWND) { ++g_nBound; }
};
const PfnItemMethod kBound = static_cast<PfnItemMethod>(&Target::Bound);

BOOL IsFirstBoxChecked(HWND hDlg)
{
    return IsDlgButtonChecked(hDlg, IDC_CHECK_1) == BST_CHECKED;
}

// Disables the outer group, then enables it, noting at once whether its
// button and the inner member are enabled.
ItemGroup* g_pSwitched = nullptr;
std::string g_switched;
void SwitchGroup(HWND hDlg)
{
    for (BOOL bEnable : {FALSE, TRUE}) {
        g_pSwitched->EnableControl(hDlg, bEnable);
        for (int nId : {IDC_CHECK_1, IDC_EDIT_2})
            g_switched += IsWindowEnabled(GetDlgItem(hDlg, nId)) ? "1" : "0";
    }
    g_switched += " ";
}

// Radio groups A (the first edit), B (the list) and C: the click on B clears
// A without a command of A's. Nested groups, outer 1 and inner 2 (the second
// edit): the inner one is disabled while the outer button is clear, keeps
// its check mark, and enables its member only as its own button says. The
// push button's predicate follows check box 1 after every command.
TEST(ItemGroups, MembersFollowTheirButtons)
{
    int bA = 1, bB = 0, bC = 0, bOuter = 1, bInner = 1, nIndex = 0;
    WCHAR szEdit[16] = L"", szInner[16] = L"";
    const WCHAR* entries[] = {L"x"};
    ItemDialog dialog;
    dialog.Add(&(new ItemGroup(IDC_RADIO_A, &bA))->Add(new EditItem(IDC_EDIT_1, szEdit, 16)));
    dialog.Add(&(new ItemGroup(IDC_RADIO_B, &bB))
                    ->Add(new ComboItem(IDC_LIST, nullptr, &nIndex, 1, entries, nullptr)));
    dialog.Add(new ItemGroup(IDC_RADIO_C, &bC));
    auto* pInner = new ItemGroup(IDC_CHECK_2, &bInner);
    pInner->Add(new EditItem(IDC_EDIT_2, szInner, 16));
    dialog.Add(g_pSwitched = &(new ItemGroup(IDC_CHECK_1, &bOuter))->Add(pInner));
    dialog.Add(new ButtonItem(IDC_BUTTON_1, SwitchGroup, IsFirstBoxChecked));
    g_switched.clear();
    std::string seen; // after each click: the first edit, the list | inner button, its edit | push button
    EXPECT_EQ(IDOK, RunDialog(dialog, [&](DialogUser& user) {
                  for (int nId : {0, IDC_RADIO_B, IDC_RADIO_C, IDC_RADIO_A, IDC_CHECK_1, IDC_CHECK_1,
                                  IDC_BUTTON_1, IDC_CHECK_2, IDC_CHECK_1, IDC_CHECK_1, IDC_BUTTON_1}) {
                      if (nId)
                          user.Click(nId);
                      seen +=
                          user.States({IDC_EDIT_1, IDC_LIST, 0, IDC_CHECK_2, IDC_EDIT_2, 0, IDC_BUTTON_1}) +
                          " ";
                  }
                  user.PressEnter();
              }));
    EXPECT_EQ("-.|C-|- .-|C-|- ..|C-|- -.|C-|- -.|c.|. -.|C-|- -.|C-|- -.|-.|- -.|..|. -.|-.|- -.|-.|- ",
              seen);
    EXPECT_EQ("0011 0010 ", g_switched);
    EXPECT_EQ((std::vector<int>{1, 0, 0, 1, 0}), (std::vector<int>{bA, bB, bC, bOuter, bInner}));
}

// OK (Enter, the OK button) reads every item, disabled ones too; Escape,
// the Cancel button and the close box read nothing. A text item and a group
// with a callback have stored already. Texts are cut to the capacity: the
// edit's on OK, the text item's as the focus leaves it, and it shows so.
TEST(ItemDialogRun, OkReadsEveryItemAndCancelReadsNothing)
{
    const struct {
        const char* pszName;
        void (DialogUser::*pfnEnd)(); // null: the button of the result
        int nResult;
    } endings[] = {
        {"Enter", &DialogUser::PressEnter, IDOK},       {"OK button", nullptr, IDOK},
        {"Escape", &DialogUser::PressEscape, IDCANCEL}, {"Cancel button", nullptr, IDCANCEL},
        {"close box", &DialogUser::CloseBox, IDCANCEL},
    };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.pszName);
        WCHAR szEdit[6] = L"old", szText[6] = L"old";
        int bPlain = 0, bNotified = 0;
        g_nPlain = 0;
        ItemDialog dialog;
        dialog.Add(&(new ItemGroup(IDC_CHECK_1, &bPlain))->Add(new EditItem(IDC_EDIT_1, szEdit, 6)));
        dialog.Add(new ItemGroup(IDC_CHECK_2, &bNotified, TRUE, PlainCallback));
        dialog.Add(new TextItem(IDC_EDIT_2, szText, 6));
        std::wstring shown;
        int nResult = RunDialog(dialog, [&](DialogUser& user) {
            user.Click(IDC_CHECK_1);
            user.Type(IDC_EDIT_1, L"typed on");
            user.Click(IDC_CHECK_1);
            user.Type(IDC_EDIT_2, L"left behind");
            user.FocusOn(IDC_EDIT_3);
            shown = user.Text(IDC_EDIT_1) + L"|" + user.Text(IDC_EDIT_2);
            user.Click(IDC_CHECK_2);
            if (ending.pfnEnd)
                (user.*ending.pfnEnd)();
            else
                user.ClickToClose(ending.nResult);
        });
        EXPECT_EQ(ending.nResult, nResult);
        EXPECT_EQ(L"typed on|left ", shown);
        EXPECT_EQ(ending.nResult == IDOK ? L"typed" : L"old", std::wstring(szEdit));
        EXPECT_EQ(L"left ", std::wstring(szText));
        EXPECT_EQ((std::vector<int>{0, 1, 1}), (std::vector<int>{bPlain, bNotified, g_nPlain}));
    }
}

const WCHAR* const kColorNames[] = {L"Red", L"Green"};
const COLORREF kColors[] = {RGB(200, 30, 40), RGB(20, 180, 60)};

// The list opens on the entry of the index, or with -1 on the first entry
// the text begins in any case; OK stores the selection and its text. The
// colour list's entries carry their colours.
TEST(ComboItems, OpensOnTheEntryOfIndexOrTextAndStoresTheSelection)
{
    const WCHAR* entries[] = {L"Gamma", L"alpha", L"Beta", L"Bet"};
    // What the list shows, its selection, and the index and text OK stores.
    const struct {
        const char* pszName;
        int nCount, nIndex;
        const WCHAR* pszText;
        const char* pszSeen;
    } cases[] = {
        {"index of an entry", 4, 2, L"Gamma", "Gamma,alpha,Beta,Bet, 2 2 Beta"},
        {"index at the count", 4, 4, L"", "Gamma,alpha,Beta,Bet, 0 0 Gamma"},
        {"index above the count", 4, 9, L"", "Gamma,alpha,Beta,Bet, 0 0 Gamma"},
        {"no entries", 0, 0, L"kept", " -1 -1 kept"},
        {"prefix in another case", 4, -1, L"BE", "Gamma,alpha,Beta,Bet, 2 2 Beta"},
        {"whole text in another case", 4, -1, L"ALPHA", "Gamma,alpha,Beta,Bet, 1 1 alpha"},
        {"text that begins no entry", 4, -1, L"Delta", "Gamma,alpha,Beta,Bet, -1 -1 Delta"},
        {"empty text", 4, -1, L"", "Gamma,alpha,Beta,Bet, -1 -1 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        WCHAR szText[16];
        wcscpy(szText, c.pszText);
        int nIndex = c.nIndex, nColor = 0;
        ItemDialog dialog;
        dialog.Add(new ComboItem(IDC_LIST, szText, &nIndex, c.nCount, entries, nullptr));
        dialog.Add(new ComboItem(IDC_COLOR_LIST, nullptr, &nColor, 2, kColorNames, kColors));
        std::wstring seen;
        std::vector<LRESULT> colors;
        RunDialog(dialog, [&](DialogUser& user) {
            for (const std::wstring& entry : user.ComboEntries(IDC_LIST))
                seen += entry + L",";
            seen += L" " + std::to_wstring(user.Send(IDC_LIST, CB_GETCURSEL));
            colors = {user.Send(IDC_COLOR_LIST, CB_GETITEMDATA, 0),
                      user.Send(IDC_COLOR_LIST, CB_GETITEMDATA, 1)};
            user.PressEnter();
        });
        EXPECT_EQ(c.pszSeen, Narrow(seen + L" " + std::to_wstring(nIndex) + L" " + szText));
        EXPECT_EQ((std::vector<LRESULT>{LRESULT(kColors[0]), LRESULT(kColors[1])}), colors);
    }
}

// A push button and a group with the same callbacks, each clicked three
// times. The button prefers the plain callback, the group the bound one; a
// bound callback needs both its parts. A group with a callback calls back
// as its button turns checked, or on every click, and stores its state as
// the button changes; one without stores it only on OK.
TEST(Callbacks, PlainAgainstBoundAndWhenGroupsCall)
{
    Target target;
    const struct {
        const char* pszName;
        PfnDialogCallback pfnPlain;
        PfnItemMethod pfnMethod;
        ItemTarget* pObject;
        BOOL bAlways;
        const char* pszCalls; // of the button | the group: plain and bound calls, the states stored
    } cases[] = {
        {"both", PlainCallback, kBound, &target, FALSE, "3 0 000|0 2 101|"},
        {"bound", nullptr, kBound, &target, FALSE, "0 3 000|0 2 101|"},
        {"method without object", nullptr, kBound, nullptr, FALSE, "0 0 000|0 0 000|"},
        {"object without method", nullptr, nullptr, &target, FALSE, "0 0 000|0 0 000|"},
        {"plain and object without method", PlainCallback, nullptr, &target, FALSE, "3 0 000|2 0 101|"},
        {"plain, every click", PlainCallback, nullptr, nullptr, TRUE, "3 0 000|3 0 101|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        int bChecked = 0;
        ItemDialog dialog;
        dialog.Add(new ButtonItem(IDC_BUTTON_1, c.pfnPlain, nullptr, c.pfnMethod, c.pObject));
        dialog.Add(
            new ItemGroup(IDC_CHECK_1, &bChecked, TRUE, c.pfnPlain, c.bAlways, c.pfnMethod, c.pObject));
        std::string calls;
        RunDialog(dialog, [&](DialogUser& user) {
            for (int nId : {IDC_BUTTON_1, IDC_CHECK_1}) {
                g_nPlain = g_nBound = 0;
                std::string stored;
                for (int i = 0; i < 3; ++i) {
                    user.Click(nId);
                    stored += std::to_string(bChecked);
                }
                calls += std::to_string(g_nPlain) + " " + std::to_string(g_nBound) + " " + stored + "|";
            }
            user.PressEscape();
        });
        EXPECT_EQ(c.pszCalls, calls);
    }
}

// An entry drawn into a bitmap and a device context that start in a colour
// no entry is drawn in: its colour as background, inverted when selected,
// the inactive caption's colours when disabled; the focus rectangle on the
// edge; the context's colours put back. Requests for no entry, another
// control or to an item without colours draw nothing.
TEST(ComboDrawing, EntryColoursByState)
{
    const int kWidth = 120, kHeight = 20;
    const COLORREF kUntouched = RGB(0x12, 0x34, 0x56);
    const COLORREF inverted = ~kColors[1] & 0xFFFFFF, disabled = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
    int nIndex = 0;
    ComboItem colored(IDC_COLOR_LIST, nullptr, &nIndex, 2, kColorNames, kColors);
    ComboItem plain(IDC_COLOR_LIST, nullptr, &nIndex, 2, kColorNames, nullptr);
    const UINT kAll = ODS_SELECTED | ODS_FOCUS;
    const struct {
        const char* pszName;
        ComboItem* pItem;
        UINT nEntry, nControl, nState;
        COLORREF back;
        int nText; // the system colour of the text, -1 when nothing is drawn
    } cases[] = {
        {"plain", &colored, 1, IDC_COLOR_LIST, 0, kColors[1], COLOR_WINDOWTEXT},
        {"selected with the focus", &colored, 1, IDC_COLOR_LIST, kAll, inverted, COLOR_HIGHLIGHTTEXT},
        {"disabled", &colored, 1, IDC_COLOR_LIST, ODS_DISABLED, disabled, COLOR_INACTIVECAPTION},
        {"grayed and selected", &colored, 1, IDC_COLOR_LIST, ODS_GRAYED | ODS_SELECTED, disabled,
         COLOR_INACTIVECAPTION},
        {"no entry", &colored, UINT(-1), IDC_COLOR_LIST, kAll, kUntouched, -1},
        {"another control", &colored, 1, IDC_LIST, kAll, kUntouched, -1},
        {"no colours", &plain, 1, IDC_COLOR_LIST, kAll, kUntouched, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        HDC hDC = CreateCompatibleDC(nullptr);
        HBITMAP hBitmap = CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
        SelectObject(hDC, hBitmap);
        SetTextColor(hDC, kUntouched);
        SetBkColor(hDC, kUntouched);
        DRAWITEMSTRUCT draw = {ODT_COMBOBOX, c.nControl, c.nEntry, ODA_DRAWENTIRE,
                               c.nState,     nullptr,    hDC,      {0, 0, kWidth, kHeight},
                               kColors[1]};
        ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &draw.rcItem, L"", 0, nullptr);
        c.pItem->OnMessage(nullptr, WM_DRAWITEM, c.nControl, reinterpret_cast<LPARAM>(&draw));
        std::set<COLORREF> colors, topEdge;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                (y == 0 ? topEdge : colors).insert(GetPixel(hDC, x, y));
        EXPECT_EQ(c.back, GetPixel(hDC, kWidth - 2, kHeight / 2)); // the right end holds no text
        if (c.nText < 0) {
            EXPECT_EQ((std::set<COLORREF>{kUntouched}), colors);
        } else {
            EXPECT_TRUE(colors.count(GetSysColor(c.nText)));
        }
        EXPECT_EQ((c.nState & ODS_FOCUS) && c.nText >= 0, topEdge != std::set<COLORREF>{c.back});
        EXPECT_EQ(kUntouched, GetTextColor(hDC));
        EXPECT_EQ(kUntouched, GetBkColor(hDC));
        DeleteDC(hDC);
        DeleteObject(hBitmap);
    }
}

} // namespace
