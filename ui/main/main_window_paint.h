#pragma once
// Icons of the main window.
#include <windows.h>

// The system warning icon at small-icon size, scaled down by the system where it can; null when it
// cannot be loaded.
HICON LoadSmallWarningIcon();
