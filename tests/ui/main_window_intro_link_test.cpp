// The two links of the main window's introduction, clicked and pressed with Enter, on the real
// main window. The test prefix's shell is given an https handler that does not
// exist (and given back afterwards), so every request fails: the error box then names the page
// the link asked for.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/web_pages.h"
#include "model/text_utils.h"
#include "res/resource.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

const wchar_t* const HTTPS_COMMAND_KEY = L"Software\\Classes\\https\\shell\\open\\command";

const REGSAM VIEWS[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

std::wstring HttpsCommand(REGSAM view)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, HTTPS_COMMAND_KEY, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return L"";
    wchar_t text[512] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    DWORD type = 0;
    const LSTATUS status = ::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? text : L"";
}

bool SetHttpsCommand(REGSAM view, const std::wstring& command)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, HTTPS_COMMAND_KEY, 0, KEY_SET_VALUE | view, &key) != ERROR_SUCCESS)
        return false;
    const LSTATUS status = ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// The prefix's browser is swapped for one that does not exist while an object of this lives.
class BrokenBrowser {
public:
    BrokenBrowser()
    {
        for (int i = 0; i < 2; ++i) {
            m_saved[i] = HttpsCommand(VIEWS[i]);
            SetHttpsCommand(VIEWS[i], L"\"C:\\no such folder\\no-browser.exe\" \"%1\"");
        }
    }
    ~BrokenBrowser()
    {
        // Backwards: where both views share the key, the first one saved holds the original.
        for (int i = 1; i >= 0; --i) {
            if (!m_saved[i].empty())
                SetHttpsCommand(VIEWS[i], m_saved[i]);
        }
    }
    BrokenBrowser(const BrokenBrowser&) = delete;
    BrokenBrowser& operator=(const BrokenBrowser&) = delete;

private:
    std::wstring m_saved[2];
};

// The notification the link control sends its dialog for a click (NM_CLICK) or Enter (NM_RETURN)
// on link `index`. It is sent as the control would send it rather than produced by a real click:
// Wine's link control numbers the links among all pieces of its text in these notifications (1
// and 3 here), unlike the hit test and unlike Windows (0 and 1).
void NotifyLink(HWND window, UINT code, int index)
{
    const HWND link = ::GetDlgItem(window, IDC_LINK_INTRO);
    NMLINK note = {};
    note.hdr.hwndFrom = link;
    note.hdr.idFrom = IDC_LINK_INTRO;
    note.hdr.code = code;
    note.item.iLink = index;
    ::SendMessageW(window, WM_NOTIFY, IDC_LINK_INTRO, reinterpret_cast<LPARAM>(&note));
}

} // namespace

TEST_F(MainWindowTest, EachIntroductionLinkAsksForItsOwnPageAndAFailureNamesItWithTheShellsCode)
{
    struct Case {
        const char* how;
        UINT code;
        int link;
        const wchar_t* page;  // nullptr: nothing is opened
    };
    const Case cases[] = {
        {"click minidump files", NM_CLICK, 0, PAGE_MINIDUMP_DOCS},
        {"click diagnose the issue", NM_CLICK, 1, PAGE_CRASH_VIDEO},
        {"Enter on minidump files", NM_RETURN, 0, PAGE_MINIDUMP_DOCS},
        {"Enter on diagnose the issue", NM_RETURN, 1, PAGE_CRASH_VIDEO},
        {"a third link", NM_CLICK, 2, nullptr},
    };
    const BrokenBrowser browser;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        int code = 0;
        if (c.page) {
            // What the shell of this prefix answers for the page.
            ::SetLastError(0);
            ASSERT_FALSE(OpenUrl(nullptr, c.page));
            code = static_cast<int>(::GetLastError());
            ASSERT_NE(0, code);
        }

        CMainWindowProbe window;
        window.steps = {[&](CMainWindowProbe& w) { NotifyLink(w.m_hWnd, c.code, c.link); }};
        EXPECT_EQ(window.Run(), PROBE_FINISHED) << "the window stays open";
        if (!c.page) {
            EXPECT_TRUE(window.boxes.empty());
            continue;
        }
        ASSERT_EQ(window.boxes.size(), 1u);
        EXPECT_EQ(window.boxes[0].text, FormatText(L"ERROR: (%d) Failed to open web page:\n\n%s", code, c.page));
        EXPECT_EQ(window.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    }
}
