#pragma once
// Letting this thread's messages run while a test or benchmark waits.
#include <windows.h>

#include <functional>

// Dispatches the thread's messages for a while, e.g. until a timer has fired.
void PumpFor(DWORD milliseconds);
// Dispatches the thread's messages until `done` holds; false when it still does not after the
// limit.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000);
