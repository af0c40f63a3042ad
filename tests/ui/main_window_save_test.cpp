// Saving from the main window, refresh, the rights notice and the read-only mode of an unsupported
// Windows version.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/platform_values.h"
#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/support/seam_recorder.h"
#include "tests/ui/main_window_harness.h"
#include "ui/settings/dump_folder_rules.h"
#include "ui/settings/dump_settings_panel.h"

using namespace main_window_test;

namespace {

void PostCommand(HWND window, UINT id)
{
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// Pretends to run on a Windows older than Vista for the life of the object.
class UnsupportedPlatform {
public:
    UnsupportedPlatform() : m_saved(g_notSupported) { g_notSupported = TRUE; }
    ~UnsupportedPlatform() { g_notSupported = m_saved; }

private:
    BOOL m_saved;
};

std::wstring TempFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

} // namespace

TEST_F(MainWindowTest, SaveWritesTheChangesAndEndsTheWindow)
{
    reg64::CreateKey(ProgramKeyPath(L"old.exe"));
    reg64::SetDword(ProgramKeyPath(L"kept.exe"), VALUE_DUMP_TYPE, 1);
    const std::wstring folder = TempFolder(L"kestrune-main-window-save");
    ::RemoveDirectoryW(folder.c_str());

    for (UINT command : {static_cast<UINT>(IDOK), static_cast<UINT>(ID_FILE_SAVE_AND_EXIT)}) {
        CMainWindowProbe window;
        window.answers = {IDYES};
        window.steps = {
            [&](CMainWindowProbe& w) {
                SetControlText(w.m_hWnd, IDC_EDIT_DUMP_FOLDER, folder);
                ::CheckDlgButton(w.m_hWnd, IDC_CHECK_SET_ACL, BST_UNCHECKED);
                SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, L"12");
                const std::vector<std::wstring> names = RowNames(w.ListWindow());
                for (int row = 0; row < RowCount(w.ListWindow()); ++row) {
                    if (names[static_cast<size_t>(row)] == L"old.exe")
                        SelectOnly(w.ListWindow(), {row});
                }
                if (!SelectedRows(w.ListWindow()).empty())
                    w.DeletePrograms();
                PostCommand(w.m_hWnd, command);
            },
            [](CMainWindowProbe&) {},
        };
        EXPECT_EQ(window.Run(), IDOK) << command;
        EXPECT_EQ(reg64::GetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER), folder);
        EXPECT_EQ(reg64::Subkeys(LOCALDUMPS_KEY_PATH), std::vector<std::wstring>{L"kept.exe"});
        const RawValue count = reg64::Get(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT);
        ASSERT_TRUE(count.exists);
        EXPECT_EQ(*reinterpret_cast<const DWORD*>(count.data.data()), 12u);
        EXPECT_NE(::GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    ::RemoveDirectoryW(folder.c_str());
}

TEST_F(MainWindowTest, SaveStopsAtAnInvalidStoredCountWithTheFocusOnIt)
{
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 0);
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, 9);

    CMainWindowProbe window;
    bool committed = true;
    window.steps = {[&](CMainWindowProbe& w) {
        // A stored 0 shows as it is, and a type the list does not offer selects the empty item.
        EXPECT_EQ(ControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT), L"0");
        EXPECT_EQ(::SendDlgItemMessageW(w.m_hWnd, IDC_COMBO_DUMP_TYPE, CB_GETCURSEL, 0, 0), 0);
        committed = w.CommitChanges();
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
    EXPECT_FALSE(committed);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, PANEL_MSG_DUMP_COUNT_INVALID);
    EXPECT_EQ(window.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(window.boxes[0].focusId, IDC_EDIT_DUMP_COUNT);
    EXPECT_EQ(reg64::Get(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE).data.size(), 4u);
}

TEST_F(MainWindowTest, SaveRefusesAFolderThatIsNotAFullPathAndWritesNothing)
{
    CMainWindowProbe window;
    bool committed = true;
    window.steps = {[&](CMainWindowProbe& w) {
        SetControlText(w.m_hWnd, IDC_EDIT_DUMP_FOLDER, L"Dumps");
        ::SetFocus(::GetDlgItem(w.m_hWnd, IDC_EDIT_DUMP_COUNT));
        committed = w.CommitChanges();
    }};
    SeamRecorder seam;
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
    EXPECT_FALSE(committed);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, PANEL_MSG_FOLDER_NOT_FULL_PATH);
    EXPECT_EQ(window.boxes[0].focusId, IDC_EDIT_DUMP_FOLDER);
    EXPECT_EQ(seam.RegistryChanges(), 0);
    EXPECT_EQ(seam.CountOf("NtCreateFile"), 0);
}

TEST_F(MainWindowTest, RefreshDiscardsEditsAndKeepsTheAclBox)
{
    reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"C:\\Dumps");
    reg64::CreateKey(ProgramKeyPath(L"a.exe"));

    CMainWindowProbe window;
    window.answers = {IDYES};
    window.steps = {[](CMainWindowProbe& w) {
        SetControlText(w.m_hWnd, IDC_EDIT_DUMP_FOLDER, L"C:\\Edited");
        ::CheckDlgButton(w.m_hWnd, IDC_CHECK_SET_ACL, BST_UNCHECKED);
        SelectOnly(w.ListWindow(), {0});
        w.DeletePrograms();
        reg64::CreateKey(ProgramKeyPath(L"b.exe"));

        // F5 reaches the window through its accelerators, whichever control has the focus.
        ::SetFocus(::GetDlgItem(w.m_hWnd, IDC_EDIT_DUMP_COUNT));
        MSG key = {::GetFocus(), WM_KEYDOWN, VK_F5, 0x003F0001, 0, {0, 0}};
        EXPECT_TRUE(w.PreTranslateMessage(&key));

        EXPECT_EQ(ControlText(w.m_hWnd, IDC_EDIT_DUMP_FOLDER), L"C:\\Dumps");
        EXPECT_EQ(::IsDlgButtonChecked(w.m_hWnd, IDC_CHECK_SET_ACL), static_cast<UINT>(BST_UNCHECKED));
        EXPECT_EQ(RowNames(w.ListWindow()), (std::vector<std::wstring>{L"a.exe", L"b.exe"}));
        for (const ProgramEntry& entry : w.Entries())
            EXPECT_FALSE(entry.modified);
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

TEST_F(MainWindowTest, WithoutWriteAccessTheNoticeShowsAndSavingStaysOffered)
{
    struct Case {
        bool denied;
        bool noticeVisible;
    };
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        SeamRecorder seam;
        if (c.denied)
            seam.FailCall("RegOpenKeyExW", 0, ERROR_ACCESS_DENIED);
        CMainWindowProbe window;
        window.steps = {[&](CMainWindowProbe& w) {
            EXPECT_EQ(w.CanSave(), !c.denied);
            EXPECT_EQ(::IsWindowVisible(::GetDlgItem(w.m_hWnd, IDC_STATIC_ADMIN_NOTICE)) != FALSE, c.noticeVisible);
            EXPECT_TRUE(IsControlEnabled(w.m_hWnd, IDOK));
        }};
        EXPECT_EQ(window.Run(), PROBE_FINISHED);
    }
}

TEST_F(MainWindowTest, UnsupportedPlatformOpensReadOnlyAndSaysSoOnce)
{
    UnsupportedPlatform unsupported;
    CMainWindowProbe window;
    bool committed = true;
    window.steps = {[&](CMainWindowProbe& w) {
        EXPECT_FALSE(IsControlEnabled(w.m_hWnd, IDOK));
        EXPECT_TRUE(::GetMenuState(::GetMenu(w.m_hWnd), ID_FILE_SAVE_AND_EXIT, MF_BYCOMMAND) & MF_GRAYED);
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w.m_hWnd, IDC_STATIC_ADMIN_NOTICE)));
        EXPECT_TRUE(w.boxes.empty());
        PumpFor(900);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, L"Windows Error Reporting is not supported on your Operating System");
        EXPECT_EQ(w.boxes[0].type, static_cast<UINT>(MB_ICONERROR));
        committed = w.CommitChanges();
        PumpFor(600);
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
    EXPECT_FALSE(committed);
    ASSERT_EQ(window.boxes.size(), 2u);
    EXPECT_EQ(window.boxes[1].text, L"ERROR: Not supported on your Operating System");
    EXPECT_FALSE(reg64::KeyExists(LOCALDUMPS_KEY_PATH));
}

TEST_F(MainWindowTest, SystemMenuEndsWithTheAboutItem)
{
    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        const HMENU systemMenu = ::GetSystemMenu(w.m_hWnd, FALSE);
        const int count = ::GetMenuItemCount(systemMenu);
        ASSERT_GE(count, 2);
        EXPECT_EQ(::GetMenuItemID(systemMenu, count - 1), static_cast<UINT>(ID_SYSMENU_ABOUT));
        EXPECT_TRUE(::GetMenuState(systemMenu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
        wchar_t text[64] = {};
        ::GetMenuStringW(systemMenu, count - 1, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"&About...");
        // Every other system command still gets its default handling: SC_MINIMIZE minimizes.
        ::SendMessageW(w.m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(::IsIconic(w.m_hWnd));
        ::SendMessageW(w.m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_FALSE(::IsIconic(w.m_hWnd));
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
}

TEST_F(MainWindowTest, ASaveAsksBeforeItWritesOverChangesMadeSinceLoading)
{
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, 1);
    reg64::SetDword(ProgramKeyPath(L"gone.exe"), VALUE_DUMP_TYPE, 1);

    CMainWindowProbe window;
    window.answers = {IDNO, IDYES};
    window.steps = {[](CMainWindowProbe& w) {
        SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, L"7");
        reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, 2);
        reg64::CreateKey(ProgramKeyPath(L"added.exe"));
        reg64::DeleteTree(ProgramKeyPath(L"gone.exe"));
        EXPECT_FALSE(w.CommitChanges());  // No: nothing is written, the edits stay
        EXPECT_FALSE(reg64::Get(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT).exists);
        EXPECT_EQ(ControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT), L"7");
        EXPECT_TRUE(w.CommitChanges());  // Yes: saved as the window has it
    }};
    EXPECT_EQ(window.Run(), IDOK);
    ASSERT_EQ(window.boxes.size(), 2u);
    EXPECT_EQ(window.boxes[0].text,
              L"The following settings were changed by another program after Kestrune loaded them. What saving does "
              L"to each:\n\nDumpType: set back\nadded.exe (added): removed\ngone.exe (deleted): comes back\n\n"
              L"Do you want to save your settings over them?");
    EXPECT_EQ(window.boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(reg64::Get(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE).data, (std::vector<BYTE>{1, 0, 0, 0}));
    EXPECT_EQ(reg64::Subkeys(LOCALDUMPS_KEY_PATH), std::vector<std::wstring>{L"gone.exe"});
}

TEST_F(MainWindowTest, WhatAFailedSaveWroteIsNotTakenForAnOutsideChange)
{
    reg64::SetDword(ProgramKeyPath(L"a.exe"), VALUE_DUMP_TYPE, 1);
    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        ::CheckDlgButton(w.m_hWnd, IDC_CHECK_SET_ACL, BST_UNCHECKED);
        SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, L"7");
        SelectOnly(w.ListWindow(), {0});
        w.DeletePrograms();
        {
            // The global count is written, then the deletion of a.exe fails.
            SeamRecorder seam;
            seam.FailCall("NtDeleteKey", 0, ERROR_ACCESS_DENIED);
            EXPECT_FALSE(w.CommitChanges());
        }
        EXPECT_TRUE(w.CommitChanges());
    }};
    window.answers = {IDYES, IDOK};
    EXPECT_EQ(window.Run(), IDOK);
    ASSERT_EQ(window.boxes.size(), 2u) << "the deletion question and the error, no other question";
    EXPECT_EQ(window.boxes[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(reg64::Subkeys(LOCALDUMPS_KEY_PATH).empty());
}

TEST_F(MainWindowTest, OnlyClearGlobalSettingsLetsAnEmptySaveRemoveTheKey)
{
    // Values of types the window cannot show: it shows empty fields.
    reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, L"5");
    reg64::SetRaw(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, REG_MULTI_SZ, L"C:\\d\0", 12);
    CMainWindowProbe window;
    window.steps = {[](CMainWindowProbe& w) {
        EXPECT_TRUE(w.SaveChanges());  // untouched
        EXPECT_EQ(reg64::ValueNames(LOCALDUMPS_KEY_PATH).size(), 2u);
        ::SendMessageW(w.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_EDIT_CLEAR_GLOBAL, 0), 0);
        ::SendMessageW(w.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_EDIT_REFRESH, 0), 0);
        EXPECT_TRUE(w.SaveChanges());  // the refresh took the clearing back
        EXPECT_EQ(reg64::ValueNames(LOCALDUMPS_KEY_PATH).size(), 2u);
        ::SendMessageW(w.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_EDIT_CLEAR_GLOBAL, 0), 0);
        EXPECT_TRUE(w.SaveChanges());
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
    EXPECT_FALSE(reg64::KeyExists(LOCALDUMPS_KEY_PATH));
}

TEST_F(MainWindowTest, ChangesMadeWhileABoxIsOpenAreAskedAboutNeverWrittenOver)
{
    reg64::SetDword(ProgramKeyPath(L"a.exe"), VALUE_DUMP_TYPE, 1);
    CMainWindowProbe window;
    window.answers = {IDYES, IDOK, IDYES, IDNO, IDOK};
    window.whileBoxOpen = [](size_t box) {
        if (box == 1)  // the error box of a failed save
            reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 3);
        if (box == 2)  // the question about that change
            reg64::CreateKey(ProgramKeyPath(L"new.exe"));
    };
    window.steps = {[](CMainWindowProbe& w) {
        SelectOnly(w.ListWindow(), {0});
        w.DeletePrograms();
        {
            SeamRecorder seam;
            seam.FailCall("NtDeleteKey", 0, ERROR_ACCESS_DENIED);
            EXPECT_FALSE(w.CommitChanges());
        }
        EXPECT_FALSE(w.CommitChanges());  // Yes to the first question, No to the second
        SeamRecorder seam;
        seam.FailCall("RegEnumKeyExW", 0, ERROR_INVALID_HANDLE);
        EXPECT_FALSE(w.CommitChanges());  // the check cannot read the keys
        EXPECT_EQ(seam.RegistryChanges(), 0);
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
    ASSERT_EQ(window.boxes.size(), 5u) << "the deletion question, the error, two questions, the incomplete read";
    EXPECT_NE(window.boxes[2].text.find(L"loaded them. What saving does to each:\n\nDumpCount: removed\n\n"),
              std::wstring::npos);
    EXPECT_NE(window.boxes[3].text.find(L"while Kestrune was asking. What saving does to each:\n\n"
                                        L"new.exe (added): removed\n\n"),
              std::wstring::npos);
    EXPECT_EQ(window.boxes[4].text.find(L"ERROR: The settings could not be read again to look for changes that other programs made."), 0u);
    EXPECT_EQ(reg64::Get(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT).data, (std::vector<BYTE>{3, 0, 0, 0}));
    EXPECT_EQ(reg64::Subkeys(LOCALDUMPS_KEY_PATH), (std::vector<std::wstring>{L"a.exe", L"new.exe"}));
}
