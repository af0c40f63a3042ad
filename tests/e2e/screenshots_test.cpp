// Pictures of the real program for the README: the main window with stored settings and a few
// program rows, and the program settings dialog editing one of them. Saved as BMP files under
// build/screenshots at every run.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/e2e/kestrune_session.h"

using namespace e2e;

namespace {

class ScreenshotsTest : public KestruneSession {};

// The picture file exists and holds a 24-bit bitmap of the window's size.
void ExpectPictureOf(HWND window, const std::wstring& path)
{
    ASSERT_FALSE(path.empty()) << "no screenshot was written";
    RECT rect = {};
    ASSERT_TRUE(::GetWindowRect(window, &rect));
    FILE* file = _wfopen(path.c_str(), L"rb");
    ASSERT_NE(nullptr, file);
    BITMAPFILEHEADER header = {};
    BITMAPINFOHEADER info = {};
    const bool read = fread(&header, sizeof(header), 1, file) == 1 && fread(&info, sizeof(info), 1, file) == 1;
    fclose(file);
    ASSERT_TRUE(read);
    EXPECT_EQ(0x4D42, header.bfType);
    EXPECT_EQ(rect.right - rect.left, info.biWidth);
    EXPECT_EQ(rect.bottom - rect.top, info.biHeight);
}

} // namespace

TEST_F(ScreenshotsTest, TheMainWindowWithProgramsAndTheProgramSettingsDialog)
{
    StoreSampleConfiguration();
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_EQ((std::vector<std::wstring>{L"explorer.exe", L"game.exe", L"service.exe"}), RowNames());
    SelectRows({1});
    ::RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::SendMessageW(Main(), WM_NULL, 0, 0);
    ExpectPictureOf(Main(), SaveScreenshot(Main(), L"main-window"));

    ASSERT_TRUE(PressButton(Main(), IDC_BTN_EDIT_PROGRAM));
    const HWND edit = WaitForDialog(Pid(), EDIT_CAPTION);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(L"game.exe", ControlText(edit, IDC_EDIT_PROCESS_NAME));
    EXPECT_EQ(L"D:\\Dumps\\Game", ControlText(edit, IDC_EDIT_DUMP_FOLDER));
    EXPECT_EQ(2, ComboSelection(edit, IDC_COMBO_DUMP_TYPE));
    EXPECT_EQ(L"3", ControlText(edit, IDC_EDIT_DUMP_COUNT));
    ::SendMessageW(edit, WM_NULL, 0, 0);
    ExpectPictureOf(edit, SaveScreenshot(edit, L"program-dialog"));

    ASSERT_TRUE(PressButton(edit, IDCANCEL));
    WaitUntilGone(edit);

    // What the pictures show is a configuration that the program accepts as it stands: SAVE goes
    // through, the ACL box on, and the program ends.
    const wchar_t* const folder = L"C:\\CrashDumps";
    const bool existedBefore = FolderExists(folder);
    ASSERT_TRUE(PressButton(Main(), IDOK));
    const bool saved = m_program.WaitForExit();
    const std::wstring refusal = FindMessageBox(Pid()).text;
    EXPECT_TRUE(saved) << "the pictured configuration was refused: " << std::string(refusal.begin(), refusal.end());
    if (!existedBefore)
        ::RemoveDirectoryW(folder);
}
