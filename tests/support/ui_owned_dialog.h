#pragma once
// Finding the dialog that a modal call (message box, common dialog) has put up.
#include <windows.h>

// The visible dialog-class window ("#32770") of this thread that `owner` owns, or null.
HWND FindOwnedDialogWindow(HWND owner);
