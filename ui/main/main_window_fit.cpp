#include "ui/main/main_window_fit.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/common/label_fit.h"

int ListShrinkNeeded(int windowHeight, int availableHeight, int listHeight, int listMinimumHeight)
{
    const int excess = windowHeight - availableHeight;
    const int spare = listHeight - listMinimumHeight;
    if (excess <= 0 || spare <= 0)
        return 0;
    return std::min(excess, spare);
}

int ListHeightForRows(HWND list, int rows)
{
    RECT outer = {};
    RECT client = {};
    if (!::GetWindowRect(list, &outer) || !::GetClientRect(list, &client))
        return -1;
    // An empty list has no row to measure: one blank row is there for the measurement only.
    bool measuringRow = false;
    if (::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"");
        measuringRow = ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) == 0;
    }
    RECT row = {};
    row.left = LVIR_BOUNDS;
    const bool measured = ::SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) != 0;
    if (measuringRow)
        ::SendMessageW(list, LVM_DELETEITEM, 0, 0);
    if (!measured || row.bottom <= row.top)
        return -1;
    // Border and header above the first row (its top, with the list scrolled to the start).
    const int frame = (outer.bottom - outer.top) - (client.bottom - client.top);
    return frame + row.top + rows * (row.bottom - row.top);
}

namespace {

// The list and every control that frames it (its group box) get shorter; every other control
// that starts below the list's top edge lies below the list and moves up.
void ShiftControlsBelowList(HWND dialog, HWND list, int shrink)
{
    const RECT listRect = ChildRect(dialog, list);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = ChildRect(dialog, child);
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (rect.top <= listRect.top && rect.bottom >= listRect.bottom)
            ::SetWindowPos(child, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top - shrink,
                           flags | SWP_NOMOVE);
        else if (rect.top > listRect.top)
            ::SetWindowPos(child, nullptr, rect.left, rect.top - shrink, 0, 0, flags | SWP_NOSIZE);
    }
}

} // namespace

int FitWindowToWorkArea(HWND dialog, HWND list, int minimumRows)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    RECT frame = {};
    RECT listRect = {};
    if (!::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor) ||
        !::GetWindowRect(dialog, &frame) || !::GetWindowRect(list, &listRect))
        return 0;
    const RECT& work = monitor.rcWork;
    const int minimumHeight = ListHeightForRows(list, minimumRows);
    if (minimumHeight < 0)
        return 0;

    const int shrink = ListShrinkNeeded(frame.bottom - frame.top, work.bottom - work.top,
                                        listRect.bottom - listRect.top, minimumHeight);
    if (shrink > 0) {
        ShiftControlsBelowList(dialog, list, shrink);
        frame.bottom -= shrink;
    }
    // The caption and the buttons both on the screen: the bottom edge inside the work area and,
    // before all, the top edge.
    int top = frame.top;
    if (frame.bottom > work.bottom)
        top -= frame.bottom - work.bottom;
    top = std::max(top, static_cast<int>(work.top));
    if (shrink > 0 || top != frame.top)
        ::SetWindowPos(dialog, nullptr, frame.left, top, frame.right - frame.left, frame.bottom - frame.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    return shrink;
}
