#pragma once
// How long a test waits for a window that a step opens: a dialog, a message box, a common dialog,
// a popup menu, the program's main window. It is a guard against a hang, not a pace: where 32-bit
// code runs under an emulator, or under Wine's heap checking, a common dialog can take many seconds
// to show, and a correct program must not fail there. A passing test never waits this long.
#include <windows.h>

const DWORD WINDOW_APPEARS_MS = 60000;
// A watchdog around a run whose steps wait for windows outlasts the longest such wait.
const DWORD RUN_WATCHDOG_MS = 2 * WINDOW_APPEARS_MS;
