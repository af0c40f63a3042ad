// What the program list does when its control refuses an update: a row that cannot be deleted or
// whose item data cannot be set must not stand for some other entry. The list control does not
// refuse on its own, so a window subclass refuses the chosen message once.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "model/error_text.h"
#include "res/resource.h"
#include "tests/support/seam_recorder.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

struct Refusal {
    UINT message = 0;
    int row = -1;  // -1: any row
    int times = 0;
    WNDPROC original = nullptr;
};
Refusal g_refusal;

int TargetRow(UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == LVM_DELETEITEM ? static_cast<int>(wParam) : reinterpret_cast<const LVITEMW*>(lParam)->iItem;
}

LRESULT CALLBACK RefusingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_refusal.message && g_refusal.times > 0) {
        const int row = TargetRow(message, wParam, lParam);
        if (g_refusal.row < 0 || row == g_refusal.row) {
            --g_refusal.times;
            return message == LVM_INSERTITEMW ? -1 : FALSE;  // how each message says no
        }
    }
    return ::CallWindowProcW(g_refusal.original, window, message, wParam, lParam);
}

void RefuseOnce(HWND list, UINT message, int row)
{
    g_refusal.message = message;
    g_refusal.row = row;
    g_refusal.times = 1;
    g_refusal.original =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RefusingListProc)));
}

} // namespace

TEST_F(MainWindowTest, ARowThatCouldNotBeDeletedNoLongerStandsForAnEntry)
{
    for (const wchar_t* name : {L"a.exe", L"b.exe", L"c.exe"})
        reg64::CreateKey(ProgramKeyPath(name));

    CMainWindowProbe window;
    window.answers = {IDYES};
    window.steps = {[](CMainWindowProbe& w) {
        const HWND list = w.ListWindow();
        RefuseOnce(list, LVM_DELETEITEM, 0);
        SelectOnly(list, {0, 2});
        w.DeletePrograms();

        EXPECT_EQ(RowNames(list), (std::vector<std::wstring>{L"a.exe", L"b.exe"}));
        ASSERT_EQ(w.Entries().size(), 1u);
        EXPECT_EQ(w.Entries()[0].processName, L"b.exe");
        EXPECT_EQ(RowData(list, 0), -1);
        EXPECT_EQ(RowData(list, 1), 0);

        // The stale row makes the selection invalid: nothing is offered, and edit opens nothing.
        SelectOnly(list, {0});
        EXPECT_EQ(w.UpdateListButtons(true), 0u);
        EXPECT_FALSE(IsControlEnabled(w.m_hWnd, IDC_BTN_ADD_PROGRAM));
        w.EditProgram(true);
        SelectOnly(list, {1});
        EXPECT_EQ(w.UpdateListButtons(true), LIST_CAN_ADD | LIST_CAN_DELETE | LIST_CAN_EDIT);
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

TEST_F(MainWindowTest, AnAddedRowWithoutItemDataStandsForNoEntry)
{
    reg64::CreateKey(ProgramKeyPath(L"b.exe"));

    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        const HWND list = w.ListWindow();
        RefuseOnce(list, LVM_SETITEMW, -1);
        WhenWindowShows(L"Add Crash Dump Settings For Specific Program",
                        [](HWND dialog) { ConfirmProgramDialog(dialog, L"a.exe"); });
        w.AddProgram();

        // The entry is kept (and will be saved); its row is not selected and refers to nothing.
        ASSERT_EQ(w.Entries().size(), 2u);
        EXPECT_EQ(w.Entries()[1].processName, L"a.exe");
        EXPECT_TRUE(w.Entries()[1].modified);
        EXPECT_EQ(RowNames(list), (std::vector<std::wstring>{L"a.exe", L"b.exe"}));
        EXPECT_EQ(RowData(list, 0), -1);
        EXPECT_TRUE(SelectedRows(list).empty());
        SelectOnly(list, {0});
        EXPECT_EQ(w.UpdateListButtons(false), 0u);
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

// A load in which the list refuses one row: that record is left out, and every row that did go in
// still edits and deletes its own entry, wherever the gap fell.
TEST_F(MainWindowTest, ALoadThatLosesARowKeepsEveryOtherRowOnItsOwnEntry)
{
    const std::vector<std::wstring> names = {L"a.exe", L"b.exe", L"c.exe", L"d.exe"};
    for (const std::wstring& name : names) {
        reg64::CreateKey(ProgramKeyPath(name));
        reg64::SetString(ProgramKeyPath(name), L"DumpFolder", L"C:\\" + name);
    }
    // Rows go in last-read first, asking for positions 0, 1, 2, 3: d, c, b, a.
    struct Case {
        int refusedPosition;
        const wchar_t* lost;
    };
    const Case cases[] = {{0, L"d.exe"}, {1, L"c.exe"}, {3, L"a.exe"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lost);
        std::vector<std::wstring> kept;
        for (const std::wstring& name : names) {
            if (name != c.lost)
                kept.push_back(name);
        }
        CMainWindowProbe window;
        window.answers = {IDOK, IDYES};  // the incomplete list's message, then the deletion
        window.steps = {[&](CMainWindowProbe& w) {
            const HWND list = w.ListWindow();
            RefuseOnce(list, LVM_INSERTITEMW, c.refusedPosition);
            EXPECT_FALSE(w.RefreshFromRegistry());
            ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_refusal.original));
            ASSERT_EQ(RowNames(list), kept);
            ASSERT_EQ(w.Entries().size(), kept.size());

            // Each row opens its own entry; a change made there lands in that entry alone.
            for (int row = 0; row < static_cast<int>(kept.size()); ++row) {
                const std::wstring name = kept[static_cast<size_t>(row)];
                std::wstring shownName, shownFolder;
                WhenWindowShows(L"Edit Crash Dump Settings For Specific Program", [&](HWND dialog) {
                    shownName = ControlText(dialog, IDC_EDIT_PROCESS_NAME);
                    shownFolder = ControlText(dialog, IDC_EDIT_DUMP_FOLDER);
                    SetControlText(dialog, IDC_EDIT_DUMP_FOLDER, L"C:\\Edited\\" + name);
                    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                });
                SelectOnly(list, {row});
                w.EditProgram(true);
                EXPECT_EQ(shownName, name);
                EXPECT_EQ(shownFolder, L"C:\\" + name);
                EXPECT_EQ(CellText(list, row, 3), L"C:\\Edited\\" + name);
            }
            for (const ProgramEntry& entry : w.Entries()) {
                EXPECT_TRUE(entry.modified) << entry.processName;
                EXPECT_EQ(entry.settings.folder, L"C:\\Edited\\" + entry.processName);
            }

            // Deleting the middle row takes its own entry; the rest still match.
            const std::wstring gone = kept[1];
            SelectOnly(list, {1});
            w.DeletePrograms();
            ASSERT_EQ(w.Entries().size(), kept.size() - 1);
            for (int row = 0; row < RowCount(list); ++row) {
                const LPARAM data = RowData(list, row);
                ASSERT_GE(data, 0);
                ASSERT_LT(static_cast<size_t>(data), w.Entries().size());
                EXPECT_EQ(w.Entries()[static_cast<size_t>(data)].processName, CellText(list, row, 0));
                EXPECT_NE(CellText(list, row, 0), gone);
            }
        }};
        EXPECT_EQ(window.Run(), PROBE_FINISHED);
    }
}

TEST_F(MainWindowTest, AnIncompleteLoadSaysSoOnceAndCannotSaveUntilARefreshReadsAll)
{
    for (const wchar_t* name : {L"a.exe", L"b.exe"})
        reg64::CreateKey(ProgramKeyPath(name));
    SeamRecorder seam;
    seam.FailCall("RegEnumKeyExW", 1, ERROR_ACCESS_DENIED);
    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        EXPECT_EQ(RowNames(w.ListWindow()), std::vector<std::wstring>{L"a.exe"});
        EXPECT_FALSE(IsControlEnabled(w.m_hWnd, IDOK));
        EXPECT_TRUE(::GetMenuState(::GetMenu(w.m_hWnd), ID_FILE_SAVE_AND_EXIT, MF_BYCOMMAND) & MF_GRAYED);
        EXPECT_FALSE(w.CommitChanges());
        EXPECT_TRUE(reg64::KeyExists(ProgramKeyPath(L"b.exe")));

        EXPECT_TRUE(w.RefreshFromRegistry());
        EXPECT_TRUE(IsControlEnabled(w.m_hWnd, IDOK));
        EXPECT_FALSE(::GetMenuState(::GetMenu(w.m_hWnd), ID_FILE_SAVE_AND_EXIT, MF_BYCOMMAND) & MF_GRAYED);
        EXPECT_TRUE(w.CommitChanges());
    }};
    EXPECT_EQ(window.Run(), IDOK);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text,
              L"ERROR: The list of programs could not be read completely. Kestrune cannot save until Refresh (F5) "
              L"reads it all.\n\n(5) " + ErrorText(5));
    EXPECT_EQ(reg64::Subkeys(LOCALDUMPS_KEY_PATH), (std::vector<std::wstring>{L"a.exe", L"b.exe"}));
}
