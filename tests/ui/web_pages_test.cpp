// Opening pages through the shell of the test prefix, which has no browser for our test scheme.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "app/web_pages.h"

namespace {

const wchar_t UNHANDLED_URL[] = L"kestrune-test:x";

// Runs `body` on a thread of its own, whose COM state starts uninitialised.
template <typename Body>
void OnFreshThread(Body body)
{
    std::thread thread(body);
    thread.join();
}

TEST(OpenUrl, AnAddressWithoutAHandlerFailsWithTheShellsCode)
{
    for (const wchar_t* url : {UNHANDLED_URL, static_cast<const wchar_t*>(nullptr), L""}) {
        SCOPED_TRACE(url ? "given address" : "null address");
        ::SetLastError(0);
        EXPECT_FALSE(OpenUrl(nullptr, url));
        EXPECT_NE(0u, ::GetLastError());
    }
}

TEST(OpenUrl, ASuccessLeavesNoError)
{
    // rundll32 without arguments ends at once: a harmless target that the shell does run.
    wchar_t program[MAX_PATH] = {};
    ::GetSystemDirectoryW(program, MAX_PATH);
    const std::wstring target = std::wstring(program) + L"\\rundll32.exe";
    ::SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_TRUE(OpenUrl(nullptr, target.c_str()));
    EXPECT_EQ(0u, ::GetLastError());
}

TEST(OpenUrl, LeavesTheThreadsComStateAsItFoundIt)
{
    OnFreshThread([] {
        OpenUrl(nullptr, UNHANDLED_URL);
        // Still uninitialised: a first initialisation reports S_OK, not S_FALSE.
        const HRESULT again = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(S_OK, again);
        if (SUCCEEDED(again))
            ::CoUninitialize();
    });
    OnFreshThread([] {
        ASSERT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        OpenUrl(nullptr, UNHANDLED_URL);
        ::CoUninitialize();
        const HRESULT again = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(S_OK, again) << "the apartment was left with an extra reference";
        if (SUCCEEDED(again))
            ::CoUninitialize();
    });
    OnFreshThread([] {
        // A multithreaded apartment refuses the call's own initialisation; nothing is undone then.
        ASSERT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        OpenUrl(nullptr, UNHANDLED_URL);
        EXPECT_EQ(S_FALSE, ::CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "still a member";
        ::CoUninitialize();
        ::CoUninitialize();
    });
}

TEST(WebPages, TheInformationPageCarriesTheVersion)
{
    const std::wstring page = ProgramInfoPage();
    EXPECT_EQ(L"https://kestrune.example.org/php/dwnld_fdbk.php?what=info&name=Kestrune&ver=1.0.1", page);
}

} // namespace
