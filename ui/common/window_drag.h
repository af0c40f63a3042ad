#pragma once
// Moving a dialog by dragging its background or the empty part of its menu bar. Every dialog
// hands each of its messages to HandleWindowDrag, with its own DragState, before its normal
// processing. The hook consumes one message only: a press on the empty part of the menu bar that
// starts a drag (it returns true, and the dialog then returns 0 without processing it further).
#include <windows.h>

struct DragState {
    HCURSOR savedCursor;  // the cursor before the drag, put back at its end
    BOOL dragging;        // a drag is under way and the window holds the mouse capture
    POINT lastCursorPos;  // screen position at the start of the drag or the last step
};

bool HandleWindowDrag(UINT message, WPARAM wParam, LPARAM lParam, HWND window, DragState& state);
