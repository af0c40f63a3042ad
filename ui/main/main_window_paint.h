#pragma once
// Icons of the main window.
#include <windows.h>

// The system warning icon at small-icon size, scaled down by the system where it can; null when it
// cannot be loaded. `owned` tells whether the caller must destroy it: the fallback loads the
// system's shared copy, which must not be destroyed.
HICON LoadSmallWarningIcon(bool& owned);
