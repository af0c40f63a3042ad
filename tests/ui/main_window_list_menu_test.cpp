// The program list's context menu: which items it offers for the selection, and that a chosen item
// is carried out.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

struct MenuSeen {
    bool shown = false;
    bool edit = false, add = false, remove = false, selectAll = false;
    UINT defaultItem = 0;
};

MenuSeen g_seen;
WPARAM g_keyToPress = 0;  // a mnemonic character, or 0 to dismiss the menu
UINT_PTR g_menuTimer = 0;
int g_ticksLeft = 0;

bool Enabled(HMENU menu, UINT id)
{
    return (::GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

// Runs inside the menu's own loop: reads the shown menu, then presses a key or dismisses it.
void CALLBACK InspectMenu(HWND, UINT, UINT_PTR, DWORD)
{
    const HWND menuWindow = ::FindWindowW(L"#32768", nullptr);
    if ((!menuWindow || !::IsWindowVisible(menuWindow)) && --g_ticksLeft > 0)
        return;
    ::KillTimer(nullptr, g_menuTimer);
    if (!menuWindow)
        return;
    const HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    g_seen.shown = menu != nullptr;
    g_seen.edit = Enabled(menu, ID_LIST_EDIT_PROGRAM);
    g_seen.add = Enabled(menu, ID_LIST_ADD_PROGRAM);
    g_seen.remove = Enabled(menu, ID_LIST_DELETE_PROGRAMS);
    g_seen.selectAll = Enabled(menu, ID_LIST_SELECT_ALL);
    g_seen.defaultItem = ::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED);
    if (g_keyToPress)
        ::PostMessageW(menuWindow, WM_CHAR, g_keyToPress, 0);
    else
        ::EndMenu();
}

MenuSeen ShowMenuAndPress(CMainWindowProbe& window, WPARAM key)
{
    g_seen = MenuSeen();
    g_keyToPress = key;
    g_ticksLeft = 100;
    g_menuTimer = ::SetTimer(nullptr, 0, 30, InspectMenu);
    RECT rect = {};
    ::GetWindowRect(window.ListWindow(), &rect);
    window.ShowListMenu({rect.left + 20, rect.top + 40});
    return g_seen;
}

} // namespace

TEST_F(MainWindowTest, ContextMenuOffersWhatTheSelectionAllows)
{
    struct Case {
        bool emptyList;
        std::vector<int> rows;
        bool edit, add, remove;
    };
    const Case cases[] = {
        {true, {}, false, true, false},
        {false, {}, false, true, false},
        {false, {0}, true, true, true},
        {false, {0, 1}, false, true, true},
    };
    for (const Case& c : cases) {
        if (!c.emptyList) {
            reg64::CreateKey(ProgramKeyPath(L"a.exe"));
            reg64::CreateKey(ProgramKeyPath(L"b.exe"));
        }
        CMainWindowProbe window;
        MenuSeen seen;
        window.steps = {[&](CMainWindowProbe& w) {
            SelectOnly(w.ListWindow(), c.rows);
            seen = ShowMenuAndPress(w, 0);
        }};
        EXPECT_EQ(window.Run(), PROBE_FINISHED);
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.edit, c.edit) << c.rows.size();
        EXPECT_EQ(seen.add, c.add) << c.rows.size();
        EXPECT_EQ(seen.remove, c.remove) << c.rows.size();
        EXPECT_TRUE(seen.selectAll);
        EXPECT_EQ(seen.defaultItem, static_cast<UINT>(ID_LIST_EDIT_PROGRAM));
        EXPECT_TRUE(window.boxes.empty());
    }
}

TEST_F(MainWindowTest, ContextMenuSelectAllAndDeleteAreCarriedOut)
{
    for (const wchar_t* name : {L"a.exe", L"b.exe", L"c.exe"})
        reg64::CreateKey(ProgramKeyPath(name));

    CMainWindowProbe window;
    window.answers = {IDYES};
    window.steps = {
        [](CMainWindowProbe& w) {
            SelectOnly(w.ListWindow(), {1});
            ShowMenuAndPress(w, L's');
            EXPECT_EQ(SelectedRows(w.ListWindow()), (std::vector<int>{0, 1, 2}));
        },
        [](CMainWindowProbe& w) {
            ShowMenuAndPress(w, L'd');
            ASSERT_EQ(w.boxes.size(), 1u);
            EXPECT_EQ(w.boxes[0].text, L"Do you want to remove 3 selected programs from the list?");
            EXPECT_EQ(RowCount(w.ListWindow()), 0);
            EXPECT_TRUE(w.Entries().empty());
        },
    };
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}
