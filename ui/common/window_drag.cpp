// Dragging a dialog by its background or by the empty part of its menu bar.
#include "ui/common/window_drag.h"

namespace {

// The rectangle that holds every item of the menu bar, in screen coordinates; empty when no
// item rectangle could be obtained.
RECT MenuItemsRect(HWND window, HMENU menu, int count)
{
    RECT items = {};
    bool first = true;
    for (int position = 0; position < count; ++position) {
        RECT item;
        if (!::GetMenuItemRect(window, menu, static_cast<UINT>(position), &item))
            continue;
        if (first) {
            items = item;
            first = false;
            continue;
        }
        if (item.left < items.left)
            items.left = item.left;
        if (item.top < items.top)
            items.top = item.top;
        if (item.right > items.right)
            items.right = item.right;
        if (item.bottom > items.bottom)
            items.bottom = item.bottom;
    }
    return items;
}

// A press on the menu bar outside its items.
bool IsPressOnEmptyMenuBar(HWND window, LPARAM lParam)
{
    const HMENU menu = ::GetMenu(window);
    if (!menu)
        return false;
    const int count = ::GetMenuItemCount(menu);
    if (count < 0)
        return false;

    const RECT items = MenuItemsRect(window, menu, count);
    const POINT press = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (::PtInRect(&items, press))
        return false;

    MENUBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    if (!::GetMenuBarInfo(window, OBJID_MENU, 0, &bar))
        return false;
    return ::PtInRect(&bar.rcBar, press) != FALSE;
}

void StartDrag(HWND window, DragState& state)
{
    if (!::IsWindowVisible(window) || ::GetForegroundWindow() != window)
        return;
    POINT cursor;
    if (!::GetCursorPos(&cursor))
        return;
    state.lastCursorPos = cursor;
    state.savedCursor = ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
    ::SetCapture(window);
    state.dragging = TRUE;
}

void FollowCursor(HWND window, DragState& state)
{
    POINT cursor;
    if (!::GetCursorPos(&cursor) || !window)
        return;
    const int dx = cursor.x - state.lastCursorPos.x;
    const int dy = cursor.y - state.lastCursorPos.y;
    if (dx == 0 && dy == 0)
        return;
    RECT frame;
    if (!::GetWindowRect(window, &frame))
        return;
    ::OffsetRect(&frame, dx, dy);
    ::MoveWindow(window, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, TRUE);
    state.lastCursorPos = cursor;
}

void EndDrag(HWND window, DragState& state)
{
    if (!state.dragging)
        return;
    // Cleared first: releasing the capture sends WM_CAPTURECHANGED back through the hook.
    const HCURSOR saved = state.savedCursor;
    state.savedCursor = nullptr;
    state.dragging = FALSE;
    ::SetCursor(saved);
    // Only our own capture is ours to release: when the drag ends because another window has
    // just taken the mouse, releasing it here would take it away from that window.
    if (::GetCapture() == window)
        ::ReleaseCapture();
}

} // namespace

void HandleWindowDrag(UINT message, WPARAM wParam, LPARAM lParam, HWND window, DragState& state)
{
    switch (message) {
    case WM_NCLBUTTONDOWN:
        if (wParam == HTMENU && IsPressOnEmptyMenuBar(window, lParam))
            StartDrag(window, state);
        break;
    case WM_LBUTTONDOWN:
        StartDrag(window, state);
        break;
    case WM_MOUSEMOVE:
        if (state.dragging)
            FollowCursor(window, state);
        break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        EndDrag(window, state);
        break;
    case WM_ACTIVATE:
        if (wParam == 0)
            EndDrag(window, state);
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: without the capture the drag could not see the button
        // go up, and the window would follow the bare mouse. A capture merely released (no new
        // owner) ends nothing: the system's menu-bar handling, which runs after this hook on a
        // press on the bar, takes the capture and releases it again before the first move.
        if (lParam != 0 && reinterpret_cast<HWND>(lParam) != window)
            EndDrag(window, state);
        break;
    default:
        break;
    }
}
