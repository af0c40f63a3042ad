// The About box: its texts on their own and on the real box, and F1 handed to the main window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/platform_values.h"
#include "framework/app_object.h"
#include "res/resource.h"
#include "tests/ui/modal_driver.h"
#include "ui/common/about_dlg.h"

namespace {

TEST(AboutBox, BitnessTexts)
{
    struct Case {
        int bitness;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, L"32-bit OS"}, {1, L"64-bit OS"}, {-1, L"Unknown bitness OS"}, {2, L"Unknown bitness OS"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.text, CAboutDlg::BitnessText(c.bitness)) << "bitness " << c.bitness;
}

TEST(AboutBox, YearRangeFollowsTheYear)
{
    struct Case {
        int year;
        const wchar_t* years;
    };
    const Case cases[] = {
        {2016, L"2016"}, {2017, L"2017"}, {2018, L"2017-2018"}, {2026, L"2017-2026"}, {987, L"0987"},
        {-1, L"2017"},  // no date: the first year alone
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.years, CAboutDlg::YearText(c.year)) << "year " << c.year;
        EXPECT_EQ(std::wstring(L"Copyright (c) ") + c.years + L" kestrune.example.org",
                  CAboutDlg::CopyrightText(c.year))
            << "year " << c.year;
    }
}

TEST(AboutBox, TheYearIsTheLocalOne)
{
    SYSTEMTIME local = {};
    ::GetLocalTime(&local);
    const int year = CAboutDlg::CurrentLocalYear();
    // Allow for the turn of the year between the two readings.
    EXPECT_TRUE(year == local.wYear || year == local.wYear + 1) << year;
}

struct AboutTexts {
    std::wstring product, version, copyright, link;
    HWND owner = nullptr;
};

TEST(AboutBox, TheRealBoxShowsItsTextsAndClosesWithOk)
{
    AboutTexts seen;
    HWND about = nullptr;
    ModalDriver driver({
        WaitForDialog(L"About", about),
        [&] {
            seen.product = ItemText(about, IDC_STATIC_PRODUCT);
            seen.version = ItemText(about, IDC_STATIC_VERSION);
            seen.copyright = ItemText(about, IDC_STATIC_COPYRIGHT);
            seen.link = ItemText(about, IDC_LINK_WEBSITE);
            ::PostMessageW(about, WM_COMMAND, IDOK, 0);
            return true;
        },
    });
    ShowAboutBox();

    ASSERT_FALSE(driver.TimedOut());
    EXPECT_EQ(std::wstring(L"Kestrune\t(") + CAboutDlg::BitnessText(g_osBitness) + L")", seen.product);
    EXPECT_EQ(L"Version: 1.0.1", seen.version);
    SYSTEMTIME local = {};
    ::GetLocalTime(&local);
    EXPECT_EQ(L"Copyright (c) 2017-" + std::to_wstring(local.wYear) + L" kestrune.example.org", seen.copyright);
    EXPECT_NE(std::wstring::npos, seen.link.find(L"kestrune.example.org")) << "link text";
    EXPECT_FALSE(::IsWindow(about)) << "closed and destroyed";
}

// Stands in for the main window: records the WM_HELP it receives and opens the About box.
class CHelpRecordingWindow : public CModalDialog {
public:
    CHelpRecordingWindow() : CModalDialog(IDD_ABOUTBOX) {}
    int m_helpRequests = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_HELP) {
            ++m_helpRequests;
            return TRUE;
        }
        if (message == WM_OPEN_ABOUT) {
            ShowAboutBox();
            EndDialog(IDOK);
            return 0;
        }
        return CModalDialog::WindowProc(message, wParam, lParam);
    }
    BOOL OnInitDialog() override
    {
        ::SetWindowTextW(m_hWnd, L"Main window stand-in");  // not taken for the About box
        ::PostMessageW(m_hWnd, WM_OPEN_ABOUT, 0, 0);
        return CModalDialog::OnInitDialog();
    }

private:
    static const UINT WM_OPEN_ABOUT = WM_APP + 0x4B1;
};

TEST(AboutBox, HelpGoesToTheMainWindowAndTheBoxStaysOpen)
{
    CHelpRecordingWindow mainWindow;
    CurrentApp()->SetMainWindow(&mainWindow);

    HWND about = nullptr;
    HWND owner = nullptr;
    HWND mainHwnd = nullptr;
    LRESULT helpResult = 0;
    int requestsBeforeHelp = -1;
    bool openAfterHelp = false;
    ModalDriver driver({
        WaitForDialog(L"About", about),
        [&] {
            owner = ::GetWindow(about, GW_OWNER);
            mainHwnd = mainWindow.GetSafeHwnd();
            requestsBeforeHelp = mainWindow.m_helpRequests;
            HELPINFO help = {sizeof(help), HELPINFO_WINDOW, IDOK, ::GetDlgItem(about, IDOK), 0, {0, 0}};
            helpResult = ::SendMessageW(about, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
            openAfterHelp = ::IsWindowVisible(about) != FALSE;
            ::PostMessageW(about, WM_COMMAND, IDOK, 0);
            return true;
        },
    });
    const INT_PTR result = mainWindow.DoModal();
    CurrentApp()->ForgetMainWindow(&mainWindow);

    ASSERT_FALSE(driver.TimedOut());
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(mainHwnd, owner) << "owned by the main window";
    EXPECT_NE(nullptr, owner);
    EXPECT_EQ(0, requestsBeforeHelp);
    EXPECT_EQ(1, mainWindow.m_helpRequests);
    EXPECT_EQ(TRUE, helpResult);
    EXPECT_TRUE(openAfterHelp);
}

TEST(AboutBox, HelpWithoutAMainWindowDoesNothingButIsHandled)
{
    ASSERT_EQ(nullptr, CurrentApp()->MainWindow());
    HWND about = nullptr;
    LRESULT helpResult = 0;
    ModalDriver driver({
        WaitForDialog(L"About", about),
        [&] {
            HELPINFO help = {sizeof(help), HELPINFO_WINDOW, IDOK, ::GetDlgItem(about, IDOK), 0, {0, 0}};
            helpResult = ::SendMessageW(about, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
            ::PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
    });
    ShowAboutBox();
    ASSERT_FALSE(driver.TimedOut());
    EXPECT_EQ(TRUE, helpResult);
}

} // namespace
