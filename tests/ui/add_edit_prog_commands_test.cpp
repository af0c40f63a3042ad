// The commands and window behaviour of the program settings dialog besides its checks: the menu
// commands, F1, the grey explanatory lines, dragging, the executable browser and the icon.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include "app/suggested_profile.h"
#include "res/resource.h"
#include "tests/ui/add_edit_prog_harness.h"
#include "tests/ui/modal_driver.h"

using namespace prog_dialog_test;

namespace {

// Ids of the common file dialog's own controls.
const int FILE_DIALOG_FILTER_COMBO = 0x470;   // cmb1
const int FILE_DIALOG_NAME_COMBO = 0x47c;     // cmb13
const int FILE_DIALOG_NAME_EDIT = 0x480;      // edt1

ProgramEntry EditedEntry()
{
    return GivenEntry(L"keep.exe", L"C:\\Keep", 1, 3, TRUE);
}

} // namespace

TEST(AddEditProgCommands, SaveAndCloseDoesWhatTheOkButtonDoes)
{
    // Refused like the button...
    ProgramEntry entry = EditedEntry();
    ProgDialogRun run;
    run.row = 1;
    run.steps = {[](HWND dialog) {
        SetText(dialog, IDC_EDIT_PROCESS_NAME, L"a/b.exe");
        PostCommand(dialog, ID_PROG_SAVE_AND_CLOSE);
    }};
    RunProgDialog(run, entry);
    EXPECT_EQ(RUN_LEFT_OPEN, run.result);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(L"Process name must be file name only", run.boxes[0].text);
    EXPECT_TRUE(EditedEntry().Equals(entry));

    // ...and accepted like the button.
    run.steps = {[](HWND dialog) {
        SetText(dialog, IDC_EDIT_PROCESS_NAME, L" renamed.exe ");
        PostCommand(dialog, ID_PROG_SAVE_AND_CLOSE);
    }};
    RunProgDialog(run, entry);
    EXPECT_EQ(IDOK, run.result);
    EXPECT_TRUE(run.boxes.empty());
    ASSERT_EQ(1u, run.questions.size());
    EXPECT_EQ(1, run.questions[0].row);
    EXPECT_EQ(L"renamed.exe", entry.processName);
    EXPECT_EQ(L"C:\\Keep", entry.settings.folder);
}

TEST(AddEditProgCommands, CloseCancelAndEscapeLeaveTheEntryAsItWas)
{
    struct CloseCase {
        const char* what;
        std::function<void(HWND)> close;
    };
    const CloseCase cases[] = {
        {"File > Close", [](HWND dialog) { PostCommand(dialog, ID_PROG_CLOSE); }},
        {"Cancel button", [](HWND dialog) { PostClick(dialog, IDCANCEL); }},
        {"title bar close", [](HWND dialog) { ::PostMessageW(dialog, WM_CLOSE, 0, 0); }},
        {"Escape", [](HWND dialog) {
             const HWND focus = ::GetDlgItem(dialog, IDC_EDIT_PROCESS_NAME);
             ::PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
             ::PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
         }},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramEntry entry = EditedEntry();
        ProgDialogRun run;
        run.row = 0;
        run.steps = {[&c](HWND dialog) {
            SetText(dialog, IDC_EDIT_PROCESS_NAME, L"other.exe");
            SetText(dialog, IDC_EDIT_DUMP_COUNT, L"99");
            ::SetFocus(::GetDlgItem(dialog, IDC_EDIT_PROCESS_NAME));
            c.close(dialog);
        }};
        RunProgDialog(run, entry);
        EXPECT_EQ(IDCANCEL, run.result);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_TRUE(run.questions.empty());
        EXPECT_TRUE(EditedEntry().Equals(entry));
    }
}

TEST(AddEditProgCommands, TheEditMenuClearsOrSuggestsTheSettings)
{
    const SuggestedSettings suggested = ReadSuggestedSettings();
    ProgramEntry entry = EditedEntry();
    ProgDialogRun run;
    run.row = 0;
    std::wstring clearedFolder, clearedCount, suggestedFolder, suggestedCount;
    LRESULT clearedAcl = -1, clearedType = -2, suggestedAcl = -1, suggestedTypeData = -2;
    run.steps = {
        [](HWND dialog) { PostCommand(dialog, ID_PROG_CLEAR_SETTINGS); },
        [&](HWND dialog) {
            clearedFolder = GetText(dialog, IDC_EDIT_DUMP_FOLDER);
            clearedCount = GetText(dialog, IDC_EDIT_DUMP_COUNT);
            clearedAcl = ::SendDlgItemMessageW(dialog, IDC_CHECK_SET_ACL, BM_GETCHECK, 0, 0);
            clearedType = ::SendDlgItemMessageW(dialog, IDC_COMBO_DUMP_TYPE, CB_GETCURSEL, 0, 0);
            PostCommand(dialog, ID_PROG_SUGGESTED_SETTINGS);
        },
        [&](HWND dialog) {
            suggestedFolder = GetText(dialog, IDC_EDIT_DUMP_FOLDER);
            suggestedCount = GetText(dialog, IDC_EDIT_DUMP_COUNT);
            suggestedAcl = ::SendDlgItemMessageW(dialog, IDC_CHECK_SET_ACL, BM_GETCHECK, 0, 0);
            const LRESULT sel = ::SendDlgItemMessageW(dialog, IDC_COMBO_DUMP_TYPE, CB_GETCURSEL, 0, 0);
            suggestedTypeData = ::SendDlgItemMessageW(dialog, IDC_COMBO_DUMP_TYPE, CB_GETITEMDATA,
                                                      static_cast<WPARAM>(sel), 0);
        },
    };
    RunProgDialog(run, entry);

    EXPECT_EQ(L"", clearedFolder);
    EXPECT_EQ(L"", clearedCount);
    EXPECT_EQ(BST_UNCHECKED, clearedAcl);
    EXPECT_EQ(0, clearedType);
    EXPECT_EQ(suggested.folder, suggestedFolder);
    EXPECT_EQ(std::to_wstring(suggested.dumpCount), suggestedCount);
    EXPECT_EQ(suggested.setAcl ? BST_CHECKED : BST_UNCHECKED, suggestedAcl);
    EXPECT_EQ(suggested.dumpType, suggestedTypeData);
    EXPECT_FALSE(suggestedFolder.empty());
    EXPECT_TRUE(EditedEntry().Equals(entry)) << "a menu command wrote into the entry";
}

TEST(AddEditProgCommands, F1IsPassedToTheMainWindowAndAnsweredAsHandled)
{
    ProgramEntry entry;
    ProgDialogRun run;
    LRESULT answer = 0;
    run.steps = {[&answer](HWND dialog) {
        HELPINFO help = {};
        help.cbSize = sizeof(help);
        help.iContextType = HELPINFO_WINDOW;
        help.iCtrlId = IDC_EDIT_PROCESS_NAME;
        help.hItemHandle = ::GetDlgItem(dialog, IDC_EDIT_PROCESS_NAME);
        answer = ::SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    }};
    RunProgDialog(run, entry);

    EXPECT_EQ(TRUE, answer);
    EXPECT_EQ(1, run.helpRequests);
}

TEST(AddEditProgCommands, TheTwoExplanatoryLinesAreGreyOnTheDefaultBrush)
{
    // A shadow colour unlike any default text colour, so that the grey is told apart.
    const int element = COLOR_3DDKSHADOW;
    const COLORREF original = ::GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF marker = RGB(12, 160, 34);
    ASSERT_TRUE(::SetSysColors(1, &element, &marker));

    ProgramEntry entry;
    ProgDialogRun run;
    struct Painted {
        int id;
        COLORREF text;
        LRESULT brush;
    };
    std::vector<Painted> painted;
    run.steps = {[&painted](HWND dialog) {
        const HDC dc = ::CreateCompatibleDC(nullptr);
        for (int id : {IDC_STATIC_CASE_NOTE, IDC_STATIC_OMITTED_INFO, IDC_STATIC_EXE_ICON}) {
            ::SetTextColor(dc, RGB(1, 2, 3));
            const LRESULT brush = ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
            painted.push_back({id, ::GetTextColor(dc), brush});
        }
        ::DeleteDC(dc);
    }};
    RunProgDialog(run, entry);
    ::SetSysColors(1, &element, &original);

    ASSERT_EQ(3u, painted.size());
    EXPECT_EQ(marker, painted[0].text);
    EXPECT_EQ(marker, painted[1].text);
    EXPECT_NE(marker, painted[2].text) << "an ordinary static was coloured too";
    EXPECT_NE(0, painted[0].brush);
    EXPECT_EQ(painted[2].brush, painted[0].brush);
    EXPECT_EQ(painted[2].brush, painted[1].brush);
}

TEST(AddEditProgCommands, DraggingTheBackgroundMovesTheDialog)
{
    ProgramEntry entry;
    ProgDialogRun run;
    RECT before = {}, after = {};
    bool wasForeground = false;
    run.steps = {[&](HWND dialog) {
        ::SetForegroundWindow(dialog);
        wasForeground = ::GetForegroundWindow() == dialog;
        ::GetWindowRect(dialog, &before);
        POINT start = {before.left + 20, before.bottom - 12};
        ::SetCursorPos(start.x, start.y);
        POINT client = start;
        ::ScreenToClient(dialog, &client);
        ::SendMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        ::SetCursorPos(start.x + 40, start.y + 25);
        ::SendMessageW(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x + 40, client.y + 25));
        ::SendMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        ::GetWindowRect(dialog, &after);
    }};
    RunProgDialog(run, entry);

    ASSERT_TRUE(wasForeground) << "the dialog could not be made the foreground window";
    EXPECT_EQ(before.left + 40, after.left);
    EXPECT_EQ(before.top + 25, after.top);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
}

TEST(AddEditProgCommands, TheExeIconIsShownWhileOpenAndDestroyedWithTheDialog)
{
    ProgramEntry entry;
    ProgDialogRun run;
    RunProgDialog(run, entry);

    ASSERT_NE(nullptr, run.exeIcon);
    ICONINFO info = {};
    EXPECT_FALSE(::GetIconInfo(run.exeIcon, &info)) << "the icon outlived the dialog";
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
}

TEST(AddEditProgCommands, BrowsingForAnExecutableTakesTheChosenFileNameOnly)
{
    wchar_t windowsDir[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windowsDir, MAX_PATH);
    struct BrowseCase {
        std::wstring path;
        std::wstring name;
    };
    const BrowseCase cases[] = {
        {std::wstring(windowsDir) + L"\\notepad.exe", L"notepad.exe"},
        {std::wstring(windowsDir) + L"\\win.ini", L"win.ini"},  // another extension is kept
    };
    for (const BrowseCase& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        ProgramEntry entry;
        ProgDialogRun run;
        std::vector<std::wstring> filters;
        std::wstring nameAfter;
        bool sawFileDialog = false;
        run.steps = {
            [](HWND dialog) {
                SetText(dialog, IDC_EDIT_PROCESS_NAME, L"typed before.exe");
                PostClick(dialog, IDC_BTN_BROWSE_EXE);
            },
            // Runs inside the file dialog's own loop.
            [&](HWND dialog) {
                const HWND files = FindOwnedDialog(dialog);
                sawFileDialog = files != nullptr;
                if (!files)
                    return;
                const HWND filterCombo = ::GetDlgItem(files, FILE_DIALOG_FILTER_COMBO);
                const int count = static_cast<int>(::SendMessageW(filterCombo, CB_GETCOUNT, 0, 0));
                for (int i = 0; i < count; ++i) {
                    wchar_t text[128] = {};
                    ::SendMessageW(filterCombo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                   reinterpret_cast<LPARAM>(text));
                    filters.push_back(text);
                }
                SetText(files, FILE_DIALOG_NAME_COMBO, c.path);
                SetText(files, FILE_DIALOG_NAME_EDIT, c.path);
                ::PostMessageW(files, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(files, IDOK)));
            },
            [&](HWND dialog) { nameAfter = GetText(dialog, IDC_EDIT_PROCESS_NAME); },
        };
        RunProgDialog(run, entry);

        ASSERT_TRUE(sawFileDialog);
        ASSERT_EQ(2u, filters.size());
        EXPECT_EQ(L"Executables (*.exe)", filters[0]);
        EXPECT_EQ(L"All files (*.*)", filters[1]);
        EXPECT_EQ(c.name, nameAfter);
        EXPECT_EQ(RUN_LEFT_OPEN, run.result);
        EXPECT_EQ(L"", entry.processName) << "browsing alone must not fill the entry";
    }
}
