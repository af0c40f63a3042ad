// Custom dumps in the main window against the real registry: the type field offers them, the
// contents dialog shows the stored flags (or Windows' default) as check boxes and keeps the bits it
// does not know; and the export's question to save first.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

const wchar_t* const CONTENTS_CAPTION = L"Custom Dump Contents";
const wchar_t* const EDIT_CAPTION = L"Edit Crash Dump Settings For Specific Program";
const int CUSTOM_ITEM = 3;
const long long NONE = -1;
const DWORD NOT_STORED = 0xDEADBEEF;

DWORD StoredDword(const std::wstring& path, const wchar_t* name)
{
    const RawValue value = reg64::Get(path, name);
    return value.exists && value.data.size() == 4 ? *reinterpret_cast<const DWORD*>(value.data.data()) : NOT_STORED;
}

// What the contents dialog showed: the bits of its checked rows and the line under the list.
struct ShownContents {
    DWORD checked = 0;
    std::wstring value;
};

// Reads the dialog, flips the row of `toggle` as a click on its box would, and confirms.
void ToggleAndConfirm(HWND dialog, DWORD toggle, ShownContents& shown)
{
    shown.value = ControlText(dialog, IDC_STATIC_DUMP_FLAGS_VALUE);
    const HWND list = ::GetDlgItem(dialog, IDC_LIST_DUMP_FLAGS);
    const int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_PARAM | LVIF_STATE;
        item.iItem = row;
        item.stateMask = LVIS_STATEIMAGEMASK;
        ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        const bool checked = (item.state >> 12) == 2;
        if (checked)
            shown.checked |= static_cast<DWORD>(item.lParam);
        if (static_cast<DWORD>(item.lParam) == toggle) {
            item.mask = LVIF_STATE;
            item.state = INDEXTOSTATEIMAGEMASK(checked ? 1 : 2);
            ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        }
    }
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

} // namespace

TEST_F(MainWindowTest, CustomDumpsShowTheirBoxesAndSaveTheEditedFlags)
{
    struct Case {
        const char* what;
        DWORD storedType;
        long long storedFlags;
        DWORD shownChecked;     // the known bits checked when the dialog opens
        const wchar_t* value;   // the start of the line under the list
        DWORD toggle;
        DWORD written;
    } cases[] = {
        {"stored custom dump without flags", 0, NONE, 0x121, L"CustomDumpFlags: 0x00000121 (not stored", 0x4, 0x125},
        {"unknown bits kept through an edit", 0, 0x80001002, 0x1002, L"CustomDumpFlags: 0x80001002\nBits not",
         0x2, 0x80001000},
        {"mini dump turned into a custom dump", 1, 0x1825, 0x1825, L"CustomDumpFlags: 0x00001825", 0x2000, 0x3825},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reg64::DeleteTree(LOCALDUMPS_KEY_PATH);
        reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, c.storedType);
        if (c.storedFlags != NONE)
            reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_CUSTOM_DUMP_FLAGS, static_cast<DWORD>(c.storedFlags));
        reg64::SetDword(ProgramKeyPath(L"p.exe"), VALUE_DUMP_TYPE, 0);

        CMainWindowProbe window;
        ShownContents shown;
        bool programContentsEnabled = false;
        bool committed = false;
        window.steps = {
            [&](CMainWindowProbe& w) {
                EXPECT_EQ(L"Custom dump", CellText(w.ListWindow(), 0, 1));
                const HWND combo = ::GetDlgItem(w.m_hWnd, IDC_COMBO_DUMP_TYPE);
                EXPECT_EQ(c.storedType == 0, IsControlEnabled(w.m_hWnd, IDC_BTN_DUMP_CONTENTS));
                if (c.storedType != 0) {
                    ::SendMessageW(combo, CB_SETCURSEL, CUSTOM_ITEM, 0);
                    ::SendMessageW(w.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_COMBO_DUMP_TYPE, CBN_SELCHANGE),
                                   reinterpret_cast<LPARAM>(combo));
                }
                EXPECT_EQ(CUSTOM_ITEM, ::SendMessageW(combo, CB_GETCURSEL, 0, 0));
                ASSERT_TRUE(IsControlEnabled(w.m_hWnd, IDC_BTN_DUMP_CONTENTS));
                WhenWindowShows(CONTENTS_CAPTION, [&](HWND d) { ToggleAndConfirm(d, c.toggle, shown); });
                ::SendMessageW(w.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BTN_DUMP_CONTENTS, BN_CLICKED), 0);
            },
            [&](CMainWindowProbe& w) {
                SelectOnly(w.ListWindow(), {0});
                WhenWindowShows(EDIT_CAPTION, [&](HWND d) {
                    programContentsEnabled = IsControlEnabled(d, IDC_BTN_DUMP_CONTENTS);
                    ::PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
                });
                w.EditProgram(true);
            },
            [&](CMainWindowProbe& w) { committed = w.CommitChanges(); },
        };
        window.Run();
        EXPECT_EQ(c.shownChecked, shown.checked);
        EXPECT_EQ(0u, shown.value.find(c.value)) << std::string(shown.value.begin(), shown.value.end());
        EXPECT_TRUE(programContentsEnabled) << "the program dialog offers the contents of its custom dump";
        EXPECT_TRUE(committed);
        EXPECT_TRUE(window.boxes.empty());
        EXPECT_EQ(0u, StoredDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE));
        EXPECT_EQ(c.written, StoredDword(LOCALDUMPS_KEY_PATH, VALUE_CUSTOM_DUMP_FLAGS));
    }
}

TEST_F(MainWindowTest, ExportAsksToSaveUnsavedEditsFirstAndOnlyYesGoesOn)
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"kestrune-export-test.reg";
    struct Case {
        const char* what;
        bool edited;
        int answer;
        bool proceeds;
        DWORD storedCount;
    } cases[] = {
        {"nothing edited", false, 0, true, 5},
        {"No", true, IDNO, false, 5},
        {"Cancel", true, IDCANCEL, false, 5},
        {"Yes saves and stays open", true, IDYES, true, 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reg64::DeleteTree(LOCALDUMPS_KEY_PATH);
        reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 5);
        ::DeleteFileW(file.c_str());

        CMainWindowProbe window;
        window.answers = {c.answer};
        bool proceeds = false;
        bool unsavedAfter = true;
        bool exported = false;
        window.steps = {[&](CMainWindowProbe& w) {
            if (c.edited)
                SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, L"42");
            proceeds = w.SaveBeforeExport();
            unsavedAfter = w.HasUnsavedChanges();
            if (proceeds)
                exported = w.ExportStoredConfiguration(file);
        }};
        EXPECT_EQ(PROBE_FINISHED, window.Run()) << "the window stays open";
        EXPECT_EQ(c.proceeds, proceeds);
        ASSERT_EQ(c.edited ? 1u : 0u, window.boxes.size());
        if (c.edited)
            EXPECT_EQ(static_cast<UINT>(MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2), window.boxes[0].type);
        EXPECT_EQ(c.storedCount, StoredDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT));
        EXPECT_EQ(c.edited && !c.proceeds, unsavedAfter) << "the edits stay, or are saved";
        EXPECT_EQ(c.proceeds, exported);
        EXPECT_EQ(c.proceeds, ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES);
    }
    ::DeleteFileW(file.c_str());
}
