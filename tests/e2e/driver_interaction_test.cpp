// The end-to-end driver's hands: message boxes with their buttons, posted keys, Ctrl+key through
// real input, control texts set from outside, and screenshots of the program's windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/support/e2e_driver.h"
#include "tests/support/registry_fixture.h"

namespace {

class DriverInteractionTest : public LocalDumpsTest {
protected:
    e2e::ProgramProcess m_program;
};

const wchar_t* const ADD_CAPTION = L"Add Crash Dump Settings For Specific Program";

} // namespace

TEST_F(DriverInteractionTest, TheExitQuestionIsReadAndAnsweredThroughItsButtons)
{
    ASSERT_TRUE(m_program.Start());
    const HWND main = m_program.MainWindow();
    ASSERT_TRUE(e2e::SetControlText(main, IDC_EDIT_DUMP_FOLDER, L"C:\\Changed"));
    EXPECT_EQ(L"C:\\Changed", e2e::ControlText(main, IDC_EDIT_DUMP_FOLDER));

    m_program.RequestClose();
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(m_program.Id());
    ASSERT_TRUE(box) << "no question about the unsaved change";
    EXPECT_EQ(L"Kestrune", box.caption);
    EXPECT_EQ(L"Do you want to exit without saving changes?", box.text);
    EXPECT_EQ((std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}), box.ButtonTexts());
    EXPECT_EQ(IDNO, box.DefaultButton());

    ASSERT_TRUE(e2e::PressButton(box.window, IDNO));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(box.window); }));
    EXPECT_TRUE(m_program.IsRunning()) << "No closed the program";
    EXPECT_EQ(L"C:\\Changed", e2e::ControlText(main, IDC_EDIT_DUMP_FOLDER));

    m_program.RequestClose();
    box = e2e::WaitForMessageBox(m_program.Id());
    ASSERT_TRUE(box);
    ASSERT_TRUE(e2e::PressButton(box.window, IDYES));
    ASSERT_TRUE(m_program.WaitForExit());
    EXPECT_EQ(0u, m_program.ExitCode());
}

TEST_F(DriverInteractionTest, PostedF5AndEscapeAndCtrlNThroughRealInputReachTheProgram)
{
    reg64::CreateKey(LOCALDUMPS_KEY_PATH);
    reg64::SetString(LOCALDUMPS_KEY_PATH, L"DumpFolder", L"C:\\Stored", REG_EXPAND_SZ);
    ASSERT_TRUE(m_program.Start());
    const HWND main = m_program.MainWindow();

    // F5 reloads the stored folder over an edit.
    ASSERT_TRUE(e2e::SetControlText(main, IDC_EDIT_DUMP_FOLDER, L"C:\\Edited"));
    ASSERT_NE(nullptr, e2e::FocusedControl(main));
    ASSERT_TRUE(e2e::PostKeyToFocus(main, VK_F5));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ControlText(main, IDC_EDIT_DUMP_FOLDER) == L"C:\\Stored"; }))
        << "F5 did not refresh";

    // Ctrl+N opens the add dialog, Escape closes it again.
    ASSERT_TRUE(e2e::SendCtrlKey(main, 'N'));
    const HWND add = e2e::WaitForDialog(m_program.Id(), ADD_CAPTION);
    ASSERT_NE(nullptr, add) << "Ctrl+N did not open the add dialog";
    EXPECT_EQ(L"Add", e2e::ControlText(add, IDOK));
    EXPECT_EQ(::GetDlgItem(add, IDC_EDIT_PROCESS_NAME), e2e::FocusedControl(add));
    EXPECT_FALSE(::IsWindowEnabled(main)) << "the main window is not disabled behind the dialog";

    ASSERT_TRUE(e2e::PostKeyToFocus(add, VK_ESCAPE));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FindDialog(m_program.Id(), ADD_CAPTION); }));
    EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsWindowEnabled(main) != FALSE; }));
    e2e::RemoteListView list(::GetDlgItem(main, IDC_LIST_PROGRAMS));
    EXPECT_EQ(0, list.RowCount());

    m_program.Terminate();
}

TEST_F(DriverInteractionTest, AScreenshotOfTheMainWindowIsABitmapOfItsSize)
{
    ASSERT_TRUE(m_program.Start());
    const HWND main = m_program.MainWindow();
    RECT rect = {};
    ASSERT_TRUE(::GetWindowRect(main, &rect));

    const std::wstring path = e2e::SaveScreenshot(main, L"e2e-main-window");
    ASSERT_FALSE(path.empty());

    FILE* file = _wfopen(path.c_str(), L"rb");
    ASSERT_NE(nullptr, file);
    BITMAPFILEHEADER header = {};
    BITMAPINFOHEADER info = {};
    ASSERT_EQ(1u, fread(&header, sizeof(header), 1, file));
    ASSERT_EQ(1u, fread(&info, sizeof(info), 1, file));
    std::vector<BYTE> pixels(info.biSizeImage);
    const size_t read = fread(pixels.data(), 1, pixels.size(), file);
    fclose(file);

    EXPECT_EQ(0x4D42, header.bfType);
    EXPECT_EQ(24, info.biBitCount);
    EXPECT_EQ(rect.right - rect.left, info.biWidth);
    EXPECT_EQ(rect.bottom - rect.top, info.biHeight);
    ASSERT_EQ(pixels.size(), read);
    // A window has more than one colour: the face, the texts, the edit fields.
    size_t differing = 0;
    for (size_t i = 3; i + 2 < pixels.size(); i += 3)
        differing += (pixels[i] != pixels[0] || pixels[i + 1] != pixels[1] || pixels[i + 2] != pixels[2]);
    EXPECT_GT(differing, pixels.size() / 300);

    m_program.RequestClose();
    EXPECT_TRUE(m_program.WaitForExit());
}

TEST_F(DriverInteractionTest, RealClicksSelectARowAndTheDuplicateQuestionReachesTheMainWindow)
{
    reg64::CreateKey(ProgramKeyPath(L"alpha.exe"));
    reg64::CreateKey(ProgramKeyPath(L"beta.exe"));
    ASSERT_TRUE(m_program.Start());
    const HWND main = m_program.MainWindow();
    e2e::RemoteListView list(::GetDlgItem(main, IDC_LIST_PROGRAMS));
    ASSERT_EQ(2, list.RowCount());

    // A click on the second row selects and focuses it alone.
    RECT row = {};
    ASSERT_TRUE(list.RowRect(1, row));
    ::SetForegroundWindow(main);
    ASSERT_TRUE(e2e::ClickAt({row.left + 10, row.top + (row.bottom - row.top) / 2}));
    ASSERT_TRUE(e2e::WaitUntil([&] { return list.SelectedRows() == std::vector<int>{1}; }));
    EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED), list.ItemState(1));
    EXPECT_EQ(0u, list.ItemState(0));

    // A click on "&+" opens the add dialog; a name that another row holds in other letters is
    // refused there, and that row becomes the selected one.
    ASSERT_TRUE(e2e::ClickAt(e2e::CentreOf(::GetDlgItem(main, IDC_BTN_ADD_PROGRAM))));
    const HWND add = e2e::WaitForDialog(m_program.Id(), ADD_CAPTION);
    ASSERT_NE(nullptr, add);
    ASSERT_TRUE(e2e::SetControlText(add, IDC_EDIT_PROCESS_NAME, L" ALPHA.exe "));
    ASSERT_TRUE(e2e::PressButton(add, IDOK));
    const e2e::MessageBoxInfo box = e2e::WaitForMessageBox(m_program.Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(L"Settings for the following process name already exist:\n\nALPHA.exe", box.text);
    EXPECT_EQ((std::vector<std::wstring>{L"OK"}), box.ButtonTexts());
    EXPECT_EQ(std::vector<int>{0}, list.SelectedRows());
    EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED), list.ItemState(0));

    ASSERT_TRUE(e2e::PressButton(box.window, IDOK));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(box.window); }));
    EXPECT_EQ(::GetDlgItem(add, IDC_EDIT_PROCESS_NAME), e2e::FocusedControl(add));
    ASSERT_TRUE(e2e::PressButton(add, IDCANCEL));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(add); }));
    EXPECT_EQ(2, list.RowCount());

    m_program.RequestClose();
    EXPECT_TRUE(m_program.WaitForExit()) << "a refused add left something unsaved";
}
