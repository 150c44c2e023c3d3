// tests/item_dialog_test.cpp: the dialog toolkit without a window; on real
// dialogs in tests/dialog/.
#include "dialog/ItemDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::vector<std::string> g_events;

// Records its destruction and what reaches it while a dialog runs.
class ProbeGroup : public ItemGroup
{
public:
    ProbeGroup(const char* pszName, int* pbChecked) : ItemGroup(1, pbChecked), m_name(pszName) {}
    ~ProbeGroup() override { g_events.push_back("~" + m_name); }
    void InitControl(HWND) override { g_events.push_back("init " + m_name); }
    void OnCommand(HWND, int, int) override { g_events.push_back("command " + m_name); }
    void OnMessage(HWND, UINT, WPARAM, LPARAM) override { g_events.push_back("message " + m_name); }

private:
    std::string m_name;
};

// The last added goes first; a group's members go with it, after it.
TEST(ItemDialog, DestroysEveryItemLastAddedFirst)
{
    g_events.clear();
    int b = 0;
    {
        ItemDialog dialog;
        dialog.Add(new ProbeGroup("first", &b))
            .Add(&(new ProbeGroup("group", &b))
                      ->Add(new ProbeGroup("member", &b))
                      .Add(&(new ProbeGroup("inner", &b))->Add(new ProbeGroup("inner member", &b))))
            .Add(new ProbeGroup("last", &b));
    }
    EXPECT_EQ((std::vector<std::string>{"~last", "~group", "~inner", "~inner member", "~member", "~first"}),
              g_events);
}

// No template of that id, or on Linux no dialog at all: the platform's
// failure, the items see nothing, the help context around stays.
TEST(ItemDialog, DialogThatCannotBeMadeReturnsThePlatformsFailure)
{
    g_events.clear();
    int b = 0;
    ItemDialog dialog;
    dialog.Add(new ProbeGroup("item", &b));
    g_nHelpContext = 4546;
#if defined(_WIN32)
    EXPECT_EQ(-1, dialog.DoModal(nullptr, GetModuleHandleW(nullptr), 300));
#else
    EXPECT_EQ(-1, dialog.DoModal(nullptr, nullptr, 300));
#endif
    EXPECT_EQ(4546, g_nHelpContext);
    EXPECT_TRUE(g_events.empty());
    g_nHelpContext = 0;
}

} // namespace
