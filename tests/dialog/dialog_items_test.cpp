// tests/dialog/dialog_items_test.cpp: items and the runner on a real dialog:
// what the user sees, and what reaches the values on OK and on Cancel.
#include "dialog_fixture.h"

#include <vector>

namespace
{

using Enabled = std::vector<bool>;

TEST(ItemGroups, MembersFollowTheirRadioButtonInTheSameClick)
{
    int bA = 1, bB = 0, bC = 0;
    WCHAR szEdit[16] = L"";
    int nIndex = 0;
    const WCHAR* entries[] = {L"x"};
    ItemDialog dialog;
    dialog.Add(&(new ItemGroup(IDC_RADIO_A, &bA))->Add(new EditItem(IDC_EDIT_1, szEdit, 16)));
    dialog.Add(&(new ItemGroup(IDC_RADIO_B, &bB))
                    ->Add(new ComboItem(IDC_LIST, nullptr, &nIndex, 1, entries, nullptr)));
    dialog.Add(new ItemGroup(IDC_RADIO_C, &bC));
    std::vector<Enabled> seen;
    // The click on B unchecks A without a command of A's: A's group must
    // still disable its member while the click is handled.
    int nResult = RunDialog(dialog, [&](DialogUser& user) {
        auto look = [&] { seen.push_back({user.IsEnabled(IDC_EDIT_1), user.IsEnabled(IDC_LIST)}); };
        look();
        user.Click(IDC_RADIO_B);
        look();
        user.Click(IDC_RADIO_C);
        look();
        user.Click(IDC_RADIO_A);
        look();
        user.PressEnter();
    });
    EXPECT_EQ(IDOK, nResult);
    EXPECT_EQ((std::vector<Enabled>{{true, false}, {false, true}, {false, false}, {true, false}}), seen);
    EXPECT_EQ(1, bA);
    EXPECT_EQ(0, bB);
    EXPECT_EQ(0, bC);
}

// While the outer button is unchecked, the inner group is disabled whatever
// its own button shows, and the inner button keeps its check mark.
TEST(ItemGroups, NestedGroupsFollowBothButtons)
{
    int bOuter = 1, bInner = 1;
    WCHAR szEdit[16] = L"";
    ItemDialog dialog;
    auto* pInner = new ItemGroup(IDC_CHECK_2, &bInner);
    pInner->Add(new EditItem(IDC_EDIT_1, szEdit, 16));
    dialog.Add(&(new ItemGroup(IDC_CHECK_1, &bOuter))->Add(pInner));
    // Each look: the inner button enabled, the inner button checked, the
    // inner member enabled.
    std::vector<Enabled> seen;
    RunDialog(dialog, [&](DialogUser& user) {
        auto look = [&] {
            seen.push_back(
                {user.IsEnabled(IDC_CHECK_2), user.IsChecked(IDC_CHECK_2), user.IsEnabled(IDC_EDIT_1)});
        };
        look();
        user.Click(IDC_CHECK_1); // outer off
        look();
        user.Click(IDC_CHECK_1); // outer on: the inner button still checked
        look();
        user.Click(IDC_CHECK_2); // inner off
        look();
        user.Click(IDC_CHECK_1); // outer off
        user.Click(IDC_CHECK_1); // outer on: the inner button unchecked
        look();
        user.PressEnter();
    });
    EXPECT_EQ((std::vector<Enabled>{{true, true, true},
                                    {false, true, false},
                                    {true, true, true},
                                    {true, false, false},
                                    {true, false, false}}),
              seen);
    EXPECT_EQ(1, bOuter);
    EXPECT_EQ(0, bInner);
}

ItemGroup* g_pSwitched = nullptr;
void DisableGroup(HWND hDlg)
{
    g_pSwitched->EnableControl(hDlg, FALSE);
}
void EnableGroup(HWND hDlg)
{
    g_pSwitched->EnableControl(hDlg, TRUE);
}

// Disabling a group disables its button and members whatever the button
// shows; enabling it enables the members only when the button is checked.
TEST(ItemGroups, EnableControlFalseThenTrue)
{
    for (int bChecked : {1, 0}) {
        SCOPED_TRACE(bChecked);
        WCHAR szEdit[16] = L"";
        ItemDialog dialog;
        g_pSwitched = new ItemGroup(IDC_CHECK_1, &bChecked);
        g_pSwitched->Add(new EditItem(IDC_EDIT_1, szEdit, 16));
        dialog.Add(g_pSwitched);
        dialog.Add(new ButtonItem(IDC_BUTTON_1, DisableGroup));
        dialog.Add(new ButtonItem(IDC_BUTTON_2, EnableGroup));
        std::vector<Enabled> seen;
        RunDialog(dialog, [&](DialogUser& user) {
            user.Click(IDC_BUTTON_1);
            seen.push_back({user.IsEnabled(IDC_CHECK_1), user.IsEnabled(IDC_EDIT_1)});
            user.Click(IDC_BUTTON_2);
            seen.push_back({user.IsEnabled(IDC_CHECK_1), user.IsEnabled(IDC_EDIT_1)});
            user.PressEscape();
        });
        bool bMember = bChecked != 0;
        EXPECT_EQ((std::vector<Enabled>{{false, false}, {true, bMember}}), seen);
    }
}

// The values one run of the dialog leaves, for each way of ending it.
struct Values {
    WCHAR szEdit[16] = L"before";
    WCHAR szText[16] = L"before";
    int bPlain = 0;
    int bNotified = 0;
    int nNotified = 0;
};
Values* g_pValues = nullptr;
void CountNotification(HWND)
{
    ++g_pValues->nNotified;
}

void AddValueItems(ItemDialog& dialog, Values& values)
{
    g_pValues = &values;
    dialog.Add(
        &(new ItemGroup(IDC_CHECK_1, &values.bPlain))->Add(new EditItem(IDC_EDIT_1, values.szEdit, 16)));
    dialog.Add(new ItemGroup(IDC_CHECK_2, &values.bNotified, TRUE, CountNotification));
    dialog.Add(new TextItem(IDC_EDIT_2, values.szText, 16));
}

// Typing into the edit and leaving the text field, then unchecking the
// group: its member is disabled when the dialog ends.
void EditEverything(DialogUser& user)
{
    user.Click(IDC_CHECK_1);
    user.Type(IDC_EDIT_1, L"typed");
    user.Click(IDC_CHECK_1);
    user.Type(IDC_EDIT_2, L"left");
    user.FocusOn(IDC_EDIT_3);
    user.Click(IDC_CHECK_2);
}

TEST(ItemDialogRun, OkReadsEveryItemAndCancelReadsNothing)
{
    struct Ending {
        const char* pszName;
        void (*pfnEnd)(DialogUser&);
        int nResult;
    };
    const Ending endings[] = {
        {"Enter", [](DialogUser& user) { user.PressEnter(); }, IDOK},
        {"OK button", [](DialogUser& user) { user.ClickToClose(IDOK); }, IDOK},
        {"Escape", [](DialogUser& user) { user.PressEscape(); }, IDCANCEL},
        {"Cancel button", [](DialogUser& user) { user.ClickToClose(IDCANCEL); }, IDCANCEL},
        {"close box", [](DialogUser& user) { user.CloseBox(); }, IDCANCEL},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.pszName);
        Values values;
        ItemDialog dialog;
        AddValueItems(dialog, values);
        int nResult = RunDialog(dialog, [&](DialogUser& user) {
            EditEverything(user);
            ending.pfnEnd(user);
        });
        EXPECT_EQ(ending.nResult, nResult);
        bool bOk = ending.nResult == IDOK;
        // The disabled edit is read on OK all the same.
        EXPECT_EQ(bOk ? L"typed" : L"before", std::wstring(values.szEdit));
        EXPECT_EQ(0, values.bPlain);
        // Stored before the dialog ended: on focus loss, and by the group
        // with a callback as its button turned checked.
        EXPECT_EQ(L"left", std::wstring(values.szText));
        EXPECT_EQ(1, values.bNotified);
        EXPECT_EQ(1, values.nNotified);
    }
}

TEST(ItemDialogRun, SecondRunOpensWithWhatTheFirstOkStored)
{
    Values values;
    ItemDialog dialog;
    AddValueItems(dialog, values);
    EXPECT_EQ(IDOK, RunDialog(dialog, [](DialogUser& user) {
                  user.Click(IDC_CHECK_1);
                  user.Type(IDC_EDIT_1, L"first");
                  user.PressEnter();
              }));
    std::wstring shown;
    bool bChecked = false, bEnabled = false;
    EXPECT_EQ(IDCANCEL, RunDialog(dialog, [&](DialogUser& user) {
                  shown = user.Text(IDC_EDIT_1);
                  bChecked = user.IsChecked(IDC_CHECK_1);
                  bEnabled = user.IsEnabled(IDC_EDIT_1);
                  user.PressEscape();
              }));
    EXPECT_EQ(L"first", shown);
    EXPECT_TRUE(bChecked);
    EXPECT_TRUE(bEnabled);
}

// A text longer than the capacity: the edit's is cut on OK, the text item's
// as soon as the focus leaves it, and the field then shows the cut text.
TEST(TextItems, LongerTextIsCutToTheCapacity)
{
    WCHAR szEdit[6] = L"";
    WCHAR szText[6] = L"";
    ItemDialog dialog;
    dialog.Add(new EditItem(IDC_EDIT_1, szEdit, 6));
    dialog.Add(new TextItem(IDC_EDIT_2, szText, 6));
    std::wstring editShown, textShown;
    RunDialog(dialog, [&](DialogUser& user) {
        user.Type(IDC_EDIT_1, L"abcdefgh");
        user.Type(IDC_EDIT_2, L"ABCDEFGH");
        user.FocusOn(IDC_EDIT_1);
        editShown = user.Text(IDC_EDIT_1);
        textShown = user.Text(IDC_EDIT_2);
        user.PressEnter();
    });
    EXPECT_EQ(L"abcdefgh", editShown);
    EXPECT_EQ(L"ABCDE", textShown);
    EXPECT_EQ(L"abcde", std::wstring(szEdit));
    EXPECT_EQ(L"ABCDE", std::wstring(szText));
}

TEST(ComboItems, OpensOnTheEntryOfIndexOrTextAndStoresTheSelection)
{
    const WCHAR* entries[] = {L"Gamma", L"alpha", L"Beta", L"Bet"};
    struct Case {
        const char* pszName;
        int nCount;
        int nIndex;
        const WCHAR* pszText;
        int nShown; // the selection when the dialog opens, and the index OK stores
        const WCHAR* pszStored;
    };
    const Case cases[] = {
        {"index of an entry", 4, 2, L"Gamma", 2, L"Beta"},
        {"index at the count", 4, 4, L"", 0, L"Gamma"},
        {"index above the count", 4, 9, L"", 0, L"Gamma"},
        {"no entries", 0, 0, L"kept", -1, L"kept"},
        {"prefix in another case", 4, -1, L"BE", 2, L"Beta"},
        {"whole text in another case", 4, -1, L"ALPHA", 1, L"alpha"},
        {"text that begins no entry", 4, -1, L"Delta", -1, L"Delta"},
        {"empty text", 4, -1, L"", -1, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        WCHAR szText[16];
        wcscpy(szText, c.pszText);
        int nIndex = c.nIndex;
        ItemDialog dialog;
        dialog.Add(new ComboItem(IDC_LIST, szText, &nIndex, c.nCount, entries, nullptr));
        std::vector<std::wstring> shown;
        int nShown = -2;
        RunDialog(dialog, [&](DialogUser& user) {
            shown = user.ComboEntries(IDC_LIST);
            nShown = user.ComboSelection(IDC_LIST);
            user.PressEnter();
        });
        EXPECT_EQ(std::vector<std::wstring>(entries, entries + c.nCount), shown);
        EXPECT_EQ(c.nShown, nShown);
        EXPECT_EQ(c.nShown, nIndex);
        EXPECT_EQ(std::wstring(c.pszStored), std::wstring(szText));
    }
}

struct Calls {
    int nPlain = 0;
    int nBound = 0;
};
Calls g_calls;
void PlainCallback(HWND)
{
    ++g_calls.nPlain;
}
class Target : public ItemTarget
{
public:
    void Bound(HWND) { ++g_calls.nBound; }
};
const PfnItemMethod kBound = static_cast<PfnItemMethod>(&Target::Bound);

// A push button prefers its plain callback, a group its bound one; a bound
// callback counts only with both its method and its object.
TEST(Callbacks, PlainAgainstBound)
{
    Target target;
    struct Case {
        const char* pszName;
        bool bGroup;
        PfnDialogCallback pfnPlain;
        PfnItemMethod pfnMethod;
        ItemTarget* pObject;
        int nPlain, nBound;
    };
    const Case cases[] = {
        {"button, both", false, PlainCallback, kBound, &target, 1, 0},
        {"button, bound", false, nullptr, kBound, &target, 0, 1},
        {"button, method without object", false, nullptr, kBound, nullptr, 0, 0},
        {"button, object without method", false, nullptr, nullptr, &target, 0, 0},
        {"group, both", true, PlainCallback, kBound, &target, 0, 1},
        {"group, plain", true, PlainCallback, nullptr, nullptr, 1, 0},
        {"group, plain and object without method", true, PlainCallback, nullptr, &target, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        g_calls = Calls();
        int bChecked = 0;
        ItemDialog dialog;
        if (c.bGroup)
            dialog.Add(
                new ItemGroup(IDC_CHECK_1, &bChecked, TRUE, c.pfnPlain, FALSE, c.pfnMethod, c.pObject));
        else
            dialog.Add(new ButtonItem(IDC_BUTTON_1, c.pfnPlain, nullptr, c.pfnMethod, c.pObject));
        RunDialog(dialog, [&](DialogUser& user) {
            user.Click(c.bGroup ? IDC_CHECK_1 : IDC_BUTTON_1);
            user.PressEscape();
        });
        EXPECT_EQ(c.nPlain, g_calls.nPlain);
        EXPECT_EQ(c.nBound, g_calls.nBound);
    }
}

// Without notify-always a group calls back only as its button turns
// checked; its stored state follows the button either way.
TEST(Callbacks, GroupNotifiesOnCheckingOrOnEveryClick)
{
    for (BOOL bNotifyAlways : {FALSE, TRUE}) {
        SCOPED_TRACE(bNotifyAlways);
        g_calls = Calls();
        int bChecked = 0;
        ItemDialog dialog;
        dialog.Add(new ItemGroup(IDC_CHECK_1, &bChecked, TRUE, PlainCallback, bNotifyAlways));
        std::vector<int> stored;
        RunDialog(dialog, [&](DialogUser& user) {
            for (int i = 0; i < 3; ++i) {
                user.Click(IDC_CHECK_1);
                stored.push_back(bChecked);
            }
            user.PressEscape();
        });
        EXPECT_EQ(bNotifyAlways ? 3 : 2, g_calls.nPlain);
        EXPECT_EQ((std::vector<int>{1, 0, 1}), stored);
    }
}

BOOL IsFirstBoxChecked(HWND hDlg)
{
    return IsDlgButtonChecked(hDlg, IDC_CHECK_1) == BST_CHECKED;
}

// The predicate runs when the dialog opens and after every command, also
// of controls that no item is bound to.
TEST(Callbacks, EnablePredicateAfterEveryCommand)
{
    ItemDialog dialog;
    dialog.Add(new ButtonItem(IDC_BUTTON_1, nullptr, IsFirstBoxChecked));
    Enabled seen;
    RunDialog(dialog, [&](DialogUser& user) {
        seen.push_back(user.IsEnabled(IDC_BUTTON_1));
        user.Click(IDC_CHECK_1);
        seen.push_back(user.IsEnabled(IDC_BUTTON_1));
        user.Click(IDC_CHECK_1);
        seen.push_back(user.IsEnabled(IDC_BUTTON_1));
        user.PressEscape();
    });
    EXPECT_EQ((Enabled{false, true, false}), seen);
}

int g_nBoxAnswer = 0;
void AskUser(HWND hDlg)
{
    g_nBoxAnswer = MessageBoxW(hDlg, L"Go on?", L"Items", MB_OKCANCEL | MB_ICONERROR);
}

// A callback may run a modal loop of its own; the dialog goes on after it.
TEST(Callbacks, MessageBoxFromAClick)
{
    WCHAR szEdit[16] = L"";
    ItemDialog dialog;
    dialog.Add(new ButtonItem(IDC_BUTTON_1, AskUser));
    dialog.Add(new EditItem(IDC_EDIT_1, szEdit, 16));
    std::wstring asked;
    int nResult = RunDialog(dialog, [&](DialogUser& user) {
        user.ClickToOpen(IDC_BUTTON_1);
        asked = user.AnswerMessageBox(IDCANCEL);
        user.Type(IDC_EDIT_1, L"after");
        user.PressEnter();
    });
    EXPECT_EQ(IDOK, nResult);
    EXPECT_EQ(L"Go on?", asked);
    EXPECT_EQ(IDCANCEL, g_nBoxAnswer);
    EXPECT_EQ(L"after", std::wstring(szEdit));
}

} // namespace
