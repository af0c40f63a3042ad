// Keys and clicks for another process's windows. Plain keys are posted to the focused control;
// Ctrl+key needs real input, since a posted key carries no Ctrl state for TranslateAccelerator.
#include "tests/support/e2e_driver.h"

namespace e2e {

namespace {

LPARAM KeyLParam(UINT virtualKey, bool keyUp)
{
    const UINT scanCode = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    LPARAM lParam = 1 | (static_cast<LPARAM>(scanCode & 0xFF) << 16);
    if (keyUp)
        lParam |= (1u << 30) | (1u << 31);
    return lParam;
}

INPUT KeyInput(UINT virtualKey, bool keyUp)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = keyUp ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Carried by every mouse input of ours, so that the pointer history tells our moves from the
// program's own.
const ULONG_PTR DRIVER_INPUT_MARK = 0x4B455354;

INPUT MouseInputAt(POINT screenPoint, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(screenPoint.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screenPoint.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwExtraInfo = DRIVER_INPUT_MARK;
    return input;
}

// A point beside the window, on the screen and over no window of the window's process.
bool PointBeside(HWND window, POINT& outside)
{
    RECT rect = {};
    if (!::GetWindowRect(window, &rect))
        return false;
    const LONG middleX = (rect.left + rect.right) / 2;
    const LONG middleY = (rect.top + rect.bottom) / 2;
    const POINT candidates[] = {{rect.left - 8, middleY}, {rect.right + 8, middleY},
                                {middleX, rect.top - 8}, {middleX, rect.bottom + 8}};
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    for (const POINT& candidate : candidates) {
        if (candidate.x < 0 || candidate.y < 0 || candidate.x >= ::GetSystemMetrics(SM_CXSCREEN) ||
            candidate.y >= ::GetSystemMetrics(SM_CYSCREEN))
            continue;
        DWORD owner = 0;
        ::GetWindowThreadProcessId(::WindowFromPoint(candidate), &owner);
        if (owner != process) {
            outside = candidate;
            return true;
        }
    }
    return false;
}

// Whether the newest move at the point in the system's pointer history is the program's own.
bool ProgramMovedPointerTo(POINT point)
{
    MOUSEMOVEPOINT wanted = {};
    wanted.x = point.x;
    wanted.y = point.y;
    MOUSEMOVEPOINT newest = {};
    return ::GetMouseMovePointsEx(sizeof(wanted), &wanted, &newest, 1, GMMP_USE_DISPLAY_POINTS) == 1 &&
           newest.dwExtraInfo != DRIVER_INPUT_MARK;
}

} // namespace

// Wine reads a program's X events only when its message queue runs dry. After a window of the
// program opened or closed, the focus and crossing events of that change may still wait there
// when the driver's next input arrives, and they are read once the program next idles: inside a
// menu just opened, where the focus loss of the main window, long past, cancels the menu. So the
// pointer goes out of the window and back in at the point; Wine reports that entry as a mouse move
// of the program's own, and once it is in the pointer history every older event has been read.
bool EnterWindowAndSettle(HWND window, POINT screenPoint)
{
    POINT outside = {};
    if (!PointBeside(::GetAncestor(window, GA_ROOT), outside))
        return false;
    INPUT inputs[2] = {MouseInputAt(outside, 0), MouseInputAt(screenPoint, 0)};
    return ::SendInput(2, inputs, sizeof(INPUT)) == 2 &&
           WaitUntil([&] { return ProgramMovedPointerTo(screenPoint); }, 5000);
}

HWND FocusedControl(HWND anyWindowOfThread)
{
    const DWORD thread = ::GetWindowThreadProcessId(anyWindowOfThread, nullptr);
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!thread || !::GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus;
}

bool PostKeyToFocus(HWND anyWindowOfThread, UINT virtualKey)
{
    const HWND focus = FocusedControl(anyWindowOfThread);
    if (!focus)
        return false;
    return ::PostMessageW(focus, WM_KEYDOWN, virtualKey, KeyLParam(virtualKey, false)) &&
           ::PostMessageW(focus, WM_KEYUP, virtualKey, KeyLParam(virtualKey, true));
}

bool SendCtrlKey(HWND window, UINT virtualKey)
{
    return BringToForeground(window) && TypeChord({VK_CONTROL, virtualKey});
}

// Every event of the click carries the point itself. The cursor position alone is not to be
// trusted here: a window of the program that has just closed under the cursor leaves the program
// a crossing event with the cursor's earlier place, and when the program handles it only after
// the cursor was moved, it puts the cursor back there for a moment. A click taken then lands on
// the previous click's spot, where it is a double click, or its release comes after a move, which
// a list view takes for the start of a drag.
bool ClickAt(POINT screenPoint)
{
    INPUT inputs[3] = {MouseInputAt(screenPoint, 0), MouseInputAt(screenPoint, MOUSEEVENTF_LEFTDOWN),
                       MouseInputAt(screenPoint, MOUSEEVENTF_LEFTUP)};
    return ::SendInput(3, inputs, sizeof(INPUT)) == 3;
}

// A context menu opens with its corner at the press. A popup that appears under the pointer gets a
// crossing event, which Wine reports to the program as a mouse move at that point: a move onto the
// menu's border, which clears whatever item the keys have selected meanwhile, and it comes whenever
// the program reads its X events. So the release comes two pixels up and to the left of the press
// (within the drag distance, so still a click): the menu opens beside the pointer, never under it.
bool RightClickAt(POINT screenPoint)
{
    const POINT release = {screenPoint.x - 2, screenPoint.y - 2};
    INPUT inputs[4] = {MouseInputAt(screenPoint, 0), MouseInputAt(screenPoint, MOUSEEVENTF_RIGHTDOWN),
                       MouseInputAt(release, 0), MouseInputAt(release, MOUSEEVENTF_RIGHTUP)};
    return ::SendInput(4, inputs, sizeof(INPUT)) == 4;
}

bool BringToForeground(HWND window)
{
    ::SetForegroundWindow(window);
    return WaitUntil([&] { return ::GetForegroundWindow() == window; }, 3000);
}

bool TypeChord(const std::vector<UINT>& virtualKeys)
{
    std::vector<INPUT> inputs;
    for (UINT key : virtualKeys)
        inputs.push_back(KeyInput(key, false));
    for (auto key = virtualKeys.rbegin(); key != virtualKeys.rend(); ++key)
        inputs.push_back(KeyInput(*key, true));
    const UINT count = static_cast<UINT>(inputs.size());
    return count > 0 && ::SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

bool FocusControl(HWND dialog, int id)
{
    const HWND control = ::GetDlgItem(dialog, id);
    if (!control || !::PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE))
        return false;
    return WaitUntil([&] { return FocusedControl(dialog) == control; }, 3000);
}

bool TypeText(HWND control, const std::wstring& text)
{
    for (wchar_t ch : text) {
        if (!::PostMessageW(control, WM_CHAR, ch, 1))
            return false;
    }
    return true;
}

bool IsInMenuMode(HWND anyWindowOfThread)
{
    const DWORD thread = ::GetWindowThreadProcessId(anyWindowOfThread, nullptr);
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return thread && ::GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMENUMODE);
}

HWND FindPopupMenu(DWORD processId)
{
    for (HWND window : TopLevelWindows(processId)) {
        if (ClassNameOf(window) == L"#32768")
            return window;
    }
    return nullptr;
}

POINT CentreOf(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

} // namespace e2e
