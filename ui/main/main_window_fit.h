#pragma once
// Fitting the main window into its monitor's work area. The window is laid out for a screen of
// usual size; on a small screen or at a large text scale it can be taller than the work area, and
// its buttons would end up below the taskbar. Then the program list, the one part whose size does
// not matter to its content, gives up height, and everything below it moves up by as much.
#include <windows.h>

// Rows of the program list that stay visible however small the screen.
const int LIST_MINIMUM_ROWS = 5;

// How many pixels the list gives up so that a window of windowHeight fits into availableHeight,
// without the list getting shorter than listMinimumHeight: 0 when the window fits as it is.
int ListShrinkNeeded(int windowHeight, int availableHeight, int listHeight, int listMinimumHeight);

// The outer height of a report-view list showing `rows` rows below its header, or -1 when the
// row height cannot be measured.
int ListHeightForRows(HWND list, int rows);

// Shrinks `list` and the controls that frame it, moves the controls below it up and keeps the
// window inside the work area of its monitor. Returns the pixels taken from the list's height.
// Where the window fits, nothing changes.
int FitWindowToWorkArea(HWND dialog, HWND list, int minimumRows);
