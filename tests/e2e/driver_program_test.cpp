// The end-to-end driver against the real program: starting and stopping it, finding its main
// window, reading its controls and the rows of its program list from outside the process.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/support/e2e_driver.h"
#include "tests/support/registry_fixture.h"

namespace {

class DriverProgramTest : public LocalDumpsTest {
protected:
    e2e::ProgramProcess m_program;
};

} // namespace

TEST_F(DriverProgramTest, StartFindsTheMainWindowAndACloseRequestEndsTheProgram)
{
    ASSERT_TRUE(m_program.Start()) << "Kestrune.exe did not show its main window";
    const HWND main = m_program.MainWindow();

    DWORD owner = 0;
    ::GetWindowThreadProcessId(main, &owner);
    EXPECT_EQ(m_program.Id(), owner);
    EXPECT_TRUE(e2e::IsDialogWindow(main));
    EXPECT_EQ(L"Kestrune", e2e::TextOf(main));
    EXPECT_TRUE(::IsWindowVisible(main));
    const std::vector<HWND> windows = e2e::TopLevelWindows(m_program.Id());
    EXPECT_NE(windows.end(), std::find(windows.begin(), windows.end(), main));
    EXPECT_FALSE(e2e::FindMessageBox(m_program.Id())) << "a message box is open at start";

    EXPECT_EQ(L"&SAVE", e2e::ControlText(main, IDOK));
    EXPECT_EQ(L"Cancel", e2e::ControlText(main, IDCANCEL));
    EXPECT_TRUE(e2e::IsControlEnabled(main, IDOK));
    EXPECT_EQ(STILL_ACTIVE, m_program.ExitCode());

    m_program.RequestClose();
    ASSERT_TRUE(m_program.WaitForExit()) << "an unchanged window asked before closing";
    EXPECT_EQ(0u, m_program.ExitCode());
}

TEST_F(DriverProgramTest, TheStoredSettingsAreReadBackFromTheControlsAndTheListRows)
{
    reg64::CreateKey(LOCALDUMPS_KEY_PATH);
    reg64::SetString(LOCALDUMPS_KEY_PATH, L"DumpFolder", L"C:\\Global Dumps", REG_EXPAND_SZ);
    reg64::SetDword(LOCALDUMPS_KEY_PATH, L"DumpType", 1);
    reg64::SetDword(LOCALDUMPS_KEY_PATH, L"DumpCount", 10);
    reg64::CreateKey(ProgramKeyPath(L"beta.exe"));
    reg64::SetDword(ProgramKeyPath(L"beta.exe"), L"DumpType", 2);
    reg64::SetDword(ProgramKeyPath(L"beta.exe"), L"DumpCount", 5);
    reg64::SetString(ProgramKeyPath(L"beta.exe"), L"DumpFolder", L"D:\\Beta", REG_EXPAND_SZ);
    reg64::CreateKey(ProgramKeyPath(L"alpha.exe"));

    ASSERT_TRUE(m_program.Start());
    const HWND main = m_program.MainWindow();

    EXPECT_EQ(L"C:\\Global Dumps", e2e::ControlText(main, IDC_EDIT_DUMP_FOLDER));
    EXPECT_EQ(L"10", e2e::ControlText(main, IDC_EDIT_DUMP_COUNT));
    EXPECT_EQ(BST_CHECKED, e2e::CheckState(main, IDC_CHECK_SET_ACL));
    ASSERT_EQ(4, e2e::ComboCount(main, IDC_COMBO_DUMP_TYPE));
    EXPECT_EQ(1, e2e::ComboSelection(main, IDC_COMBO_DUMP_TYPE));
    EXPECT_EQ(L"Mini dump (smaller file, less helpful for debugging)",
              e2e::ComboItemText(main, IDC_COMBO_DUMP_TYPE, 1));
    EXPECT_EQ(L"", e2e::ComboItemText(main, IDC_COMBO_DUMP_TYPE, 0));

    e2e::RemoteListView list(::GetDlgItem(main, IDC_LIST_PROGRAMS));
    ASSERT_TRUE(list.IsUsable());
    ASSERT_EQ(2, list.RowCount());
    ASSERT_EQ(4, list.ColumnCount());
    EXPECT_EQ((std::vector<std::wstring>{L"alpha.exe", L"", L"", L""}), list.RowTexts(0));
    EXPECT_EQ((std::vector<std::wstring>{L"beta.exe", L"Full dump", L"5", L"D:\\Beta"}), list.RowTexts(1));
    LPARAM first = -1, second = -1;
    ASSERT_TRUE(list.ItemData(0, first));
    ASSERT_TRUE(list.ItemData(1, second));
    EXPECT_EQ(1, first + second) << "the rows do not refer to entries 0 and 1";
    EXPECT_NE(first, second);
    EXPECT_TRUE(list.SelectedRows().empty());

    m_program.RequestClose();
    EXPECT_TRUE(m_program.WaitForExit());
}
