// What the program settings dialog shows when it opens: add mode with an empty panel, edit mode
// with the entry's values, and how an edited entry comes back when confirmed untouched.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/ui/add_edit_prog_harness.h"

using namespace prog_dialog_test;

namespace {

struct OpeningState {
    std::wstring caption;
    std::wstring okText;
    std::wstring name;
    std::wstring folder;
    std::wstring count;
    LRESULT aclCheck = -1;
    LRESULT typeSelection = -2;
    LRESULT typeCount = -2;
    LRESULT nameLimit = 0;
};

Step CaptureOpeningState(OpeningState& state)
{
    return [&state](HWND dialog) {
        wchar_t caption[256] = {};
        ::GetWindowTextW(dialog, caption, 256);
        state.caption = caption;
        state.okText = GetText(dialog, IDOK);
        state.name = GetText(dialog, IDC_EDIT_PROCESS_NAME);
        state.folder = GetText(dialog, IDC_EDIT_DUMP_FOLDER);
        state.count = GetText(dialog, IDC_EDIT_DUMP_COUNT);
        state.aclCheck = ::SendDlgItemMessageW(dialog, IDC_CHECK_SET_ACL, BM_GETCHECK, 0, 0);
        state.typeSelection = ::SendDlgItemMessageW(dialog, IDC_COMBO_DUMP_TYPE, CB_GETCURSEL, 0, 0);
        state.typeCount = ::SendDlgItemMessageW(dialog, IDC_COMBO_DUMP_TYPE, CB_GETCOUNT, 0, 0);
        state.nameLimit = ::SendDlgItemMessageW(dialog, IDC_EDIT_PROCESS_NAME, EM_GETLIMITTEXT, 0, 0);
    };
}

ProgramEntry StoredEntry(DWORD dumpType, BOOL setAcl)
{
    return GivenEntry(L"Stored.exe", L"C:\\Crash Dumps", dumpType, 25, setAcl);
}

} // namespace

TEST(AddEditProgModes, AddModeOpensEmptyWithTheAclBoxCheckedAndTheFocusOnTheName)
{
    ProgramEntry entry;
    ProgDialogRun run;
    OpeningState state;
    run.steps = {CaptureOpeningState(state)};
    RunProgDialog(run, entry);

    EXPECT_EQ(FALSE, run.initResult);
    EXPECT_EQ(IDC_EDIT_PROCESS_NAME, run.focusAfterInit);
    EXPECT_EQ(L"Add Crash Dump Settings For Specific Program", state.caption);
    EXPECT_EQ(L"Add", state.okText);
    EXPECT_EQ(L"", state.name);
    EXPECT_EQ(L"", state.folder);
    EXPECT_EQ(L"", state.count);
    EXPECT_EQ(BST_CHECKED, state.aclCheck);
    EXPECT_EQ(CB_ERR, state.typeSelection);
    EXPECT_EQ(4, state.typeCount);
    EXPECT_EQ(260, state.nameLimit);
    EXPECT_NE(nullptr, run.exeIcon) << "the shell gave no icon for .exe files";
    EXPECT_EQ(RUN_LEFT_OPEN, run.result);
}

TEST(AddEditProgModes, EditModeShowsTheEntryAndPicksTheDumpTypeItem)
{
    struct EditCase {
        DWORD dumpType;
        BOOL setAcl;
        LRESULT selection;  // CB_ERR: none
    };
    const EditCase cases[] = {
        {0, TRUE, 3},        // a stored 0 shows the custom dump
        {1, FALSE, 1},
        {2, TRUE, 2},
        {3, FALSE, CB_ERR},  // a code the list does not offer leaves it without a selection
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.dumpType);
        ProgramEntry entry = StoredEntry(c.dumpType, c.setAcl);
        ProgDialogRun run;
        run.row = 2;
        OpeningState state;
        run.steps = {CaptureOpeningState(state)};
        RunProgDialog(run, entry);

        EXPECT_EQ(FALSE, run.initResult);
        EXPECT_EQ(IDC_EDIT_PROCESS_NAME, run.focusAfterInit);
        EXPECT_EQ(L"Edit Crash Dump Settings For Specific Program", state.caption);
        EXPECT_EQ(L"OK", state.okText);
        EXPECT_EQ(L"Stored.exe", state.name);
        EXPECT_EQ(L"C:\\Crash Dumps", state.folder);
        EXPECT_EQ(L"25", state.count);
        EXPECT_EQ(c.setAcl ? BST_CHECKED : BST_UNCHECKED, state.aclCheck);
        EXPECT_EQ(c.selection, state.typeSelection);
        EXPECT_EQ(RUN_LEFT_OPEN, run.result);
        EXPECT_TRUE(StoredEntry(c.dumpType, c.setAcl).Equals(entry)) << "cancel changed the entry";
    }
}

TEST(AddEditProgModes, EditModeLeavesFieldsThatAreNotGivenEmpty)
{
    ProgramEntry entry;
    entry.processName = L"bare.exe";
    entry.settings.folder = L"C:\\ignored";  // not given, so not shown
    entry.settings.dumpCount = 9;            // not given either
    ProgDialogRun run;
    run.row = 0;
    OpeningState state;
    run.steps = {CaptureOpeningState(state)};
    RunProgDialog(run, entry);

    EXPECT_EQ(L"bare.exe", state.name);
    EXPECT_EQ(L"", state.folder);
    EXPECT_EQ(L"", state.count);
    EXPECT_EQ(CB_ERR, state.typeSelection);
    EXPECT_EQ(BST_UNCHECKED, state.aclCheck);
}

TEST(AddEditProgModes, ConfirmingAnUntouchedEditKeepsTheStoredDumpType)
{
    for (DWORD dumpType : {0u, 3u, 2u}) {
        SCOPED_TRACE(dumpType);
        ProgramEntry entry = StoredEntry(dumpType, FALSE);
        ProgDialogRun run;
        run.row = 5;
        run.steps = {[](HWND dialog) { PostClick(dialog, IDOK); }};
        RunProgDialog(run, entry);

        EXPECT_EQ(IDOK, run.result);
        EXPECT_TRUE(run.boxes.empty());
        // Keeping its own name is no duplicate: the main window is told which row to skip.
        ASSERT_EQ(1u, run.questions.size());
        EXPECT_EQ(L"Stored.exe", run.questions[0].name);
        EXPECT_EQ(5, run.questions[0].row);
        EXPECT_EQ(L"Stored.exe", entry.processName);
        EXPECT_EQ(L"C:\\Crash Dumps", entry.settings.folder);
        EXPECT_EQ(25, entry.settings.dumpCount);
        // A type the list cannot show (a custom dump 0, a code of another tool) stays as stored.
        EXPECT_TRUE(entry.settings.hasDumpType);
        EXPECT_EQ(dumpType, entry.settings.dumpType);
    }
}
