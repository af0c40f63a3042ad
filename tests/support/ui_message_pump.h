#pragma once
// Letting this thread's messages run while a test or benchmark waits.
#include <windows.h>

// Dispatches the thread's messages for a while, e.g. until a timer has fired.
void PumpFor(DWORD milliseconds);
