// The application object's start-up: it writes the version into the profile, seeds the suggested
// settings, runs the main window and ends with it. Here a second application object runs beside
// the test program's own, so its name, and with it its profile key, is the executable's.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/kestrune_app.h"
#include "framework/app_object.h"
#include "app/web_pages.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

std::wstring ProfileKey(const CAppObject& app)
{
    return std::wstring(L"Software\\") + MAKER_HOST_NAME + L"\\" + app.AppName();
}

void DeleteUserKey(const std::wstring& path)
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}

std::wstring UserString(const std::wstring& path, const wchar_t* name)
{
    wchar_t text[256] = {};
    DWORD size = sizeof(text);
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return text;
}

} // namespace

TEST_F(MainWindowTest, StartUpWritesTheVersionRunsTheMainWindowAndEndsWithIt)
{
    CKestruneApp app;
    const std::wstring key = ProfileKey(app);
    DeleteUserKey(key);
    DeleteUserKey(ProfileKey(*CurrentApp()) + L"\\Settings\\Suggested");
    ::RegSetKeyValueW(HKEY_CURRENT_USER, (key + L"\\Settings").c_str(), L"ver", REG_SZ, L"0.9", 8);

    bool mainWindowShown = false;
    WhenWindowShows(L"Kestrune", [&](HWND window) {
        mainWindowShown = ::GetDlgItem(window, 1005) != nullptr;
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(mainWindowShown);
    EXPECT_EQ(app.ExitInstance(), 0);

    EXPECT_EQ(UserString(key + L"\\Settings", L"ver"), L"1.0.1");
    // The suggested settings are seeded in the profile of the process's application (here the test
    // program's own).
    EXPECT_NE(UserString(ProfileKey(*CurrentApp()) + L"\\Settings\\Suggested", L"DumpFolder"), L"<missing>");
    EXPECT_EQ(app.ProfileKeyName(), MAKER_HOST_NAME);
    DeleteUserKey(key);
}
