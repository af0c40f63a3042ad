#pragma once
// The operating system's message for a Win32 error code, as the last part of every error box.
#include <windows.h>

#include <string>

// Empty for 0. Codes 12000 to 12175 come from the Windows Internet module's message table, all
// others from the system's. Every carriage return and line feed is removed; a code without a
// message gives an empty text.
std::wstring ErrorText(DWORD code);
