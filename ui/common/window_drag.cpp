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

// Starts a drag from `press`, the screen point where the button went down: the window follows
// the cursor from there, even when the press is handled only after the mouse has moved on.
bool StartDrag(HWND window, DragState& state, POINT press)
{
    if (!::IsWindowVisible(window) || ::GetForegroundWindow() != window)
        return false;
    state.lastCursorPos = press;
    state.savedCursor = ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
    ::SetCapture(window);
    state.dragging = TRUE;
    return true;
}

// The cursor position of a client-area mouse message, in screen coordinates.
POINT ScreenPointOf(HWND window, LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ClientToScreen(window, &point);
    return point;
}

void FollowCursor(HWND window, DragState& state, POINT cursor)
{
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

bool HandleWindowDrag(UINT message, WPARAM wParam, LPARAM lParam, HWND window, DragState& state)
{
    switch (message) {
    case WM_NCLBUTTONDOWN:
        // The press is kept from the system's menu-bar handling: that would take the mouse for
        // its own menu loop and drop it again, after which the moves over the bar arrive as
        // non-client moves and the window lags behind the cursor.
        if (wParam == HTMENU && IsPressOnEmptyMenuBar(window, lParam)) {
            const POINT press = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            return StartDrag(window, state, press);
        }
        break;
    case WM_LBUTTONDOWN:
        StartDrag(window, state, ScreenPointOf(window, lParam));
        break;
    case WM_MOUSEMOVE:
        // The window holds the capture, so every move of the drag comes here in client
        // coordinates, over the menu bar too.
        if (state.dragging)
            FollowCursor(window, state, ScreenPointOf(window, lParam));
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
        // The mouse was taken away or let go by someone else: without the capture the drag could
        // not see the button go up, and the window would follow the bare mouse.
        if (reinterpret_cast<HWND>(lParam) != window)
            EndDrag(window, state);
        break;
    default:
        break;
    }
    return false;
}
