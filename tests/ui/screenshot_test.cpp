// Pictures of the About box, the check window and the program settings dialog, as they draw
// themselves under the test display, saved to screenshots/ beside the test program
// (build/screenshots/).
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model/checks/dump_checks.h"
#include "res/resource.h"
#include "tests/support/ui_message_pump.h"
#include "tests/ui/modal_driver.h"
#include "tests/ui/png_writer.h"
#include "ui/common/about_dlg.h"
#include "ui/common/label_fit.h"
#include "ui/main/dump_check_dlg.h"
#include "ui/settings/dump_settings_panel.h"

namespace {

const wchar_t SCREENSHOT_FOLDER[] = L"screenshots";

std::wstring ScreenshotPath(const wchar_t* name)
{
    ::CreateDirectoryW(SCREENSHOT_FOLDER, nullptr);
    return std::wstring(SCREENSHOT_FOLDER) + L"\\" + name;
}

// Lets the window and its controls finish painting.
void Settle(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(200);
}

void ExpectPicture(const RgbImage& image, HWND window)
{
    RECT frame;
    ::GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, image.width);
    EXPECT_EQ(frame.bottom - frame.top, image.height);
    // Frame, caption, texts and controls: far more than a blank face.
    EXPECT_GE(image.DistinctColours(16), 8u);
}

// Shows a modal window, takes its picture once it has painted and closes it with `closeId`.
void PictureOfModal(const wchar_t* caption, int closeId, const std::function<void()>& show, const wchar_t* file)
{
    RgbImage image;
    HWND window = nullptr;
    ModalDriver driver({
        WaitForDialog(caption, window),
        [&] {
            Settle(window);
            image = CaptureWindow(window);
            ExpectPicture(image, window);
            ::PostMessageW(window, WM_COMMAND, closeId, 0);
            return true;
        },
    });
    show();
    ASSERT_FALSE(driver.TimedOut());
    EXPECT_TRUE(WritePng(ScreenshotPath(file), image));
}

TEST(Screenshots, AboutBox)
{
    PictureOfModal(L"About", IDOK, ShowAboutBox, L"about-box.png");
}

TEST(Screenshots, DumpCheckWindow)
{
    // What the check finds in the test prefix as it is: its automatic debugger, in both views.
    CDumpCheckDlg check(RunDumpChecks(ReadStoredState()));
    PictureOfModal(L"Dump Collection Check", IDCANCEL, [&] { check.DoModal(); }, L"check-window.png");
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST(Screenshots, ProgramSettings)
{
    const HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ADDEDIT_PROG),
                                             nullptr, PlainDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    ::SetWindowTextW(dialog, L"Edit Crash Dump Settings For Specific Program");
    ::SetDlgItemTextW(dialog, IDOK, L"OK");
    ::SetDlgItemTextW(dialog, IDC_EDIT_PROCESS_NAME, L"notepad.exe");
    ::SendDlgItemMessageW(dialog, IDC_STATIC_EXE_ICON, STM_SETICON,
                          reinterpret_cast<WPARAM>(::LoadIconW(nullptr, IDI_APPLICATION)), 0);

    DumpSettingsPanel panel;
    panel.Attach(dialog);
    panel.InitPanel();
    WidenClippedLabels(dialog);
    DumpSettings settings;
    settings.hasFolder = TRUE;
    settings.folder = L"C:\\CrashDumps";
    settings.hasDumpType = TRUE;
    settings.dumpType = 2;
    settings.hasDumpCount = TRUE;
    settings.dumpCount = 10;
    settings.setAcl = TRUE;
    panel.ShowSettings(settings);

    ::SetWindowPos(dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetFocus(::GetDlgItem(dialog, IDOK));
    Settle(dialog);
    const RgbImage image = CaptureWindow(dialog);
    ExpectPicture(image, dialog);
    EXPECT_TRUE(WritePng(ScreenshotPath(L"program-settings.png"), image));
    ::DestroyWindow(dialog);
}

} // namespace
