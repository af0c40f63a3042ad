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

} // namespace

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
    ::SetForegroundWindow(window);
    if (!WaitUntil([&] { return ::GetForegroundWindow() == window; }, 3000))
        return false;
    INPUT inputs[] = {KeyInput(VK_CONTROL, false), KeyInput(virtualKey, false), KeyInput(virtualKey, true),
                      KeyInput(VK_CONTROL, true)};
    const UINT count = sizeof(inputs) / sizeof(inputs[0]);
    return ::SendInput(count, inputs, sizeof(INPUT)) == count;
}

bool ClickAt(POINT screenPoint)
{
    if (!::SetCursorPos(screenPoint.x, screenPoint.y))
        return false;
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return ::SendInput(2, inputs, sizeof(INPUT)) == 2;
}

POINT CentreOf(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

} // namespace e2e
