// Custom dumps in the main window against the real registry, from the stored flags to the saved
// edit; and the export's question to save first.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

DWORD StoredDword(const wchar_t* name)
{
    const RawValue value = reg64::Get(LOCALDUMPS_KEY_PATH, name);
    return value.exists ? *reinterpret_cast<const DWORD*>(value.data.data()) : 0xDEADBEEF;
}

// Reads the contents dialog (checked bits and the value line), clicks the box of `toggle`, confirms.
void ToggleAndConfirm(HWND dialog, DWORD toggle, DWORD& checked, std::wstring& value)
{
    value = ControlText(dialog, IDC_STATIC_DUMP_FLAGS_VALUE);
    const HWND list = ::GetDlgItem(dialog, IDC_LIST_DUMP_FLAGS);
    for (int row = 0; row < RowCount(list); ++row) {
        const DWORD bit = static_cast<DWORD>(RowData(list, row));
        const BOOL on = ListView_GetCheckState(list, row);
        checked |= on ? bit : 0;
        if (bit == toggle)
            ListView_SetCheckState(list, row, !on);
    }
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST_F(MainWindowTest, CustomDumpsShowTheirBoxesAndSaveTheEditedFlags)
{
    const struct {
        const char* what;
        DWORD storedType;
        DWORD storedFlags;     // 0: none stored
        DWORD shownChecked;    // the known bits checked when the dialog opens
        const wchar_t* value;  // how the line under the list starts
        DWORD toggle;          // 0: none
        DWORD written;
    } cases[] = {
        {"stored custom dump without flags", 0, 0, 0x121, L"CustomDumpFlags: 0x00000121 (not stored", 0x4, 0x125},
        {"Windows' default confirmed stays unstored", 0, 0, 0x121, L"CustomDumpFlags: 0x00000121", 0, 0xDEADBEEF},
        {"unknown bits kept through an edit", 0, 0x80001002, 0x1002, L"CustomDumpFlags: 0x80001002\nBits not",
         0x2, 0x80001000},
        {"mini dump turned into a custom dump", 1, 0x1825, 0x1825, L"CustomDumpFlags: 0x00001825", 0x2000, 0x3825},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reg64::DeleteTree(LOCALDUMPS_KEY_PATH);
        reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, c.storedType);
        if (c.storedFlags)
            reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_CUSTOM_DUMP_FLAGS, c.storedFlags);

        CMainWindowProbe window;
        DWORD checked = 0;
        std::wstring value;
        window.steps = {
            [&](CMainWindowProbe& w) {
                EXPECT_EQ(c.storedType == 0, IsControlEnabled(w.m_hWnd, IDC_BTN_DUMP_CONTENTS));
                const HWND combo = ::GetDlgItem(w.m_hWnd, IDC_COMBO_DUMP_TYPE);
                ::SendMessageW(combo, CB_SETCURSEL, 3, 0);  // "Custom dump (choose what it holds)"
                ::SendMessageW(w.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_COMBO_DUMP_TYPE, CBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(combo));
                WhenWindowShows(L"Custom Dump Contents", [&](HWND d) { ToggleAndConfirm(d, c.toggle, checked, value); });
                ::SendMessageW(w.m_hWnd, WM_COMMAND, IDC_BTN_DUMP_CONTENTS, 0);
            },
            [&](CMainWindowProbe& w) { EXPECT_TRUE(w.CommitChanges()); },
        };
        window.Run();
        EXPECT_EQ(c.shownChecked, checked);
        EXPECT_EQ(0u, value.find(c.value)) << std::string(value.begin(), value.end());
        EXPECT_TRUE(window.boxes.empty());
        EXPECT_EQ(0u, StoredDword(VALUE_DUMP_TYPE));
        EXPECT_EQ(c.written, StoredDword(VALUE_CUSTOM_DUMP_FLAGS));
    }
}

TEST_F(MainWindowTest, ExportAsksToSaveUnsavedEditsFirstAndOnlyCancelStops)
{
    const struct {
        const wchar_t* count;  // typed into the count field; null: nothing edited
        int answer;
        bool proceeds;
        DWORD stored;
    } cases[] = {{nullptr, 0, true, 5}, {L"42", IDNO, true, 5}, {L"42", IDCANCEL, false, 5}, {L"42", IDYES, true, 42}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        reg64::DeleteTree(LOCALDUMPS_KEY_PATH);
        reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 5);
        CMainWindowProbe window;
        window.answers = {c.answer};
        window.steps = {[&](CMainWindowProbe& w) {
            if (c.count)
                SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, c.count);
            EXPECT_EQ(c.proceeds, w.SaveBeforeExport());
            EXPECT_EQ(c.count && c.answer != IDYES, w.HasUnsavedChanges()) << "the edits stay, or are saved";
        }};
        EXPECT_EQ(PROBE_FINISHED, window.Run()) << "the window stays open, after every step";
        ASSERT_EQ(c.count ? 1u : 0u, window.boxes.size());
        if (c.count) {
            EXPECT_EQ(static_cast<UINT>(MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2), window.boxes[0].type);
        }
        EXPECT_EQ(c.stored, StoredDword(VALUE_DUMP_COUNT));
    }
}
