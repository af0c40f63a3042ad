// Dump type codes that the type list cannot show (codes set by other tools) are
// saved back exactly as stored until the user chooses in the type field, in the main window and in
// the program settings dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/support/seam_recorder.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

const wchar_t* const ADD_CAPTION = L"Add Crash Dump Settings For Specific Program";
const wchar_t* const EDIT_CAPTION = L"Edit Crash Dump Settings For Specific Program";
const DWORD NOT_STORED = 0xDEADBEEF;

DWORD StoredType(const std::wstring& path)
{
    const RawValue value = reg64::Get(path, VALUE_DUMP_TYPE);
    if (!value.exists || value.data.size() != 4)
        return NOT_STORED;
    return *reinterpret_cast<const DWORD*>(value.data.data());
}

// Keys as a user presses them in the closed type list.
void PressInTypeField(HWND dialog, UINT key)
{
    ::SendDlgItemMessageW(dialog, IDC_COMBO_DUMP_TYPE, WM_KEYDOWN, key, 0);
    ::SendDlgItemMessageW(dialog, IDC_COMBO_DUMP_TYPE, WM_KEYUP, key, 0xC0000000);
}

// Opens the list and takes the item it shows with Enter: a choice even when nothing moves.
void ChooseShownItem(HWND dialog)
{
    ::SendDlgItemMessageW(dialog, IDC_COMBO_DUMP_TYPE, CB_SHOWDROPDOWN, TRUE, 0);
    PressInTypeField(dialog, VK_RETURN);
}

} // namespace

TEST_F(MainWindowTest, UnlistedStoredTypesSurviveSavesThatDoNotTouchThem)
{
    const std::wstring program = ProgramKeyPath(L"p.exe");
    for (DWORD code : {0u, 3u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(testing::Message() << "stored type " << code);
        reg64::DeleteTree(LOCALDUMPS_KEY_PATH);
        reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, code);
        reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"%SystemDrive%\\Dumps", REG_EXPAND_SZ);
        reg64::SetDword(program, VALUE_DUMP_TYPE, code);

        CMainWindowProbe window;
        bool unsaved = true;
        bool committed = false;
        window.steps = {
            [&](CMainWindowProbe& w) {
                unsaved = w.HasUnsavedChanges();
                ::CheckDlgButton(w.m_hWnd, IDC_CHECK_SET_ACL, BST_UNCHECKED);
                SelectOnly(w.ListWindow(), {0});
                WhenWindowShows(EDIT_CAPTION, [](HWND dialog) {
                    ConfirmProgramDialog(dialog, ControlText(dialog, IDC_EDIT_PROCESS_NAME));
                });
                w.EditProgram(true);
            },
            [&](CMainWindowProbe& w) {
                EXPECT_FALSE(w.Entries()[0].modified) << "confirmed unchanged";
                WhenWindowShows(ADD_CAPTION, [](HWND dialog) { ConfirmProgramDialog(dialog, L"added.exe"); });
                w.AddProgram();
            },
            [&](CMainWindowProbe& w) { committed = w.CommitChanges(); },
        };
        window.Run();
        EXPECT_FALSE(unsaved) << "an untouched window has nothing to save";
        EXPECT_TRUE(committed);
        EXPECT_TRUE(window.boxes.empty());
        EXPECT_EQ(code, StoredType(LOCALDUMPS_KEY_PATH));
        EXPECT_EQ(code, StoredType(program));
        EXPECT_TRUE(reg64::KeyExists(ProgramKeyPath(L"added.exe")));
        EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), reg64::Get(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER).type);
    }
}

TEST_F(MainWindowTest, ChoosingInTheTypeFieldWritesTheChoice)
{
    struct Case {
        const char* what;
        DWORD stored;
        std::function<void(HWND)> choose;
        DWORD written;
    };
    const Case cases[] = {
        {"custom dump alone, untouched", 0, [](HWND) {}, 0},
        {"arrow down to the mini dump", 3, [](HWND d) { PressInTypeField(d, VK_DOWN); }, 1},
        {"the empty item taken on purpose", 3, ChooseShownItem, NOT_STORED},
        {"the empty item taken over a custom dump", 0, [](HWND d) { PressInTypeField(d, VK_HOME); }, NOT_STORED},
        {"the custom dump shown taken on purpose", 0, ChooseShownItem, 0},
        {"global settings cleared", 0xFFFFFFFF,
         [](HWND d) { ::SendMessageW(d, WM_COMMAND, ID_EDIT_CLEAR_GLOBAL, 0); }, NOT_STORED},
    };
    for (const Case& c : cases) {
        reg64::DeleteTree(LOCALDUMPS_KEY_PATH);
        reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, c.stored);

        CMainWindowProbe window;
        bool committed = false;
        window.steps = {[&](CMainWindowProbe& w) {
            c.choose(w.m_hWnd);
            committed = w.CommitChanges();
        }};
        window.Run();
        EXPECT_TRUE(committed) << c.what;
        EXPECT_EQ(c.written, StoredType(LOCALDUMPS_KEY_PATH)) << c.what;
    }
}
