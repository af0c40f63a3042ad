// Whether Windows writes dumps, and why it would not: each cause set up for real in the test prefix
// (the owner of a folder alone through the seam), seen in the main window's status line and in the
// check window, and gone after a refresh once the cause is removed.
#include <windows.h>
#include <commctrl.h>
#include <sddl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "model/dump_folder_acl.h"
#include "res/resource.h"
#include "tests/support/seam_recorder.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

const wchar_t* const ON = L"Crash dumps are on: Windows writes a dump file when a program crashes.";
const wchar_t* const OFF = L"Crash dumps are off: Windows writes no dump files until settings are saved.";
const std::wstring NONE = L"No problems found.";
const std::wstring NOTE = L"Each user's dumps go to that user's own profile";
const wchar_t* const FOLDER = L"C:\\kestrune-check-dumps";
#define OTHER_HIVE L".Default\\"

// A dump folder in a key Windows ignores. HKEY_LOCAL_MACHINE alone is the 32-bit view for this
// 32-bit process.
void SetFolderIn(HKEY root, const std::wstring& path)
{
    ::RegSetKeyValueW(root, path.c_str(), VALUE_DUMP_FOLDER, REG_SZ, L"C:\\Dumps", sizeof(L"C:\\Dumps"));
}

// "1" or "0" in both views.
void SetAutoDebugger(const wchar_t* value)
{
    const wchar_t* const aeDebug = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
    reg64::SetString(aeDebug, L"Auto", value);
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, aeDebug, L"Auto", REG_SZ, value, sizeof(L"1"));
}

// A folder owned by LOCAL SERVICE, where everyone may write.
DWORD WINAPI ForeignOwnerSecurity(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID* owner, PSID*, PACL* dacl, PACL*,
                                  PSECURITY_DESCRIPTOR* descriptor)
{
    BOOL present = FALSE, defaulted = FALSE;
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"O:LSD:(A;;FA;;;WD)", SDDL_REVISION_1, descriptor, nullptr);
    ::GetSecurityDescriptorOwner(*descriptor, owner, &defaulted);
    ::GetSecurityDescriptorDacl(*descriptor, &present, dacl, &defaulted);
    return ERROR_SUCCESS;
}

std::wstring StatusLine(CMainWindowProbe& window) { return ControlText(window.m_hWnd, IDC_LINK_DUMP_STATUS); }

// What the status line says with the LocalDumps key as it is now and these rows in the check window.
std::wstring ExpectedStatus(const std::vector<std::wstring>& rows)
{
    const wchar_t* const found[] = {L"", L"\n<a>1 problem found</a>", L"\n<a>2 problems found</a>"};
    const auto notes = std::count(rows.begin(), rows.end(), NONE) + std::count(rows.begin(), rows.end(), NOTE);
    return (reg64::KeyExists(LOCALDUMPS_KEY_PATH) ? ON : OFF) + std::wstring(found[rows.size() - notes]);
}

// Every cause taken away and the prefix's own automatic debugger off around each case; afterwards
// the prefix as it was.
class DumpCheckTest : public MainWindowTest {
protected:
    void SetUp() override { MainWindowTest::SetUp(); CleanUp(); }
    void TearDown() override { CleanUp(); SetAutoDebugger(L"1"); }  // not the base's, which runs SetUp again
    void CleanUp()
    {
        LocalDumpsTest::SetUp();  // the LocalDumps keys of both views
        ::RegDeleteTreeW(HKEY_CURRENT_USER, LOCALDUMPS_KEY_PATH);
        ::RegDeleteTreeW(HKEY_USERS, OTHER_HIVE LOCALDUMPS_KEY_PATH);
        ::SHDeleteEmptyKeyW(HKEY_CURRENT_USER, WER_KEY_PATH);  // when a case made them
        ::SHDeleteEmptyKeyW(HKEY_USERS, OTHER_HIVE WER_KEY_PATH);
        HKEY wer = nullptr;
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, WER_KEY_PATH, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &wer);
        ::RegDeleteValueW(wer, L"Disabled");
        ::RegCloseKey(wer);
        SetAutoDebugger(L"0");
        Sys().GetSecurityInfo = RealSystemCalls().GetSecurityInfo;
        ::RemoveDirectoryW(FOLDER);
    }
};

struct CheckCase {
    void (*cause)();
    std::vector<std::wstring> titles;   // the check window's rows
    const wchar_t* mentions = nullptr;  // by the explanation of the first row that is not NONE
    void (*remove)() = nullptr;         // instead of the clean-up, where a harmless value must pass too
};

TEST_F(DumpCheckTest, EachCauseShowsInTheStatusLineAndTheCheckWindowAndGoesWithARefreshOnceRemoved)
{
    const std::wstring debugger = L"A debugger starts instead of a dump";
    const std::wstring perUser = L"Per-user settings are ignored";
    const CheckCase cases[] = {
        {[] {}, {NONE}},
        {[] { reg64::CreateKey(LOCALDUMPS_KEY_PATH); }, {NONE, NOTE}, L"not set, so Windows uses %LOCALAPPDATA%"},
        {[] { SetFolderIn(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH);
              SetFolderIn(HKEY_LOCAL_MACHINE, ProgramKeyPath(L"old.exe")); },
         {L"Settings in the 32-bit registry view are ignored"}, L"the values DumpFolder and the program keys old.exe."},
        {[] { SetFolderIn(HKEY_CURRENT_USER, LOCALDUMPS_KEY_PATH);
              SetFolderIn(HKEY_USERS, OTHER_HIVE LOCALDUMPS_KEY_PATH); },
         {perUser, perUser}, L"(your own user hive)"},
        {[] { SetAutoDebugger(L"1"); }, {debugger, debugger}, L"When a 64-bit program crashes"},
        {[] { reg64::SetDword(WER_KEY_PATH, L"Disabled", 1); }, {L"Error reporting is turned off by policy"},
         L"is 1 in HKEY_LOCAL_MACHINE\\" WER_KEY_PATH L":", [] { reg64::SetDword(WER_KEY_PATH, L"Disabled", 0); }},
        {[] { reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 0);
              reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"%TEMP%\\Dumps");
              reg64::CreateKey(ProgramKeyPath(L"a.exe"));
              reg64::SetDword(ProgramKeyPath(L"b.exe"), VALUE_DUMP_COUNT, 3); },
         {L"Programs without their own count get no dumps", NOTE}, L"no count of their own: a.exe.",
         [] { reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 10); }},
        {[] { ::CreateDirectoryW(FOLDER, nullptr);
              reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, FOLDER); },
         {L"Standard users cannot write to the dump folder"}, nullptr, [] { ApplyDumpFolderAcl(FOLDER); }},
        {[] { ::CreateDirectoryW(FOLDER, nullptr);
              reg64::SetString(ProgramKeyPath(L"tool.exe"), VALUE_DUMP_FOLDER, FOLDER);
              Sys().GetSecurityInfo = ForeignOwnerSecurity; },
         {L"The dump folder belongs to NT AUTHORITY\\LOCAL SERVICE", NOTE}, L"(used by tool.exe)"},
        {[] { reg64::CreateKey(ProgramKeyPath(L"tools/app.exe")); }, {L"tools/app.exe is not a file name", NOTE}},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const CheckCase& c = cases[i];
        SCOPED_TRACE(testing::PrintToString(c.titles));
        CleanUp();
        c.cause();
        const int causeRow = c.titles.size() > 1 && c.titles[0] == NONE;
        std::vector<std::wstring> rows;
        CMainWindowProbe window;
        window.steps = {
            [&](CMainWindowProbe& w) {
                EXPECT_EQ(ExpectedStatus(c.titles), StatusLine(w));
                WhenWindowShows(L"Dump Collection Check", [&](HWND check) {
                    const HWND list = ::GetDlgItem(check, IDC_LIST_FINDINGS);
                    rows = RowNames(list);
                    SelectOnly(list, {causeRow});
                    const std::wstring explanation = ControlText(check, IDC_EDIT_FINDING_TEXT);
                    if (c.mentions) {
                        EXPECT_NE(std::wstring::npos, explanation.find(c.mentions)) << explanation;
                    }
                    ::PostMessageW(check, WM_COMMAND, IDCANCEL, 0);
                });
                // From the Help menu, or from the status line's link.
                NMHDR click = {::GetDlgItem(w.m_hWnd, IDC_LINK_DUMP_STATUS), IDC_LINK_DUMP_STATUS, NM_CLICK};
                if (i % 2 == 0)
                    ::SendMessageW(w.m_hWnd, WM_COMMAND, ID_HELP_CHECK_DUMPS, 0);
                else
                    ::SendMessageW(w.m_hWnd, WM_NOTIFY, IDC_LINK_DUMP_STATUS, reinterpret_cast<LPARAM>(&click));
            },
            [&](CMainWindowProbe& w) {
                c.remove ? c.remove() : CleanUp();
                w.RefreshFromRegistry();
                EXPECT_EQ(ExpectedStatus({}), StatusLine(w));
                for (const CheckFinding& finding : w.Findings())
                    EXPECT_NE(c.titles[causeRow], finding.title) << "still there after the refresh";
            },
        };
        ASSERT_EQ(PROBE_FINISHED, window.Run());
        EXPECT_EQ(c.titles, rows);
    }
}

TEST_F(DumpCheckTest, TheStatusLineFollowsAFailedSaveAndItsLongestTextFits)
{
    // A save that stops after it made the key: the window stays open and says what it left.
    SeamRecorder seam;
    seam.FailCall("RegSetValueExW", 1, ERROR_ACCESS_DENIED);
    CMainWindowProbe window;
    window.steps = {[&](CMainWindowProbe& w) {
        EXPECT_EQ(OFF, StatusLine(w));
        ::SendDlgItemMessageW(w.m_hWnd, IDC_COMBO_DUMP_TYPE, CB_SETCURSEL, 2, 0);
        SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, L"5");
        EXPECT_FALSE(w.CommitChanges());
        EXPECT_EQ(ON, StatusLine(w));
        const HWND line = ::GetDlgItem(w.m_hWnd, IDC_LINK_DUMP_STATUS);
        RECT room = {};
        ::GetClientRect(line, &room);
        RECT needed = room;
        const HDC dc = ::GetDC(line);
        const HGDIOBJ font = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(line, WM_GETFONT, 0, 0)));
        ::DrawTextW(dc, (OFF + std::wstring(L"\n99 problems found")).c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK);
        ::SelectObject(dc, font);
        ::ReleaseDC(line, dc);
        EXPECT_LE(needed.bottom, room.bottom);
    }};
    EXPECT_EQ(PROBE_FINISHED, window.Run());
}

} // namespace
