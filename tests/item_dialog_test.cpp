// tests/item_dialog_test.cpp: what the dialog toolkit does without a window:
// items destroyed with their dialog, and a dialog that cannot be made. The
// toolkit on real dialogs: tests/dialog/.
#include "dialog/ItemDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::vector<std::string> g_events;

// Records its destruction and every operation it is asked for.
class ProbeItem : public DialogItem
{
public:
    explicit ProbeItem(const char* pszName) : DialogItem(1), m_name(pszName) {}
    ~ProbeItem() override { g_events.push_back("~" + m_name); }
    void InitControl(HWND) override { g_events.push_back("init " + m_name); }
    void ReadControl(HWND) override { g_events.push_back("read " + m_name); }
    void OnCommand(HWND, int, int) override { g_events.push_back("command " + m_name); }
    void OnMessage(HWND, UINT, WPARAM, LPARAM) override { g_events.push_back("message " + m_name); }

private:
    std::string m_name;
};

class ProbeGroup : public ItemGroup
{
public:
    ProbeGroup(const char* pszName, int* pbChecked) : ItemGroup(2, pbChecked), m_name(pszName) {}
    ~ProbeGroup() override { g_events.push_back("~" + m_name); }

private:
    std::string m_name;
};

// The last added goes first; a group's members go with it, after it.
TEST(ItemDialog, DestroysEveryItemLastAddedFirst)
{
    g_events.clear();
    int bChecked = 0;
    {
        ItemDialog dialog;
        dialog.Add(new ProbeItem("first"))
            .Add(&(new ProbeGroup("group", &bChecked))
                      ->Add(new ProbeItem("member 1"))
                      .Add(&(new ProbeGroup("inner", &bChecked))->Add(new ProbeItem("inner member"))))
            .Add(new ProbeItem("last"));
    }
    EXPECT_EQ((std::vector<std::string>{"~last", "~group", "~inner", "~inner member", "~member 1", "~first"}),
              g_events);
}

// Windows has no template of that id here; Linux can make no dialog at all.
// Either way the platform's failure comes back, the items see nothing and
// the help context of the dialog around stays in force.
TEST(ItemDialog, DialogThatCannotBeMadeReturnsThePlatformsFailure)
{
    const int kNoTemplate = 300;
    g_events.clear();
    ItemDialog dialog;
    dialog.Add(new ProbeItem("item"));
    g_nHelpContext = 4546;
#if defined(_WIN32)
    HINSTANCE hModule = GetModuleHandleW(nullptr);
#else
    HINSTANCE hModule = nullptr;
#endif
    EXPECT_EQ(-1, dialog.DoModal(nullptr, hModule, kNoTemplate));
    EXPECT_EQ(4546, g_nHelpContext);
    EXPECT_TRUE(g_events.empty());
    g_nHelpContext = 0;
}

} // namespace
