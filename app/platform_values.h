#pragma once
// Facts about the Windows we run on, recorded once before anything else of the program runs and
// read-only afterwards.
#include <windows.h>

// The program's version text, shown in the About box, written to the profile and sent with the
// program information page.
extern const wchar_t* const KESTRUNE_VERSION;

// 1 on 64-bit Windows on x64, 0 on 32-bit Windows on x86, -1 on anything else (ARM64, IA-64).
extern int g_osBitness;
// Windows older than Vista: the settings cannot be written there.
extern BOOL g_notSupported;
// Windows 7 or later.
extern BOOL g_osWin7OrLater;
// KEY_WOW64_64KEY on 64-bit Windows on x64, else 0; ORed into every access to the dump keys.
extern DWORD g_registryView;

// Fills the four values above. Runs while the application object is constructed.
void RecordPlatformValues();

// The true Windows version, whatever compatibility settings would report. `info` is an
// OSVERSIONINFOW (size field 276) or OSVERSIONINFOEXW (284). Leaves the Win32 code of the outcome
// as the last error (0 on success).
BOOL QueryOsVersion(OSVERSIONINFOW* info);

// Converts an NTSTATUS into a Win32 error code; also leaves it as the last error.
DWORD StatusToWin32Error(LONG status);

// The rules behind the values, on their own.
int BitnessFromArchitecture(WORD processorArchitecture);
BOOL IsUnsupportedVersion(BOOL versionKnown, DWORD major);
BOOL IsWin7OrLaterVersion(BOOL versionKnown, DWORD major, DWORD minor);
DWORD RegistryViewForBitness(int bitness);
