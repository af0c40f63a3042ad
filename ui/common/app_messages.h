#pragma once
// Messages between Kestrune's own windows.
#include <windows.h>

// Sent by the program settings dialog to the main window: does another row of the program list
// already use this process name? wParam: the trimmed name (const wchar_t*); lParam: the row being
// edited, or -1 when adding. Result 1 (and that row selected alone) or 0.
#define WM_APP_FINDPROCESS (WM_APP + 1)

// Posted by the main window to itself after a load that could not read every program key:
// wParam is the Win32 code. Shows the message once the window is up.
#define WM_APP_LOAD_INCOMPLETE (WM_APP + 2)
