#pragma once
// Facts about the Windows we run on, recorded once before anything else of the program runs and
// read-only afterwards.
#include <windows.h>

// The program's version text, shown in the About box, written to the profile and sent with the
// program information page.
extern const wchar_t* const KESTRUNE_VERSION;

// 1 on a 64-bit Windows (this 32-bit process runs under WOW64, on x64 or ARM64 alike), 0 on a
// 32-bit Windows, -1 when neither WOW64 test can be asked and the processor is neither x86 nor x64.
extern int g_osBitness;
// Windows older than Vista: the settings cannot be written there.
extern BOOL g_notSupported;
// Windows 7 or later.
extern BOOL g_osWin7OrLater;
// KEY_WOW64_64KEY on a 64-bit Windows, else 0; ORed into every access to the dump keys, so that
// they are those that the native error reporting service reads.
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
enum class WowAnswer { Yes, No, Unknown };
int BitnessFromArchitecture(WORD processorArchitecture);
// The WOW64 answer decides; only without one does the processor code.
int BitnessFromWow64(WowAnswer wow64, WORD processorArchitecture);
BOOL IsUnsupportedVersion(BOOL versionKnown, DWORD major);
BOOL IsWin7OrLaterVersion(BOOL versionKnown, DWORD major, DWORD minor);
DWORD RegistryViewForBitness(int bitness);

// A function of kernel32 that older Windows versions lack, looked up at run time, or null.
FARPROC Kernel32Function(const char* name);
