// The program list of the real window: where added rows go, the refused duplicate, renaming in
// place, deleting several rows, and which of "&+", "&-" and "&..." and the Edit menu's items the
// selection allows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/e2e/kestrune_session.h"

using namespace e2e;

namespace {

class ProgramListTest : public KestruneSession {
public:
    // Stores program keys with the given names; each one's DumpCount is its position + 1, so that
    // every entry can be told apart by its values.
    void StorePrograms(const std::vector<std::wstring>& names)
    {
        for (size_t i = 0; i < names.size(); ++i)
            reg64::SetDword(ProgramKeyPath(names[i]), VALUE_DUMP_COUNT, static_cast<DWORD>(i + 1));
    }

    // Opens the edit dialog of the one selected row and returns it.
    HWND OpenEditDialog()
    {
        if (!PressButton(Main(), IDC_BTN_EDIT_PROGRAM))
            return nullptr;
        return WaitForDialog(Pid(), EDIT_CAPTION);
    }

    // The state of the three list buttons: add, delete, edit.
    std::vector<bool> ListButtons() const
    {
        return {IsControlEnabled(Main(), IDC_BTN_ADD_PROGRAM), IsControlEnabled(Main(), IDC_BTN_DELETE_PROGRAM),
                IsControlEnabled(Main(), IDC_BTN_EDIT_PROGRAM)};
    }
};

} // namespace

TEST_F(ProgramListTest, AnAddedRowIsPlacedByNameAndBecomesTheOnlySelectedAndFocusedRow)
{
    StorePrograms({L"c.exe", L"a.exe"});
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_EQ((std::vector<std::wstring>{L"a.exe", L"c.exe"}), RowNames());
    SelectRows({0, 1});

    ASSERT_NO_FATAL_FAILURE(AddProgram({L"b.exe", L"", 2, L"4"}));

    RemoteListView list(::GetDlgItem(Main(), IDC_LIST_PROGRAMS));
    EXPECT_EQ((std::vector<std::wstring>{L"a.exe", L"b.exe", L"c.exe"}), RowNames());
    EXPECT_EQ((std::vector<std::wstring>{L"b.exe", L"Full dump", L"4", L""}), list.RowTexts(1));
    EXPECT_EQ(std::vector<int>{1}, list.SelectedRows());
    EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED), list.ItemState(1));
    EXPECT_EQ(::GetDlgItem(Main(), IDC_LIST_PROGRAMS), FocusedControl(Main()));
    // The stored rows still show their own entries.
    EXPECT_EQ(L"2", list.CellText(0, 2));
    EXPECT_EQ(L"1", list.CellText(2, 2));

    const MessageBoxInfo box = CloseExpectingQuestion();
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDYES));
    ASSERT_TRUE(m_program.WaitForExit());
    EXPECT_FALSE(reg64::KeyExists(ProgramKeyPath(L"b.exe"))) << "an add was written without saving";
}

TEST_F(ProgramListTest, ANameThatExistsInOtherLettersIsRefusedAndItsRowBecomesTheOnlySelectedOne)
{
    StorePrograms({L"a.exe", L"c.exe"});
    ASSERT_NO_FATAL_FAILURE(Launch());
    SelectRows({1});

    const HWND add = OpenAddDialog();
    ASSERT_NE(nullptr, add);
    ASSERT_NO_FATAL_FAILURE(FillAndConfirm(add, {L"A.EXE", L"", 1, L""}));
    const MessageBoxInfo box = ExpectMessageBox(L"Settings for the following process name already exist:\n\nA.EXE");
    ASSERT_TRUE(box);
    EXPECT_EQ((std::vector<std::wstring>{L"OK"}), box.ButtonTexts());
    RemoteListView list(::GetDlgItem(Main(), IDC_LIST_PROGRAMS));
    EXPECT_EQ(std::vector<int>{0}, list.SelectedRows());
    EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED), list.ItemState(0));
    EXPECT_EQ(0u, list.ItemState(1));

    ASSERT_NO_FATAL_FAILURE(Answer(box, IDOK));
    EXPECT_TRUE(::IsWindow(add)) << "the refused dialog closed";
    EXPECT_EQ(L"A.EXE", ControlText(add, IDC_EDIT_PROCESS_NAME));
    ASSERT_TRUE(PressButton(add, IDCANCEL));
    WaitUntilGone(add);
    EXPECT_EQ((std::vector<std::wstring>{L"a.exe", L"c.exe"}), RowNames());
    CloseExpectingNoQuestion();
}

TEST_F(ProgramListTest, ARenamedRowKeepsItsPlaceAndTheSaveMovesTheKeyToTheNewName)
{
    StorePrograms({L"app.exe", L"beta.exe", L"cat.exe"});
    ASSERT_NO_FATAL_FAILURE(Launch());

    struct Rename {
        int row;
        const wchar_t* newName;
    };
    const Rename renames[] = {{0, L"App.exe"}, {1, L"zoo.exe"}};
    for (const Rename& rename : renames) {
        SelectRows({rename.row});
        const HWND edit = OpenEditDialog();
        ASSERT_NE(nullptr, edit);
        ASSERT_NO_FATAL_FAILURE(FillAndConfirm(edit, {rename.newName, L"", -1, L""}));
        WaitUntilGone(edit);
    }

    RemoteListView list(::GetDlgItem(Main(), IDC_LIST_PROGRAMS));
    EXPECT_EQ((std::vector<std::wstring>{L"App.exe", L"zoo.exe", L"cat.exe"}), RowNames());
    EXPECT_EQ((std::vector<std::wstring>{L"zoo.exe", L"", L"2", L""}), list.RowTexts(1));
    EXPECT_EQ(std::vector<int>{1}, list.SelectedRows());

    ASSERT_TRUE(PressButton(Main(), IDOK));
    ASSERT_TRUE(m_program.WaitForExit());
    std::vector<std::wstring> keys = reg64::Subkeys(LOCALDUMPS_KEY_PATH);
    std::sort(keys.begin(), keys.end());
    // A name changed only in letter case keeps its key, old letters and all: the service matches
    // process names without regard to case.
    EXPECT_EQ((std::vector<std::wstring>{L"app.exe", L"cat.exe", L"zoo.exe"}), keys);
    EXPECT_EQ(1, DwordOf(ProgramKeyPath(L"App.exe"), VALUE_DUMP_COUNT));
    EXPECT_EQ(2, DwordOf(ProgramKeyPath(L"zoo.exe"), VALUE_DUMP_COUNT));
    EXPECT_EQ(3, DwordOf(ProgramKeyPath(L"cat.exe"), VALUE_DUMP_COUNT));
}

TEST_F(ProgramListTest, DeletingThreeRowsAsksWithTheCountAndTheRemainingRowsStillEditTheirOwnEntries)
{
    StorePrograms({L"a.exe", L"b.exe", L"c.exe", L"d.exe", L"e.exe"});
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_EQ((std::vector<std::wstring>{L"a.exe", L"b.exe", L"c.exe", L"d.exe", L"e.exe"}), RowNames());
    SelectRows({0, 2, 4});

    const wchar_t* const question = L"Do you want to remove 3 selected programs from the list?";
    ASSERT_TRUE(PressButton(Main(), IDC_BTN_DELETE_PROGRAM));
    MessageBoxInfo box = ExpectMessageBox(question);
    ASSERT_TRUE(box);
    EXPECT_EQ((std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}), box.ButtonTexts());
    EXPECT_EQ(IDNO, box.DefaultButton());
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDNO));
    EXPECT_EQ(5u, RowNames().size()) << "No removed rows";

    ASSERT_TRUE(PressButton(Main(), IDC_BTN_DELETE_PROGRAM));
    box = ExpectMessageBox(question);
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDYES));
    EXPECT_EQ((std::vector<std::wstring>{L"b.exe", L"d.exe"}), RowNames());
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_EQ((std::vector<bool>{true, false, false}), ListButtons());

    // Each remaining row opens its own entry.
    const struct {
        int row;
        const wchar_t* name;
        const wchar_t* count;
    } remaining[] = {{1, L"d.exe", L"4"}, {0, L"b.exe", L"2"}};
    for (const auto& expected : remaining) {
        SelectRows({expected.row});
        const HWND edit = OpenEditDialog();
        ASSERT_NE(nullptr, edit);
        EXPECT_EQ(expected.name, ControlText(edit, IDC_EDIT_PROCESS_NAME));
        EXPECT_EQ(expected.count, ControlText(edit, IDC_EDIT_DUMP_COUNT));
        ASSERT_TRUE(PressButton(edit, IDCANCEL));
        WaitUntilGone(edit);
    }

    // Saving removes exactly the deleted keys.
    ASSERT_TRUE(PressButton(Main(), IDOK));
    ASSERT_TRUE(m_program.WaitForExit());
    std::vector<std::wstring> keys = reg64::Subkeys(LOCALDUMPS_KEY_PATH);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ((std::vector<std::wstring>{L"b.exe", L"d.exe"}), keys);
    EXPECT_EQ(4, DwordOf(ProgramKeyPath(L"d.exe"), VALUE_DUMP_COUNT));
}

TEST_F(ProgramListTest, TheButtonsFollowTheSelection)
{
    StorePrograms({L"a.exe", L"b.exe", L"c.exe"});
    ASSERT_NO_FATAL_FAILURE(Launch());
    EXPECT_EQ((std::vector<bool>{true, false, false}), ListButtons()) << "at opening";

    const struct {
        std::vector<int> rows;
        std::vector<bool> buttons;  // "&+", "&-", "&..."
    } cases[] = {
        {{1}, {true, true, true}},
        {{0, 2}, {true, true, false}},
        {{0, 1, 2}, {true, true, false}},
        {{}, {true, false, false}},
        {{2}, {true, true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rows.size() << " rows selected");
        SelectRows(c.rows);
        EXPECT_EQ(c.buttons, ListButtons());
    }
    CloseExpectingNoQuestion();
}

TEST_F(ProgramListTest, TheEditCommandOpensNothingWhileTwoRowsAreSelected)
{
    StorePrograms({L"a.exe", L"b.exe"});
    ASSERT_NO_FATAL_FAILURE(Launch());
    SelectRows({0, 1});

    PostCommand(Main(), ID_EDIT_EDIT_PROGRAM);
    PostCommand(Main(), IDC_BTN_EDIT_PROGRAM);
    // Both commands have been handled once a sent message comes back.
    ::SendMessageW(Main(), WM_NULL, 0, 0);
    EXPECT_FALSE(WaitForDialog(Pid(), EDIT_CAPTION, 500));
    EXPECT_EQ(1u, TopLevelWindows(Pid()).size()) << "something opened";

    // With one row the same command opens that row's entry.
    SelectRows({1});
    PostCommand(Main(), ID_EDIT_EDIT_PROGRAM);
    const HWND edit = WaitForDialog(Pid(), EDIT_CAPTION);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(L"b.exe", ControlText(edit, IDC_EDIT_PROCESS_NAME));
    ASSERT_TRUE(PressButton(edit, IDCANCEL));
    WaitUntilGone(edit);
    CloseExpectingNoQuestion();
}

TEST_F(ProgramListTest, AnEditedEntryShowsItsNewValuesAndOnlyItsKeyChangesOnSave)
{
    StorePrograms({L"a.exe", L"b.exe"});
    reg64::SetDword(ProgramKeyPath(L"a.exe"), VALUE_DUMP_TYPE, 1);
    const std::wstring folder = ScratchFolder() + L"\\B Dumps";
    ASSERT_NO_FATAL_FAILURE(Launch());

    SelectRows({1});
    const HWND edit = OpenEditDialog();
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(L"OK", ControlText(edit, IDOK));
    EXPECT_EQ(L"2", ControlText(edit, IDC_EDIT_DUMP_COUNT));
    EXPECT_EQ(BST_UNCHECKED, CheckState(edit, IDC_CHECK_SET_ACL)) << "a stored entry asks for no ACL";
    ASSERT_NO_FATAL_FAILURE(FillAndConfirm(edit, {L"", folder, 2, L"30"}));
    WaitUntilGone(edit);

    RemoteListView list(::GetDlgItem(Main(), IDC_LIST_PROGRAMS));
    EXPECT_EQ((std::vector<std::wstring>{L"b.exe", L"Full dump", L"30", folder}), list.RowTexts(1));
    EXPECT_EQ((std::vector<std::wstring>{L"a.exe", L"Mini dump", L"1", L""}), list.RowTexts(0));

    ASSERT_TRUE(PressButton(Main(), IDOK));
    ASSERT_TRUE(m_program.WaitForExit());
    ExpectKeyValues(ProgramKeyPath(L"b.exe"), folder, 2, 30);
    ExpectDumpFolder(folder, false);
    ExpectKeyValues(ProgramKeyPath(L"a.exe"), L"", 1, 1);
}

TEST_F(ProgramListTest, ADoubleClickOnARowEditsThatRow)
{
    StorePrograms({L"a.exe", L"b.exe", L"c.exe"});
    ASSERT_NO_FATAL_FAILURE(Launch());
    RemoteListView list(::GetDlgItem(Main(), IDC_LIST_PROGRAMS));
    RECT row = {};
    ASSERT_TRUE(list.RowRect(2, row));
    const POINT point = {row.left + 15, (row.top + row.bottom) / 2};
    ASSERT_TRUE(BringToForeground(Main()));
    ASSERT_TRUE(ClickAt(point));
    ASSERT_TRUE(ClickAt(point));

    const HWND edit = WaitForDialog(Pid(), EDIT_CAPTION);
    ASSERT_NE(nullptr, edit) << "a double click opened nothing";
    EXPECT_EQ(L"c.exe", ControlText(edit, IDC_EDIT_PROCESS_NAME));
    EXPECT_EQ(L"3", ControlText(edit, IDC_EDIT_DUMP_COUNT));
    ASSERT_TRUE(PressButton(edit, IDCANCEL));
    WaitUntilGone(edit);
    EXPECT_EQ(std::vector<int>{2}, SelectedRows());
    CloseExpectingNoQuestion();
}
