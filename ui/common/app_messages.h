#pragma once
// Messages between Kestrune's own windows.
#include <windows.h>

// Sent by the program settings dialog to the main window: does another row of the program list
// already use this process name? wParam: the trimmed name (const wchar_t*); lParam: the row being
// edited, or -1 when adding. Result 1 (and that row selected alone) or 0.
#define WM_APP_FINDPROCESS (WM_APP + 1)
