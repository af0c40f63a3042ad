// Adding a program when the list control will not take the new row's item data: the entry stays
// (it is saved with the rest), so its row must still show the settings it holds.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

WNDPROC g_listProc = nullptr;
int g_itemDataRefusals = 0;

// Refuses LVM_SETITEMW calls that set item data, as often as asked.
LRESULT CALLBACK ItemDataRefusingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == LVM_SETITEMW && g_itemDataRefusals > 0 &&
        (reinterpret_cast<const LVITEMW*>(lParam)->mask & LVIF_PARAM)) {
        --g_itemDataRefusals;
        return FALSE;
    }
    return ::CallWindowProcW(g_listProc, window, message, wParam, lParam);
}

void RefuseItemDataOnce(HWND list)
{
    g_itemDataRefusals = 1;
    g_listProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ItemDataRefusingProc)));
}

} // namespace

TEST_F(MainWindowTest, AnAddedRowWithoutItemDataStillShowsTheEntrysSettings)
{
    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        const HWND list = w.ListWindow();
        RefuseItemDataOnce(list);
        WhenWindowShows(L"Add Crash Dump Settings For Specific Program", [](HWND dialog) {
            SetControlText(dialog, IDC_EDIT_DUMP_FOLDER, L"C:\\Dumps\\a");
            SetControlText(dialog, IDC_EDIT_DUMP_COUNT, L"7");
            ::SendDlgItemMessageW(dialog, IDC_COMBO_DUMP_TYPE, CB_SETCURSEL, 1, 0);
            ConfirmProgramDialog(dialog, L"a.exe");
        });
        w.AddProgram();

        ASSERT_EQ(w.Entries().size(), 1u);
        ASSERT_EQ(RowCount(list), 1);
        EXPECT_EQ(RowData(list, 0), -1);
        EXPECT_EQ(CellText(list, 0, 0), L"a.exe");
        EXPECT_EQ(CellText(list, 0, 1), L"Mini dump");
        EXPECT_EQ(CellText(list, 0, 2), L"7");
        EXPECT_EQ(CellText(list, 0, 3), L"C:\\Dumps\\a");
        EXPECT_TRUE(SelectedRows(list).empty());
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}
