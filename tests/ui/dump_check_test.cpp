// Whether Windows writes dumps, and why it would not: each cause set up for real in the test prefix
// (the owner of a folder alone through the seam), seen in the main window's status line and in the
// check window, and gone after a refresh once the cause is removed. The prefix's own automatic
// debugger is switched off for the cases and switched on again afterwards.
#include <windows.h>
#include <commctrl.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/platform_values.h"
#include "model/dump_folder_acl.h"
#include "model/text_utils.h"
#include "res/resource.h"
#include "tests/support/seam_recorder.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

const wchar_t* const AEDEBUG = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
const wchar_t* const ON = L"Crash dumps are on: Windows writes a dump file when a program crashes.";
const wchar_t* const OFF = L"Crash dumps are off: Windows writes no dump files until settings are saved.";
const wchar_t* const NOTE = L"Each user's dumps go to that user's own profile";
const std::wstring FOLDER = L"C:\\kestrune-check-dumps";

void SetText(HKEY root, const std::wstring& path, REGSAM view, const wchar_t* name, const std::wstring& text)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                               &key, nullptr));
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

void DeleteKey(HKEY root, const std::wstring& path, REGSAM view)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS)
        return;
    ::RegDeleteTreeW(key, nullptr);
    ::RegCloseKey(key);
    ::RegDeleteKeyExW(root, path.c_str(), view, 0);
}

void SetAutoDebugger(const wchar_t* value)
{
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        SetText(HKEY_LOCAL_MACHINE, AEDEBUG, view, L"Auto", value);
}

void FreshFolder()
{
    ::RemoveDirectoryW(FOLDER.c_str());
    ::CreateDirectoryW(FOLDER.c_str(), nullptr);
}

// A folder owned by LOCAL SERVICE, where everyone may write.
DWORD WINAPI ForeignOwnerSecurity(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID* owner, PSID*, PACL* dacl, PACL*,
                                  PSECURITY_DESCRIPTOR* descriptor)
{
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"O:LSD:(A;;FA;;;WD)", SDDL_REVISION_1, descriptor,
                                                                nullptr))
        return ::GetLastError();
    BOOL present = FALSE, defaulted = FALSE;
    ::GetSecurityDescriptorOwner(*descriptor, owner, &defaulted);
    ::GetSecurityDescriptorDacl(*descriptor, &present, dacl, &defaulted);
    return ERROR_SUCCESS;
}

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

// The status line as it reads, without the link's markup.
std::wstring StatusLine(HWND window)
{
    std::wstring text = WindowText(::GetDlgItem(window, IDC_LINK_DUMP_STATUS));
    for (const wchar_t* tag : {L"<a>", L"</a>"}) {
        for (size_t at = text.find(tag); at != std::wstring::npos; at = text.find(tag))
            text.erase(at, std::wcslen(tag));
    }
    return text;
}

// Set up and taken down around the base's own SetUp and TearDown (which runs SetUp again).
class DumpCheckTest : public MainWindowTest {
protected:
    DumpCheckTest()
    {
        for (size_t i = 0; i < 2; ++i) {
            HKEY key = nullptr;
            m_hadWerKey[i] = ::RegOpenKeyExW(USER_HIVES[i], USER_WER_KEYS[i], 0, KEY_READ, &key) == ERROR_SUCCESS;
            ::RegCloseKey(key);
        }
        CleanUp();
    }
    ~DumpCheckTest() override
    {
        CleanUp();
        SetAutoDebugger(L"1");  // as the prefix had it
        for (size_t i = 0; i < 2; ++i) {
            if (!m_hadWerKey[i])
                ::RegDeleteKeyW(USER_HIVES[i], USER_WER_KEYS[i]);
        }
    }
    // Every cause taken away, the automatic debugger off.
    void CleanUp()
    {
        LocalDumpsTest::SetUp();
        DeleteKey(HKEY_CURRENT_USER, LOCALDUMPS_KEY_PATH, 0);
        DeleteKey(HKEY_USERS, std::wstring(L".Default\\") + LOCALDUMPS_KEY_PATH, 0);
        HKEY wer = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, WER_KEY_PATH, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &wer) == 0) {
            ::RegDeleteValueW(wer, L"Disabled");
            ::RegCloseKey(wer);
        }
        Sys().GetSecurityInfo = RealSystemCalls().GetSecurityInfo;
        SetAutoDebugger(L"0");
        ::RemoveDirectoryW(FOLDER.c_str());
    }

    // The user hives that the cases write into, and whether their error reporting key was there.
    const HKEY USER_HIVES[2] = {HKEY_CURRENT_USER, HKEY_USERS};
    const wchar_t* const USER_WER_KEYS[2] = {WER_KEY_PATH, L".Default\\" WER_KEY_PATH};
    bool m_hadWerKey[2] = {};
};

struct CheckCase {
    const char* what;
    std::function<void()> cause;
    std::function<void()> remove;
    std::vector<std::wstring> rows;  // in the check window
    int problems;
    bool keyExists;
    const wchar_t* mentions;  // in the explanation of the cause's row, the first row but "No problems found."
};

TEST_F(DumpCheckTest, EachCauseShowsInTheStatusLineAndTheCheckWindowAndGoesWithARefreshOnceRemoved)
{
    const std::wstring debugger = L"A debugger starts instead of a dump";
    const std::wstring wer = WER_KEY_PATH;
    const CheckCase cases[] = {
        {"nothing found", [] {}, [] {}, {L"No problems found."}, 0, false, nullptr},
        {"an empty key", [] { reg64::CreateKey(LOCALDUMPS_KEY_PATH); }, [] { reg64::DeleteTree(LOCALDUMPS_KEY_PATH); },
         {L"No problems found.", NOTE}, 0, true, L"not set, so Windows uses %LOCALAPPDATA%\\CrashDumps"},
        {"a per-user folder", [] { reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"%TEMP%\\Dumps"); },
         [] { reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, FOLDER); },
         {L"No problems found.", NOTE}, 0, true, L"folder %TEMP%\\Dumps refers to the profile"},
        {"the 32-bit view",
         [] {
             SetText(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, KEY_WOW64_32KEY, VALUE_DUMP_FOLDER, L"C:\\Dumps");
             SetText(HKEY_LOCAL_MACHINE, ProgramKeyPath(L"old.exe"), KEY_WOW64_32KEY, VALUE_DUMP_FOLDER, L"C:\\Old");
         },
         [] { DeleteKey(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, KEY_WOW64_32KEY); },
         {L"Settings in the 32-bit registry view are ignored"}, 1, false,
         L"the values DumpFolder and the program keys old.exe."},
        {"your own hive", [] { SetText(HKEY_CURRENT_USER, LOCALDUMPS_KEY_PATH, 0, VALUE_DUMP_FOLDER, L"C:\\Mine"); },
         [] { DeleteKey(HKEY_CURRENT_USER, LOCALDUMPS_KEY_PATH, 0); }, {L"Per-user settings are ignored"}, 1, false,
         L"reg delete \"HKCU\\SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps\" /f"},
        {"another loaded hive",
         [] { SetText(HKEY_USERS, std::wstring(L".Default\\") + LOCALDUMPS_KEY_PATH, 0, VALUE_DUMP_FOLDER, L"C:\\X"); },
         [] { DeleteKey(HKEY_USERS, std::wstring(L".Default\\") + LOCALDUMPS_KEY_PATH, 0); },
         {L"Per-user settings are ignored"}, 1, false, L"HKEY_USERS\\.Default\\SOFTWARE"},
        {"the automatic debugger in both views", [] { SetAutoDebugger(L"1"); }, [] { SetAutoDebugger(L"0"); },
         {debugger, debugger}, 2, false, L"When a 64-bit program crashes"},
        {"error reporting turned off", [&] { reg64::SetDword(wer, L"Disabled", 1); },
         [&] { reg64::SetDword(wer, L"Disabled", 0); }, {L"Error reporting is turned off by policy"}, 1, false,
         L"\"Disabled\" is 1 in HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting:"},
        {"a count of 0",
         [] {
             reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 0);
             reg64::CreateKey(ProgramKeyPath(L"a.exe"));
             reg64::SetDword(ProgramKeyPath(L"b.exe"), VALUE_DUMP_COUNT, 3);
         },
         [] { reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 10); },
         {L"Programs without their own count get no dumps", NOTE}, 1, true, L"no count of their own: a.exe."},
        {"a folder standard users cannot write to",
         [] {
             FreshFolder();
             reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, FOLDER);
         },
         [] { ApplyDumpFolderAcl(FOLDER.c_str()); }, {L"Standard users cannot write to the dump folder"}, 1, true,
         L"The dump folder C:\\kestrune-check-dumps exists"},
        {"a program's folder of another account",
         [] {
             FreshFolder();
             reg64::SetString(ProgramKeyPath(L"tool.exe"), VALUE_DUMP_FOLDER, FOLDER);
             Sys().GetSecurityInfo = ForeignOwnerSecurity;
         },
         [] { Sys().GetSecurityInfo = RealSystemCalls().GetSecurityInfo; },
         {L"The dump folder belongs to NT AUTHORITY\\LOCAL SERVICE", NOTE}, 1, true, L"(used by tool.exe)"},
        {"a program key with a path",
         [] { reg64::CreateKey(ProgramKeyPath(L"tools/app.exe")); },
         [] { reg64::DeleteTree(ProgramKeyPath(L"tools/app.exe")); }, {L"tools/app.exe is not a file name", NOTE}, 1,
         true, L"\"tools/app.exe\" in LocalDumps names a path"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const CheckCase& c = cases[i];
        SCOPED_TRACE(c.what);
        CleanUp();
        c.cause();
        const size_t causeRow = c.rows[0] == L"No problems found." && c.rows.size() > 1 ? 1 : 0;
        std::wstring before, after, explanation;
        std::vector<std::wstring> rows;
        CheckFindings remaining;
        CMainWindowProbe window;
        window.steps = {
            [&](CMainWindowProbe& w) {
                before = StatusLine(w.m_hWnd);
                WhenWindowShows(L"Dump Collection Check", [&](HWND check) {
                    const HWND list = ::GetDlgItem(check, IDC_LIST_FINDINGS);
                    rows = RowNames(list);
                    SelectOnly(list, {static_cast<int>(causeRow)});
                    explanation = WindowText(::GetDlgItem(check, IDC_EDIT_FINDING_TEXT));
                    ::PostMessageW(check, WM_COMMAND, IDCANCEL, 0);
                });
                // From the Help menu, or from the status line's link.
                if (i % 2 == 0) {
                    ::SendMessageW(w.m_hWnd, WM_COMMAND, ID_HELP_CHECK_DUMPS, 0);
                } else {
                    NMLINK note = {};
                    note.hdr = {::GetDlgItem(w.m_hWnd, IDC_LINK_DUMP_STATUS), IDC_LINK_DUMP_STATUS, NM_CLICK};
                    ::SendMessageW(w.m_hWnd, WM_NOTIFY, IDC_LINK_DUMP_STATUS, reinterpret_cast<LPARAM>(&note));
                }
            },
            [&](CMainWindowProbe& w) {
                c.remove();
                w.RefreshFromRegistry();
                after = StatusLine(w.m_hWnd);
                remaining = w.Findings();
            },
        };
        ASSERT_EQ(PROBE_FINISHED, window.Run());
        std::wstring expected = c.keyExists ? ON : OFF;
        if (c.problems > 0)
            expected += FormatText(c.problems == 1 ? L"\n%d problem found" : L"\n%d problems found", c.problems);
        EXPECT_EQ(expected, before);
        EXPECT_EQ(c.rows, rows);
        if (c.mentions) {
            EXPECT_NE(std::wstring::npos, explanation.find(c.mentions)) << testing::PrintToString(explanation);
        }
        EXPECT_EQ(std::wstring::npos, after.find(L"found")) << testing::PrintToString(after);
        for (const CheckFinding& finding : remaining)
            EXPECT_NE(finding.title, c.rows[causeRow]) << "still there after the refresh";
    }
}

TEST_F(DumpCheckTest, TheStatusLineFollowsAFailedSaveAndShowsInTheReadOnlyMode)
{
    // A save that stops after it made the key: the window stays open and says what it left.
    std::wstring before, after;
    {
        SeamRecorder seam;
        seam.FailCall("RegSetValueExW", 1, ERROR_ACCESS_DENIED);
        CMainWindowProbe window;
        window.steps = {[&](CMainWindowProbe& w) {
            before = StatusLine(w.m_hWnd);
            ::SendDlgItemMessageW(w.m_hWnd, IDC_COMBO_DUMP_TYPE, CB_SETCURSEL, 2, 0);
            SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, L"5");
            EXPECT_FALSE(w.CommitChanges());
            after = StatusLine(w.m_hWnd);
        }};
        EXPECT_EQ(PROBE_FINISHED, window.Run());
    }
    EXPECT_EQ(OFF, before);
    EXPECT_EQ(ON, after);

    // The read-only mode shows the line too; and its longest text fits its two lines of room.
    const BOOL saved = g_notSupported;
    g_notSupported = TRUE;
    CMainWindowProbe window;
    window.steps = {[&](CMainWindowProbe& w) {
        EXPECT_EQ(ON, StatusLine(w.m_hWnd));
        const HWND line = ::GetDlgItem(w.m_hWnd, IDC_LINK_DUMP_STATUS);
        ::SetWindowTextW(line, DumpStatusText(false, 99).c_str());
        RECT room = {};
        ::GetClientRect(line, &room);
        RECT needed = room;
        const HDC dc = ::GetDC(line);
        const HGDIOBJ font = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(line, WM_GETFONT, 0, 0)));
        const std::wstring shown = StatusLine(w.m_hWnd);
        ::DrawTextW(dc, shown.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        ::SelectObject(dc, font);
        ::ReleaseDC(line, dc);
        EXPECT_LE(needed.bottom, room.bottom);
    }};
    EXPECT_EQ(PROBE_FINISHED, window.Run());
    g_notSupported = saved;
}

} // namespace
