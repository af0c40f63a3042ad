// The program list of the main window against the real registry of the test prefix: loading,
// row texts, the enabling of the list commands, add, edit, delete, the duplicate-name question and
// the context menu.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/ui/main_window_harness.h"
#include "ui/common/app_messages.h"

using namespace main_window_test;

namespace {

const wchar_t* const ADD_CAPTION = L"Add Crash Dump Settings For Specific Program";
const wchar_t* const EDIT_CAPTION = L"Edit Crash Dump Settings For Specific Program";
const UINT QUESTION_TYPE = MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2;

void StoreProgram(const std::wstring& name)
{
    reg64::CreateKey(ProgramKeyPath(name));
}

// Every row refers to the entry of its own name.
void ExpectRowsMatchEntries(CMainWindowProbe& window)
{
    const HWND list = window.ListWindow();
    ASSERT_EQ(static_cast<size_t>(RowCount(list)), window.Entries().size());
    for (int row = 0; row < RowCount(list); ++row) {
        const LPARAM data = RowData(list, row);
        ASSERT_GE(data, 0);
        ASSERT_LT(static_cast<size_t>(data), window.Entries().size());
        EXPECT_EQ(window.Entries()[static_cast<size_t>(data)].processName, CellText(list, row, 0)) << "row " << row;
    }
}

struct ButtonStates {
    bool add, remove, edit;
};

ButtonStates Buttons(HWND dialog)
{
    return {IsControlEnabled(dialog, IDC_BTN_ADD_PROGRAM), IsControlEnabled(dialog, IDC_BTN_DELETE_PROGRAM),
            IsControlEnabled(dialog, IDC_BTN_EDIT_PROGRAM)};
}

bool MenuItemEnabled(HMENU menu, UINT id)
{
    return (::GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

} // namespace

TEST_F(MainWindowTest, LoadingShowsEveryProgramKeyInNameOrderWithItsTexts)
{
    reg64::SetDword(ProgramKeyPath(L"zeta.exe"), VALUE_DUMP_TYPE, 2);
    reg64::SetString(ProgramKeyPath(L"zeta.exe"), VALUE_DUMP_FOLDER, L"D:\\Dumps\\%USERNAME%", REG_EXPAND_SZ);
    reg64::SetDword(ProgramKeyPath(L"alpha.exe"), VALUE_DUMP_TYPE, 5);
    reg64::SetDword(ProgramKeyPath(L"alpha.exe"), VALUE_DUMP_COUNT, 0);
    StoreProgram(L"mid.exe");
    reg64::SetDword(ProgramKeyPath(L"beta.exe"), VALUE_DUMP_TYPE, 1);
    reg64::SetDword(ProgramKeyPath(L"beta.exe"), VALUE_DUMP_COUNT, 3);

    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        const HWND list = w.ListWindow();
        const std::vector<std::vector<std::wstring>> expected = {
            {L"alpha.exe", L"<?>", L"0", L""},
            {L"beta.exe", L"Mini dump", L"3", L""},
            {L"mid.exe", L"", L"", L""},
            {L"zeta.exe", L"Full dump", L"", L"D:\\Dumps\\%USERNAME%"},
        };
        ASSERT_EQ(RowCount(list), 4);
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column)
                EXPECT_EQ(CellText(list, row, column), expected[row][column]) << row << "," << column;
        }
        ExpectRowsMatchEntries(w);
        // The entries keep the order in which the registry lists the keys.
        std::vector<std::wstring> entryNames;
        for (const ProgramEntry& entry : w.Entries())
            entryNames.push_back(entry.processName);
        EXPECT_EQ(entryNames, reg64::Subkeys(LOCALDUMPS_KEY_PATH));
        for (const ProgramEntry& entry : w.Entries()) {
            EXPECT_FALSE(entry.modified);
            EXPECT_FALSE(entry.settings.setAcl);
        }
        const ButtonStates buttons = Buttons(w.m_hWnd);
        EXPECT_TRUE(buttons.add);
        EXPECT_FALSE(buttons.remove);
        EXPECT_FALSE(buttons.edit);
        EXPECT_FALSE(w.HasUnsavedChanges());
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

TEST_F(MainWindowTest, ListCommandsFollowTheSelectionInButtonsAndEditMenu)
{
    for (const wchar_t* name : {L"a.exe", L"b.exe", L"c.exe"})
        StoreProgram(name);

    struct Case {
        std::vector<int> rows;
        bool add, remove, edit;
    };
    const Case cases[] = {
        {{}, true, false, false},
        {{1}, true, true, true},
        {{0, 2}, true, true, false},
        {{0, 1, 2}, true, true, false},
    };

    CMainWindowProbe window;
    for (const Case& c : cases) {
        // Through the selection timer: the buttons follow a moment after the change.
        window.steps.push_back([c](CMainWindowProbe& w) {
            SelectOnly(w.ListWindow(), c.rows);
            PumpFor(80);
            const ButtonStates buttons = Buttons(w.m_hWnd);
            EXPECT_EQ(buttons.add, c.add) << c.rows.size() << " rows";
            EXPECT_EQ(buttons.remove, c.remove) << c.rows.size() << " rows";
            EXPECT_EQ(buttons.edit, c.edit) << c.rows.size() << " rows";
        });
        // Through the Edit popup, opened before the timer fires: items and buttons change together.
        window.steps.push_back([c](CMainWindowProbe& w) {
            SelectOnly(w.ListWindow(), {});
            PumpFor(80);
            SelectOnly(w.ListWindow(), c.rows);
            const HMENU editMenu = ::GetSubMenu(::GetMenu(w.m_hWnd), 1);
            ::SendMessageW(w.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(editMenu), MAKELPARAM(1, FALSE));
            EXPECT_EQ(MenuItemEnabled(editMenu, ID_EDIT_ADD_PROGRAM), c.add);
            EXPECT_EQ(MenuItemEnabled(editMenu, ID_EDIT_DELETE_PROGRAM), c.remove);
            EXPECT_EQ(MenuItemEnabled(editMenu, ID_EDIT_EDIT_PROGRAM), c.edit);
            EXPECT_TRUE(MenuItemEnabled(editMenu, ID_EDIT_REFRESH));
            const ButtonStates buttons = Buttons(w.m_hWnd);
            EXPECT_EQ(buttons.remove, c.remove);
            EXPECT_EQ(buttons.edit, c.edit);
        });
    }
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

TEST_F(MainWindowTest, SelectAllRecomputesTheButtonsOnceAfterTheBurst)
{
    for (int i = 0; i < 300; ++i)
        StoreProgram(L"program" + std::to_wstring(i) + L".exe");

    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        PumpFor(50);
        const int before = w.ListButtonUpdates();
        w.SelectAllPrograms();
        PumpFor(150);
        EXPECT_EQ(SelectedRows(w.ListWindow()).size(), 300u);
        EXPECT_EQ(w.ListButtonUpdates(), before + 1);
        const ButtonStates buttons = Buttons(w.m_hWnd);
        EXPECT_TRUE(buttons.add);
        EXPECT_TRUE(buttons.remove);
        EXPECT_FALSE(buttons.edit);

        // The next burst, after the first one was handled, is followed again.
        const int afterFirst = w.ListButtonUpdates();
        SelectOnly(w.ListWindow(), {7});
        PumpFor(150);
        EXPECT_EQ(w.ListButtonUpdates(), afterFirst + 1);
        EXPECT_TRUE(Buttons(w.m_hWnd).edit);
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

TEST_F(MainWindowTest, AddedProgramsLandInNameOrderAndDeletingRenumbersTheRest)
{
    StoreProgram(L"b.exe");
    StoreProgram(L"d.exe");

    CMainWindowProbe window;
    window.answers = {IDYES};
    auto add = [](const wchar_t* name) {
        return [name](CMainWindowProbe& w) {
            WhenWindowShows(ADD_CAPTION, [name](HWND dialog) { ConfirmProgramDialog(dialog, name); });
            w.AddProgram();
        };
    };
    window.steps = {
        add(L"c.exe"),
        [](CMainWindowProbe& w) {
            // The new row sits between b and d, selected alone and focused.
            const HWND list = w.ListWindow();
            EXPECT_EQ(RowNames(list), (std::vector<std::wstring>{L"b.exe", L"c.exe", L"d.exe"}));
            EXPECT_EQ(SelectedRows(list), std::vector<int>{1});
            EXPECT_TRUE(IsFocusedRow(list, 1));
            EXPECT_EQ(::GetFocus(), list);
        },
        add(L"a.exe"),
        [](CMainWindowProbe& w) {
            const HWND list = w.ListWindow();
            EXPECT_EQ(RowNames(list), (std::vector<std::wstring>{L"a.exe", L"b.exe", L"c.exe", L"d.exe"}));
            ASSERT_EQ(w.Entries().size(), 4u);
            // Entries keep the order of arrival; only the added ones are marked.
            EXPECT_EQ(w.Entries()[0].processName, L"b.exe");
            EXPECT_EQ(w.Entries()[2].processName, L"c.exe");
            EXPECT_EQ(w.Entries()[3].processName, L"a.exe");
            EXPECT_FALSE(w.Entries()[0].modified);
            EXPECT_TRUE(w.Entries()[2].modified);
            EXPECT_TRUE(w.Entries()[3].modified);
            ExpectRowsMatchEntries(w);

            SelectOnly(list, {1, 2});
            w.DeletePrograms();
            ASSERT_EQ(w.boxes.size(), 1u);
            EXPECT_EQ(w.boxes[0].text, L"Do you want to remove 2 selected programs from the list?");
            EXPECT_EQ(w.boxes[0].type, QUESTION_TYPE);
            EXPECT_EQ(RowNames(list), (std::vector<std::wstring>{L"a.exe", L"d.exe"}));
            ASSERT_EQ(w.Entries().size(), 2u);
            EXPECT_EQ(w.Entries()[0].processName, L"d.exe");
            EXPECT_EQ(w.Entries()[1].processName, L"a.exe");
            ExpectRowsMatchEntries(w);
            EXPECT_TRUE(SelectedRows(list).empty());
            const ButtonStates buttons = Buttons(w.m_hWnd);
            EXPECT_TRUE(buttons.add);
            EXPECT_FALSE(buttons.remove);
            EXPECT_FALSE(buttons.edit);
        },
    };
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

TEST_F(MainWindowTest, DeleteAsksByNameForOneRowAndOnlyYesRemoves)
{
    StoreProgram(L"a.exe");
    StoreProgram(L"b.exe");

    for (int answer : {IDNO, IDCANCEL, IDYES}) {
        CMainWindowProbe window;
        window.answers = {answer};
        window.steps = {[answer](CMainWindowProbe& w) {
            SelectOnly(w.ListWindow(), {1});
            w.DeletePrograms();
            ASSERT_EQ(w.boxes.size(), 1u);
            EXPECT_EQ(w.boxes[0].text, L"Do you want to remove the following program from the list?\n\nb.exe");
            EXPECT_EQ(w.boxes[0].type, QUESTION_TYPE);
            const std::vector<std::wstring> expected =
                answer == IDYES ? std::vector<std::wstring>{L"a.exe"} : std::vector<std::wstring>{L"a.exe", L"b.exe"};
            EXPECT_EQ(RowNames(w.ListWindow()), expected);
            EXPECT_EQ(w.Entries().size(), expected.size());
            EXPECT_EQ(w.HasUnsavedChanges(), answer == IDYES);
        }};
        EXPECT_EQ(window.Run(), PROBE_FINISHED);
    }
}

TEST_F(MainWindowTest, DeleteWithoutSelectionAsksNothing)
{
    StoreProgram(L"a.exe");
    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        w.DeletePrograms();
        EXPECT_TRUE(w.boxes.empty());
        EXPECT_EQ(RowCount(w.ListWindow()), 1);
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

TEST_F(MainWindowTest, FindProcessMatchesOtherRowsWithoutRegardToCase)
{
    for (const wchar_t* name : {L"alpha.exe", L"beta.exe", L"gamma.exe"})
        StoreProgram(name);

    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        const HWND list = w.ListWindow();
        auto ask = [&](const wchar_t* name, int skipRow) {
            return ::SendMessageW(w.m_hWnd, WM_APP_FINDPROCESS, reinterpret_cast<WPARAM>(name), skipRow);
        };
        SelectOnly(list, {0, 2});
        EXPECT_EQ(ask(L"delta.exe", -1), 0);
        EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 2}));
        EXPECT_EQ(ask(L"beta.exe", 1), 0);  // the row being edited does not count
        EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 2}));

        EXPECT_EQ(ask(L"BETA.EXE", -1), 1);
        EXPECT_EQ(SelectedRows(list), std::vector<int>{1});
        EXPECT_TRUE(IsFocusedRow(list, 1));
        EXPECT_EQ(ask(L"Gamma.exe", 1), 1);
        EXPECT_EQ(SelectedRows(list), std::vector<int>{2});
        EXPECT_FALSE(IsFocusedRow(list, 1));
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

TEST_F(MainWindowTest, AddingANameThatDiffersOnlyInCaseIsRefused)
{
    StoreProgram(L"a.exe");
    StoreProgram(L"b.exe");

    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        SelectOnly(w.ListWindow(), {1});
        WhenWindowShows(ADD_CAPTION, [](HWND dialog) {
            ConfirmProgramDialog(dialog, L"A.EXE");
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        w.AddProgram();
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, L"Settings for the following process name already exist:\n\nA.EXE");
        EXPECT_EQ(RowNames(w.ListWindow()), (std::vector<std::wstring>{L"a.exe", L"b.exe"}));
        EXPECT_EQ(SelectedRows(w.ListWindow()), std::vector<int>{0});
        EXPECT_FALSE(w.HasUnsavedChanges());
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

TEST_F(MainWindowTest, EditingMarksOnlyRealChangesAndKeepsTheRowInPlace)
{
    reg64::SetDword(ProgramKeyPath(L"app.exe"), VALUE_DUMP_TYPE, 1);
    reg64::SetDword(ProgramKeyPath(L"app.exe"), VALUE_DUMP_COUNT, 4);
    StoreProgram(L"zoo.exe");

    CMainWindowProbe window;
    auto edit = [](const wchar_t* newName) {
        return [newName](CMainWindowProbe& w) {
            SelectOnly(w.ListWindow(), {0});
            WhenWindowShows(EDIT_CAPTION, [newName](HWND dialog) {
                ConfirmProgramDialog(dialog, newName ? newName : ControlText(dialog, IDC_EDIT_PROCESS_NAME));
            });
            w.EditProgram(true);
        };
    };
    window.steps = {
        edit(nullptr),
        [](CMainWindowProbe& w) {
            EXPECT_FALSE(w.Entries()[0].modified);
            EXPECT_FALSE(w.HasUnsavedChanges());
        },
        edit(L"App.exe"),
        [](CMainWindowProbe& w) {
            const HWND list = w.ListWindow();
            EXPECT_EQ(RowNames(list), (std::vector<std::wstring>{L"App.exe", L"zoo.exe"}));
            EXPECT_EQ(CellText(list, 0, 1), L"Mini dump");
            EXPECT_EQ(CellText(list, 0, 2), L"4");
            EXPECT_EQ(w.Entries()[0].processName, L"App.exe");
            EXPECT_TRUE(w.Entries()[0].modified);
            EXPECT_TRUE(w.HasUnsavedChanges());
        },
        [](CMainWindowProbe& w) {
            // Two rows selected: a double-click edits nothing and opens no dialog.
            SelectOnly(w.ListWindow(), {0, 1});
            NMITEMACTIVATE click = {};
            click.hdr.hwndFrom = w.ListWindow();
            click.hdr.idFrom = IDC_LIST_PROGRAMS;
            click.hdr.code = NM_DBLCLK;
            ::SendMessageW(w.m_hWnd, WM_NOTIFY, IDC_LIST_PROGRAMS, reinterpret_cast<LPARAM>(&click));
            EXPECT_TRUE(w.boxes.empty());
        },
    };
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}
