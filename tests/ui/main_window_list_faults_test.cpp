// What the program list does when its control refuses an update: a row that cannot be deleted or
// whose item data cannot be set must not stand for some other entry. The list control does not
// refuse on its own, so a window subclass refuses the chosen message once.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
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
            return FALSE;
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
