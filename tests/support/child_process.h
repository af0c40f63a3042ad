#pragma once
// Starting the running test program again, as a fresh process, and waiting for its exit code.
#include <windows.h>

#include <string>

// Command-line switch on which a test program records the platform values and exits with them.
#define PRINT_PLATFORM_SWITCH "--record-platform"

// The platform values packed into one exit code: bit 0..1 bitness + 1, bit 4 not supported,
// bit 5 Windows 7 or later, bit 8 the 64-bit registry view.
int EncodePlatformValues();

// Runs this test program with the given arguments; returns its exit code, or -1.
int RunSelf(const std::wstring& arguments, DWORD timeoutMs = 60000);

// Sets (or, with an empty version, removes) Wine's per-application Windows version for an
// executable name, in HKEY_CURRENT_USER\Software\Wine\AppDefaults.
void SetWineAppVersion(const std::wstring& exeName, const std::wstring& version);

// The file name of the running test program.
std::wstring SelfExeName();
