// The menus over the program list, driven with real keys and clicks: the Edit popup of the menu
// bar, whose items follow the selection, and the list's context menu. Menus cannot be read from
// another process, so what an item's state means is observed through what choosing it does.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/e2e/kestrune_session.h"

using namespace e2e;

namespace {

class ListMenusTest : public KestruneSession {
public:
    void StorePrograms(const std::vector<std::wstring>& names)
    {
        for (const std::wstring& name : names)
            reg64::CreateKey(ProgramKeyPath(name));
    }

    // Opens the Edit popup of the menu bar with Alt, then E, and chooses an item by its mnemonic.
    // (Alt+E together belongs to the dialog: it is the mnemonic of the ACL check box.)
    void ChooseFromEditMenu(UINT mnemonic) { ChooseFromMenuBar('E', mnemonic); }

    // Right-clicks the row (or, with -1, the empty area below the rows) and waits for the popup.
    void OpenContextMenu(int row)
    {
        RemoteListView list(::GetDlgItem(Main(), IDC_LIST_PROGRAMS));
        POINT point = {};
        if (row >= 0) {
            RECT rect = {};
            ASSERT_TRUE(list.RowRect(row, rect));
            point = {rect.left + NextClickOffset(), (rect.top + rect.bottom) / 2};
        } else {
            RECT rect = {};
            ASSERT_TRUE(::GetWindowRect(::GetDlgItem(Main(), IDC_LIST_PROGRAMS), &rect));
            point = {rect.left + NextClickOffset(), rect.bottom - 15};
        }
        ASSERT_TRUE(BringToForeground(Main()));
        ASSERT_TRUE(EnterWindowAndSettle(Main(), point)) << "the program did not take the pointer";
        ASSERT_TRUE(RightClickAt(point));
        ASSERT_TRUE(WaitUntil([&] { return FindPopupMenu(Pid()) != nullptr; }, WINDOW_APPEARS_MS))
            << "a right click opened no popup menu";
    }

    // Two right clicks in quick succession on the same spot are a double click, which opens no
    // menu; every click goes a little further to the right.
    int NextClickOffset()
    {
        m_clicks = (m_clicks + 1) % 16;
        return 20 + 12 * m_clicks;
    }

    // After the mnemonic of a grayed item: the key has been handled once the program has left
    // the menu, and nothing else may have opened.
    void ExpectNothingOpened()
    {
        EXPECT_TRUE(WaitUntil([&] { return !IsInMenuMode(Main()) && !FindPopupMenu(Pid()); }, 3000))
            << "the menu did not close";
        EXPECT_EQ(nullptr, FindDialog(Pid(), EDIT_CAPTION));
        EXPECT_EQ(nullptr, FindDialog(Pid(), ADD_CAPTION));
        EXPECT_FALSE(FindMessageBox(Pid()));
        EXPECT_TRUE(m_program.IsRunning());
    }

    void CancelDialog(HWND dialog)
    {
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(PressButton(dialog, IDCANCEL));
        WaitUntilGone(dialog);
    }

private:
    int m_clicks = 0;
};

} // namespace

TEST_F(ListMenusTest, TheEditPopupOffersEditOnlyForOneRowAndDeleteForAnySelection)
{
    StorePrograms({L"a.exe", L"b.exe", L"c.exe"});
    ASSERT_NO_FATAL_FAILURE(Launch());

    // Two rows: Edit is grayed, so its mnemonic chooses nothing; Delete asks about both rows.
    SelectRows({0, 2});
    ASSERT_NO_FATAL_FAILURE(ChooseFromEditMenu('E'));
    ExpectNothingOpened();

    ASSERT_NO_FATAL_FAILURE(ChooseFromEditMenu('D'));
    MessageBoxInfo box = ExpectMessageBox(L"Do you want to remove 2 selected programs from the list?");
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDCANCEL));

    // One row: Edit opens that row's entry.
    SelectRows({1});
    ASSERT_NO_FATAL_FAILURE(ChooseFromEditMenu('E'));
    HWND edit = WaitForDialog(Pid(), EDIT_CAPTION);
    ASSERT_NE(nullptr, edit) << "the Edit item of one selected row opened nothing";
    EXPECT_EQ(L"b.exe", ControlText(edit, IDC_EDIT_PROCESS_NAME));
    ASSERT_NO_FATAL_FAILURE(CancelDialog(edit));

    // No row: Delete is grayed, Add is always there.
    SelectRows({});
    ASSERT_NO_FATAL_FAILURE(ChooseFromEditMenu('D'));
    ExpectNothingOpened();
    ASSERT_NO_FATAL_FAILURE(ChooseFromEditMenu('A'));
    ASSERT_NO_FATAL_FAILURE(CancelDialog(WaitForDialog(Pid(), ADD_CAPTION)));

    EXPECT_EQ(3u, RowNames().size());
    CloseExpectingNoQuestion();
}

TEST_F(ListMenusTest, TheContextMenuOfARowSelectsAllEditsAndDeletes)
{
    StorePrograms({L"a.exe", L"b.exe", L"c.exe"});
    ASSERT_NO_FATAL_FAILURE(Launch());

    // A right click on a row selects it; "&Select All" then selects every row.
    ASSERT_NO_FATAL_FAILURE(OpenContextMenu(1));
    EXPECT_EQ(std::vector<int>{1}, SelectedRows());
    ASSERT_TRUE(TypeChord({'S'}));
    ASSERT_TRUE(WaitUntil([&] { return SelectedRows() == std::vector<int>({0, 1, 2}); }, 3000))
        << "Select All did not select every row";
    EXPECT_EQ(nullptr, FindPopupMenu(Pid()));
    // The buttons follow after the selection timer; a grayed Edit alone may still be the state
    // from before the right click, when no row was selected.
    EXPECT_TRUE(WaitUntil([&] {
        return !IsControlEnabled(Main(), IDC_BTN_EDIT_PROGRAM) && IsControlEnabled(Main(), IDC_BTN_DELETE_PROGRAM);
    }, 3000)) << "the list buttons did not follow the selection of every row";

    // Escape dismisses the menu and changes nothing.
    ASSERT_NO_FATAL_FAILURE(OpenContextMenu(2));
    ASSERT_TRUE(TypeChord({VK_ESCAPE}));
    ASSERT_TRUE(WaitUntil([&] { return FindPopupMenu(Pid()) == nullptr; }, 3000));
    EXPECT_EQ(3u, RowNames().size());

    // A right click on a selected row keeps the selection: with all rows selected, the default
    // item "&Edit Program..." chooses nothing.
    ASSERT_NO_FATAL_FAILURE(OpenContextMenu(2));
    EXPECT_EQ(std::vector<int>({0, 1, 2}), SelectedRows());
    ASSERT_TRUE(TypeChord({'E'}));
    ExpectNothingOpened();

    // On a single row the default item, reached by arrow key and Enter, edits it.
    SelectRows({2});
    ASSERT_NO_FATAL_FAILURE(OpenContextMenu(2));
    ASSERT_TRUE(TypeChord({VK_DOWN}));
    ASSERT_TRUE(TypeChord({VK_RETURN}));
    const HWND edit = WaitForDialog(Pid(), EDIT_CAPTION);
    ASSERT_NE(nullptr, edit) << "the first item of the context menu did not edit the row";
    EXPECT_EQ(L"c.exe", ControlText(edit, IDC_EDIT_PROCESS_NAME));
    ASSERT_NO_FATAL_FAILURE(CancelDialog(edit));

    // "&Delete Program(s)..." by its mnemonic asks about the row.
    ASSERT_NO_FATAL_FAILURE(OpenContextMenu(0));
    ASSERT_TRUE(TypeChord({'D'}));
    const MessageBoxInfo box =
        ExpectMessageBox(L"Do you want to remove the following program from the list?\n\na.exe");
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDYES));
    EXPECT_EQ((std::vector<std::wstring>{L"b.exe", L"c.exe"}), RowNames());

    ASSERT_NO_FATAL_FAILURE(Answer(CloseExpectingQuestion(), IDYES));
    EXPECT_TRUE(m_program.WaitForExit());
}

TEST_F(ListMenusTest, TheContextMenuWithoutASelectedRowOffersOnlyAddAndSelectAll)
{
    StorePrograms({L"a.exe"});
    ASSERT_NO_FATAL_FAILURE(Launch());
    SelectRows({});

    // Below the rows: nothing is selected, so Edit and Delete choose nothing.
    for (UINT mnemonic : {'E', 'D'}) {
        ASSERT_NO_FATAL_FAILURE(OpenContextMenu(-1));
        ASSERT_TRUE(SelectedRows().empty());
        ASSERT_TRUE(TypeChord({mnemonic}));
        ExpectNothingOpened();
    }

    ASSERT_NO_FATAL_FAILURE(OpenContextMenu(-1));
    ASSERT_TRUE(TypeChord({'A'}));
    const HWND add = WaitForDialog(Pid(), ADD_CAPTION);
    ASSERT_NE(nullptr, add) << "Add from the context menu opened nothing";
    ASSERT_NO_FATAL_FAILURE(FillAndConfirm(add, {L"z.exe", L"", -1, L""}));
    WaitUntilGone(add);
    EXPECT_EQ((std::vector<std::wstring>{L"a.exe", L"z.exe"}), RowNames());

    ASSERT_NO_FATAL_FAILURE(OpenContextMenu(-1));
    ASSERT_TRUE(TypeChord({'S'}));
    EXPECT_TRUE(WaitUntil([&] { return SelectedRows() == std::vector<int>({0, 1}); }, 3000));

    ASSERT_NO_FATAL_FAILURE(Answer(CloseExpectingQuestion(), IDYES));
    EXPECT_TRUE(m_program.WaitForExit());
}
