// The unsaved-change rule of the main window and the exit confirmation that rests on it.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

const wchar_t* const EXIT_QUESTION = L"Do you want to exit without saving changes?";

void PostCommand(HWND window, UINT id)
{
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void StoreGlobalsAndOneProgram()
{
    reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"C:\\Dumps");
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 5);
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, 2);
    reg64::CreateKey(ProgramKeyPath(L"a.exe"));
}

} // namespace

TEST_F(MainWindowTest, UnsavedChangeRuleComparesWithTheStateAtOpening)
{
    struct Case {
        const char* what;
        Step change;
        bool unsaved;
    };
    const Case cases[] = {
        {"nothing", [](CMainWindowProbe&) {}, false},
        {"count changed and typed back",
         [](CMainWindowProbe& w) {
             SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, L"7");
             SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, L"5");
         },
         false},
        {"count changed", [](CMainWindowProbe& w) { SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, L"6"); }, true},
        {"blanks around the folder", [](CMainWindowProbe& w) { SetControlText(w.m_hWnd, IDC_EDIT_DUMP_FOLDER, L"  C:\\Dumps "); }, false},
        {"folder changed", [](CMainWindowProbe& w) { SetControlText(w.m_hWnd, IDC_EDIT_DUMP_FOLDER, L"C:\\Other"); }, true},
        {"dump type cleared",
         [](CMainWindowProbe& w) { ::SendDlgItemMessageW(w.m_hWnd, IDC_COMBO_DUMP_TYPE, CB_SETCURSEL, 0, 0); }, true},
        {"ACL box cleared", [](CMainWindowProbe& w) { ::CheckDlgButton(w.m_hWnd, IDC_CHECK_SET_ACL, BST_UNCHECKED); }, true},
        {"ACL box cleared and set again",
         [](CMainWindowProbe& w) {
             ::CheckDlgButton(w.m_hWnd, IDC_CHECK_SET_ACL, BST_UNCHECKED);
             ::CheckDlgButton(w.m_hWnd, IDC_CHECK_SET_ACL, BST_CHECKED);
         },
         false},
        {"global settings cleared", [](CMainWindowProbe& w) { ::SendMessageW(w.m_hWnd, WM_COMMAND, ID_EDIT_CLEAR_GLOBAL, 0); }, true},
        {"entry deleted",
         [](CMainWindowProbe& w) {
             w.answers = {IDYES};
             SelectOnly(w.ListWindow(), {0});
             w.DeletePrograms();
         },
         true},
        {"folder edited, then refreshed",
         [](CMainWindowProbe& w) {
             SetControlText(w.m_hWnd, IDC_EDIT_DUMP_FOLDER, L"C:\\Other");
             w.RefreshFromRegistry();
         },
         false},
        {"registry changed outside, then refreshed",
         [](CMainWindowProbe& w) {
             reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"C:\\Elsewhere");
             w.RefreshFromRegistry();
         },
         true},
        {"key added outside, refreshed, then an entry deleted",
         [](CMainWindowProbe& w) {
             reg64::CreateKey(ProgramKeyPath(L"b.exe"));
             w.RefreshFromRegistry();
             w.answers = {IDYES};
             SelectOnly(w.ListWindow(), {0});
             w.DeletePrograms();
         },
         true},
        {"entry deleted, then refreshed",
         [](CMainWindowProbe& w) {
             w.answers = {IDYES};
             SelectOnly(w.ListWindow(), {0});
             w.DeletePrograms();
             w.RefreshFromRegistry();
         },
         false},
    };

    for (const Case& c : cases) {
        StoreGlobalsAndOneProgram();
        CMainWindowProbe window;
        bool unsaved = !c.unsaved;
        window.steps = {c.change, [&](CMainWindowProbe& w) { unsaved = w.HasUnsavedChanges(); }};
        EXPECT_EQ(window.Run(), PROBE_FINISHED) << c.what;
        EXPECT_EQ(unsaved, c.unsaved) << c.what;
    }
}

TEST_F(MainWindowTest, ZeroTypedIntoAnEmptyCountIsNoChange)
{
    CMainWindowProbe window;
    bool unsaved = true;
    window.steps = {[&](CMainWindowProbe& w) {
        SetControlText(w.m_hWnd, IDC_EDIT_DUMP_COUNT, L"0");
        unsaved = w.HasUnsavedChanges();
    }};
    EXPECT_EQ(window.Run(), PROBE_FINISHED);
    EXPECT_FALSE(unsaved);
}

TEST_F(MainWindowTest, CancelClosesAtOnceWithoutChanges)
{
    StoreGlobalsAndOneProgram();
    for (UINT command : {static_cast<UINT>(IDCANCEL), static_cast<UINT>(ID_FILE_EXIT)}) {
        CMainWindowProbe window;
        // Exit posts WM_CLOSE, which the dialog turns into a posted cancel: give both time to arrive.
        window.steps = {[command](CMainWindowProbe& w) { PostCommand(w.m_hWnd, command); }, [](CMainWindowProbe&) {},
                        [](CMainWindowProbe&) {}, [](CMainWindowProbe&) {}};
        EXPECT_EQ(window.Run(), IDCANCEL) << command;
        EXPECT_TRUE(window.boxes.empty()) << command;
    }
}

TEST_F(MainWindowTest, CancelWithChangesAsksAndOnlyYesCloses)
{
    StoreGlobalsAndOneProgram();
    struct Case {
        UINT command;
        int answer;
        INT_PTR result;
    };
    const Case cases[] = {
        {IDCANCEL, IDNO, PROBE_FINISHED},
        {IDCANCEL, IDCANCEL, PROBE_FINISHED},
        {IDCANCEL, IDYES, IDCANCEL},
        {ID_FILE_EXIT, IDNO, PROBE_FINISHED},
        {ID_FILE_EXIT, IDYES, IDCANCEL},
    };
    for (const Case& c : cases) {
        CMainWindowProbe window;
        window.answers = {c.answer};
        std::wstring folderAfter;
        window.steps = {
            [](CMainWindowProbe& w) { SetControlText(w.m_hWnd, IDC_EDIT_DUMP_FOLDER, L"C:\\Edited"); },
            [&c](CMainWindowProbe& w) { PostCommand(w.m_hWnd, c.command); },
            [](CMainWindowProbe&) {},
            [](CMainWindowProbe&) {},
            [&](CMainWindowProbe& w) { folderAfter = ControlText(w.m_hWnd, IDC_EDIT_DUMP_FOLDER); },
        };
        EXPECT_EQ(window.Run(), c.result) << c.command << " " << c.answer;
        ASSERT_EQ(window.boxes.size(), 1u);
        EXPECT_EQ(window.boxes[0].text, EXIT_QUESTION);
        EXPECT_EQ(window.boxes[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2));
        if (c.result == PROBE_FINISHED) {
            EXPECT_EQ(folderAfter, L"C:\\Edited");
        }
        // Nothing is written on the way out.
        EXPECT_EQ(reg64::GetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER), L"C:\\Dumps");
    }
}
