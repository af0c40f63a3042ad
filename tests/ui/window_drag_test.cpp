// Moving a dialog by dragging it: real mouse input on the About box under Xvfb, and the start
// and end conditions of a drag on a plain window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/support/ui_message_pump.h"
#include "tests/ui/add_edit_prog_harness.h"
#include "tests/ui/main_window_harness.h"
#include "tests/ui/modal_driver.h"
#include "ui/common/about_dlg.h"
#include "ui/common/window_drag.h"

namespace {

const int STEP_X = 40;
const int STEP_Y = 25;

void SendMouse(DWORD flags, POINT screen = {0, 0})
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    ::SendInput(1, &input, sizeof(input));
}

void MoveMouseTo(POINT screen)
{
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
}

struct DragOutcome {
    RECT before = {};
    RECT after = {};
    bool foreground = false;
};

// Presses the left button at `pressPoint` (client coordinates of the About box, or near the left
// end of control `controlId` when it is not 0), moves the mouse by the step in two moves, releases
// it and reports where the box was before and after.
DragOutcome DragAboutBox(POINT pressPoint, int controlId)
{
    DragOutcome outcome;
    HWND about = nullptr;
    POINT press = {};
    ModalDriver driver({
        WaitForDialog(L"About", about),
        [&] {
            ::SetForegroundWindow(about);
            outcome.foreground = ::GetForegroundWindow() == about;
            ::GetWindowRect(about, &outcome.before);
            if (controlId) {
                RECT control;
                ::GetWindowRect(::GetDlgItem(about, controlId), &control);
                // Near the left end: the link's text does not fill its control, and only the
                // text itself keeps the press.
                press = {control.left + 8, (control.top + control.bottom) / 2};
            } else {
                press = pressPoint;
                ::ClientToScreen(about, &press);
            }
            MoveMouseTo(press);
            return true;
        },
        [&] {
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            return true;
        },
        [&] {
            MoveMouseTo({press.x + STEP_X / 2, press.y + STEP_Y / 2});
            return true;
        },
        [&] {
            MoveMouseTo({press.x + STEP_X, press.y + STEP_Y});
            return true;
        },
        [&] {
            ::GetWindowRect(about, &outcome.after);
            SendMouse(MOUSEEVENTF_LEFTUP);
            return true;
        },
        [&] {
            // A release on a button would have closed the box already.
            if (::IsWindow(about))
                ::PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
    });
    ShowAboutBox();
    EXPECT_FALSE(driver.TimedOut());
    return outcome;
}

TEST(WindowDrag, PressOnTheBackgroundOrAStaticTextMovesTheBoxWithTheMouse)
{
    struct Case {
        const char* where;
        POINT client;
        int controlId;
    };
    const Case cases[] = {
        {"background", {4, 4}, 0},
        {"version text", {0, 0}, IDC_STATIC_VERSION},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        const DragOutcome outcome = DragAboutBox(c.client, c.controlId);
        ASSERT_TRUE(outcome.foreground);
        EXPECT_EQ(outcome.before.left + STEP_X, outcome.after.left);
        EXPECT_EQ(outcome.before.top + STEP_Y, outcome.after.top);
        EXPECT_EQ(outcome.before.right - outcome.before.left, outcome.after.right - outcome.after.left);
        EXPECT_EQ(outcome.before.bottom - outcome.before.top, outcome.after.bottom - outcome.after.top);
    }
}

TEST(WindowDrag, PressOnAButtonOrTheLinkDoesNotMoveTheBox)
{
    for (int controlId : {IDOK, IDC_LINK_WEBSITE}) {
        SCOPED_TRACE(controlId);
        const DragOutcome outcome = DragAboutBox({0, 0}, controlId);
        ASSERT_TRUE(outcome.foreground);
        EXPECT_EQ(outcome.before.left, outcome.after.left);
        EXPECT_EQ(outcome.before.top, outcome.after.top);
    }
}

// Presses the left button on the menu bar of the shown `dialog`, halfway between its last title
// and the bar's right end, moves the mouse by the step in five small moves and releases it, with
// the dialog's own message processing running in between. After each move the window must have
// followed, so that the point pressed stays under the cursor.
DragOutcome DragByMenuBar(HWND dialog)
{
    DragOutcome outcome;
    ::SetForegroundWindow(dialog);
    outcome.foreground = ::GetForegroundWindow() == dialog;
    const HMENU menu = ::GetMenu(dialog);
    MENUBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    RECT lastTitle = {};
    if (!menu || !::GetMenuBarInfo(dialog, OBJID_MENU, 0, &bar) ||
        !::GetMenuItemRect(dialog, menu, ::GetMenuItemCount(menu) - 1, &lastTitle)) {
        ADD_FAILURE() << "no menu bar";
        return outcome;
    }
    const POINT press = {(lastTitle.right + bar.rcBar.right) / 2, (bar.rcBar.top + bar.rcBar.bottom) / 2};
    ::GetWindowRect(dialog, &outcome.before);
    MoveMouseTo(press);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    const int STEPS = 5;
    for (int i = 1; i <= STEPS; ++i) {
        const POINT offset = {STEP_X * i / STEPS, STEP_Y * i / STEPS};
        MoveMouseTo({press.x + offset.x, press.y + offset.y});
        EXPECT_TRUE(PumpUntil([&] {
            RECT now = {};
            return ::GetWindowRect(dialog, &now) && now.left == outcome.before.left + offset.x &&
                   now.top == outcome.before.top + offset.y;
        })) << "the window did not follow move " << i;
    }
    ::GetWindowRect(dialog, &outcome.after);
    SendMouse(MOUSEEVENTF_LEFTUP);
    // The drag ends with the button: the window lets the mouse go.
    EXPECT_TRUE(PumpUntil([&] { return ::GetCapture() != dialog; }));
    return outcome;
}

void ExpectMovedByTheStep(const DragOutcome& outcome)
{
    ASSERT_TRUE(outcome.foreground);
    EXPECT_EQ(outcome.before.left + STEP_X, outcome.after.left);
    EXPECT_EQ(outcome.before.top + STEP_Y, outcome.after.top);
    EXPECT_EQ(outcome.before.right - outcome.before.left, outcome.after.right - outcome.after.left);
}

class WindowDragRealMenuBar : public main_window_test::MainWindowTest {};

TEST_F(WindowDragRealMenuBar, MainWindowFollowsAPressRightOfTheMenuTitles)
{
    main_window_test::CMainWindowProbe window;
    DragOutcome outcome;
    window.steps = {[&](main_window_test::CMainWindowProbe& shown) { outcome = DragByMenuBar(shown.GetSafeHwnd()); }};
    EXPECT_EQ(main_window_test::PROBE_FINISHED, window.Run());
    ExpectMovedByTheStep(outcome);
}

TEST_F(WindowDragRealMenuBar, ProgramDialogFollowsAPressRightOfTheMenuTitles)
{
    prog_dialog_test::ProgDialogRun run;
    DragOutcome outcome;
    run.steps = {[&](HWND dialog) { outcome = DragByMenuBar(dialog); }};
    ProgramEntry entry = {};
    prog_dialog_test::RunProgDialog(run, entry);
    EXPECT_EQ(prog_dialog_test::RUN_LEFT_OPEN, run.result);
    ExpectMovedByTheStep(outcome);
}

// Visible top-level windows for the hook, outside any modal loop; made once, as hiding and
// destroying a shown window takes Wine a while without a window manager.
class DragHookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_window = ::CreateWindowExW(0, L"STATIC", L"Drag probe", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100,
                                     200, 120, nullptr, nullptr, nullptr, nullptr);
        s_staticProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(s_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookedProc)));
        s_other = ::CreateWindowExW(0, L"STATIC", L"Other", WS_POPUP | WS_CAPTION | WS_VISIBLE, 400, 100, 200,
                                    120, nullptr, nullptr, nullptr, nullptr);
    }
    static void TearDownTestSuite()
    {
        ::DestroyWindow(s_window);
        ::DestroyWindow(s_other);
    }
    void SetUp() override
    {
        ASSERT_NE(nullptr, s_window);
        m_window = s_window;
        m_arrow = ::LoadCursorW(nullptr, IDC_ARROW);
        ::SetCursor(m_arrow);
        ::SetForegroundWindow(m_window);
        ASSERT_EQ(m_window, ::GetForegroundWindow());
    }
    void TearDown() override
    {
        s_hookedState = nullptr;
        ::ReleaseCapture();
    }

    // While a test sets s_hookedState, every message of the probe window passes the hook first,
    // as in the program's dialogs.
    static LRESULT CALLBACK HookedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (s_hookedState)
            HandleWindowDrag(message, wParam, lParam, window, *s_hookedState);
        return ::CallWindowProcW(s_staticProc, window, message, wParam, lParam);
    }
    void Press(HWND window) { HandleWindowDrag(WM_LBUTTONDOWN, MK_LBUTTON, 0, window, m_state); }

    static HWND s_window;
    static HWND s_other;
    static WNDPROC s_staticProc;
    static DragState* s_hookedState;
    HWND m_window = nullptr;
    HCURSOR m_arrow = nullptr;
    DragState m_state = {};
};

HWND DragHookTest::s_window = nullptr;
HWND DragHookTest::s_other = nullptr;
WNDPROC DragHookTest::s_staticProc = nullptr;
DragState* DragHookTest::s_hookedState = nullptr;

TEST_F(DragHookTest, NoDragStartsInAHiddenOrBackgroundWindow)
{
    const HWND hidden = ::CreateWindowExW(0, L"STATIC", L"Hidden", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                          nullptr, nullptr);
    Press(hidden);
    EXPECT_FALSE(m_state.dragging) << "hidden";
    ::DestroyWindow(hidden);

    ::SetForegroundWindow(s_other);
    ASSERT_NE(m_window, ::GetForegroundWindow());
    Press(m_window);
    EXPECT_FALSE(m_state.dragging) << "not the foreground window";
    EXPECT_NE(m_window, ::GetCapture());
}

TEST_F(DragHookTest, ADragHoldsTheCaptureAndTheMoveCursorUntilItEnds)
{
    struct Ending {
        const char* what;
        UINT message;
        WPARAM wParam;
        bool ends;
    };
    const Ending endings[] = {
        {"button released", WM_LBUTTONUP, 0, true},
        {"non-client release", WM_NCLBUTTONUP, HTCAPTION, true},
        {"deactivated", WM_ACTIVATE, WA_INACTIVE, true},
        {"activated", WM_ACTIVATE, WA_ACTIVE, false},
        {"deactivated while minimised", WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), false},
        {"a key", WM_KEYDOWN, VK_SPACE, false},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.what);
        ::SetCursor(m_arrow);
        Press(m_window);
        ASSERT_TRUE(m_state.dragging);
        EXPECT_EQ(m_window, ::GetCapture());
        EXPECT_EQ(::LoadCursorW(nullptr, IDC_SIZEALL), ::GetCursor());
        EXPECT_EQ(m_arrow, m_state.savedCursor);

        HandleWindowDrag(ending.message, ending.wParam, 0, m_window, m_state);
        EXPECT_EQ(!ending.ends, m_state.dragging != FALSE);
        if (ending.ends) {
            EXPECT_EQ(nullptr, ::GetCapture());
            EXPECT_EQ(m_arrow, ::GetCursor()) << "cursor restored";
            EXPECT_EQ(nullptr, m_state.savedCursor);
        }
        HandleWindowDrag(WM_LBUTTONUP, 0, 0, m_window, m_state);
    }
}

TEST_F(DragHookTest, LosingTheCaptureEndsTheDragSoTheBareMouseMovesNothing)
{
    s_hookedState = &m_state;
    Press(m_window);
    ASSERT_TRUE(m_state.dragging);

    // The capture let go by someone else ends the drag as well.
    ::ReleaseCapture();
    EXPECT_FALSE(m_state.dragging) << "a capture released with no new owner";
    EXPECT_EQ(m_arrow, ::GetCursor()) << "cursor restored";
    Press(m_window);
    ASSERT_TRUE(m_state.dragging);

    // Another window of the program takes the mouse, e.g. a control that captures it.
    ::SetCapture(s_other);
    EXPECT_FALSE(m_state.dragging);
    EXPECT_EQ(s_other, ::GetCapture()) << "the drag's end leaves the new owner its capture";
    EXPECT_EQ(nullptr, m_state.savedCursor);
    EXPECT_EQ(m_arrow, ::GetCursor()) << "cursor restored";
    ::ReleaseCapture();

    RECT before;
    ::GetWindowRect(m_window, &before);
    m_state.lastCursorPos = {-500, -500};
    ::SendMessageW(m_window, WM_MOUSEMOVE, 0, 0);
    RECT after;
    ::GetWindowRect(m_window, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
}

TEST_F(DragHookTest, ReleasingTheCaptureItselfEndsTheDragOnce)
{
    s_hookedState = &m_state;
    Press(m_window);
    ASSERT_TRUE(m_state.dragging);
    ::SendMessageW(m_window, WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(m_state.dragging);
    EXPECT_EQ(nullptr, ::GetCapture());
    EXPECT_EQ(m_arrow, ::GetCursor());
}

TEST_F(DragHookTest, MovingWithoutADragMovesNothing)
{
    RECT before;
    ::GetWindowRect(m_window, &before);
    m_state.lastCursorPos = {-500, -500};
    HandleWindowDrag(WM_MOUSEMOVE, 0, 0, m_window, m_state);
    RECT after;
    ::GetWindowRect(m_window, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
}

TEST_F(DragHookTest, APressOnAWindowWithoutAMenuBarStartsNoMenuDrag)
{
    HandleWindowDrag(WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(150, 110), m_window, m_state);
    EXPECT_FALSE(m_state.dragging);
}

TEST(WindowDragMenuBar, EmptyPartOfTheMenuBarStartsADragAndATitleDoesNot)
{
    const HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_PROG_MENU));
    ASSERT_NE(nullptr, menu);
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"Menu probe", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 300,
                                          500, 150, nullptr, menu, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    ::SetForegroundWindow(window);

    MENUBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(::GetMenuBarInfo(window, OBJID_MENU, 0, &bar));
    RECT lastTitle = {};
    ASSERT_TRUE(::GetMenuItemRect(window, menu, ::GetMenuItemCount(menu) - 1, &lastTitle));
    RECT firstTitle = {};
    ASSERT_TRUE(::GetMenuItemRect(window, menu, 0, &firstTitle));
    const int middleY = (bar.rcBar.top + bar.rcBar.bottom) / 2;

    struct Case {
        const char* where;
        POINT screen;
        bool drags;
    };
    const Case cases[] = {
        {"right of the titles", {(lastTitle.right + bar.rcBar.right) / 2, middleY}, true},
        {"on the first title", {(firstTitle.left + firstTitle.right) / 2, middleY}, false},
        {"on the last title", {(lastTitle.left + lastTitle.right) / 2, middleY}, false},
        {"below the bar", {(lastTitle.right + bar.rcBar.right) / 2, bar.rcBar.bottom + 5}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        DragState state = {};
        HandleWindowDrag(WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(c.screen.x, c.screen.y), window, state);
        EXPECT_EQ(c.drags, state.dragging != FALSE);
        HandleWindowDrag(WM_NCLBUTTONUP, HTMENU, 0, window, state);
        EXPECT_FALSE(state.dragging);
        // Other hit-test codes never start a drag here.
        HandleWindowDrag(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(c.screen.x, c.screen.y), window, state);
        EXPECT_FALSE(state.dragging);
    }
    ::DestroyWindow(window);
}

} // namespace
