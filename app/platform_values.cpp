#include "app/platform_values.h"

#include <cstring>

#include "framework/system_calls.h"

const wchar_t* const KESTRUNE_VERSION = L"1.0.1";

int g_osBitness = -1;
BOOL g_notSupported = FALSE;
BOOL g_osWin7OrLater = FALSE;
DWORD g_registryView = 0;

namespace {

const DWORD OSVERSIONINFOW_SIZE = 276;
const DWORD OSVERSIONINFOEXW_SIZE = 284;

typedef LONG(WINAPI* RtlGetVersionFn)(OSVERSIONINFOEXW*);

// Asks ntdll's RtlGetVersion, which compatibility shims do not lie to. Returns 0 or a Win32 code.
DWORD ReadTrueVersion(OSVERSIONINFOEXW& version)
{
    std::memset(&version, 0, sizeof(version));
    HMODULE ntdll = Sys().GetModuleHandleW(L"ntdll.dll");
    FARPROC proc = ntdll ? Sys().GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
    if (!proc)
        return ERROR_NOT_SUPPORTED;
    RtlGetVersionFn rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(proc));
    version.dwOSVersionInfoSize = OSVERSIONINFOEXW_SIZE;
    LONG status = rtlGetVersion(&version);
    return status == 0 ? ERROR_SUCCESS : StatusToWin32Error(status);
}

typedef BOOL(WINAPI* IsWow64Process2Fn)(HANDLE process, USHORT* processMachine, USHORT* nativeMachine);
typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE process, BOOL* wow64);

// Whether this 32-bit process runs under WOW64, that is on a 64-bit Windows whatever its processor.
// IsWow64Process2 first: IsWow64Process answers FALSE for an x86 process on ARM64.
WowAnswer AskWow64()
{
    if (FARPROC proc = Kernel32Function("IsWow64Process2")) {
        USHORT processMachine = IMAGE_FILE_MACHINE_UNKNOWN;
        USHORT nativeMachine = IMAGE_FILE_MACHINE_UNKNOWN;
        if (reinterpret_cast<IsWow64Process2Fn>(reinterpret_cast<void*>(proc))(::GetCurrentProcess(), &processMachine,
                                                                             &nativeMachine))
            return processMachine != IMAGE_FILE_MACHINE_UNKNOWN ? WowAnswer::Yes : WowAnswer::No;
    }
    if (FARPROC proc = Kernel32Function("IsWow64Process")) {
        BOOL wow64 = FALSE;
        if (reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(proc))(::GetCurrentProcess(), &wow64))
            return wow64 ? WowAnswer::Yes : WowAnswer::No;
    }
    return WowAnswer::Unknown;
}

}  // namespace

int BitnessFromArchitecture(WORD processorArchitecture)
{
    switch (processorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
        return 1;
    case PROCESSOR_ARCHITECTURE_INTEL:
        return 0;
    default:
        return -1;
    }
}

BOOL IsUnsupportedVersion(BOOL versionKnown, DWORD major)
{
    return versionKnown && major <= 5;
}

BOOL IsWin7OrLaterVersion(BOOL versionKnown, DWORD major, DWORD minor)
{
    return versionKnown && (major > 6 || (major == 6 && minor >= 1));
}

int BitnessFromWow64(WowAnswer wow64, WORD processorArchitecture)
{
    if (wow64 == WowAnswer::Yes)
        return 1;
    if (wow64 == WowAnswer::No)
        return 0;  // a 32-bit process outside WOW64 runs on a 32-bit Windows
    return BitnessFromArchitecture(processorArchitecture);
}

DWORD RegistryViewForBitness(int bitness)
{
    return bitness == 1 ? KEY_WOW64_64KEY : 0;
}

DWORD StatusToWin32Error(LONG status)
{
    OVERLAPPED overlapped;
    std::memset(&overlapped, 0, sizeof(overlapped));
    overlapped.Internal = static_cast<ULONG_PTR>(static_cast<ULONG>(status));
    DWORD transferred = 0;
    ::GetOverlappedResult(nullptr, &overlapped, &transferred, FALSE);
    DWORD code = ::GetLastError();
    if (code == 0)
        code = static_cast<DWORD>(status);
    ::SetLastError(code);
    return code;
}

BOOL QueryOsVersion(OSVERSIONINFOW* info)
{
    if (!info) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    OSVERSIONINFOEXW version;
    if (ReadTrueVersion(version) != ERROR_SUCCESS)
        return Sys().GetVersionExW(info);

    if (info->dwOSVersionInfoSize != OSVERSIONINFOW_SIZE && info->dwOSVersionInfoSize != OSVERSIONINFOEXW_SIZE)
        return Sys().GetVersionExW(info);

    info->dwMajorVersion = version.dwMajorVersion;
    info->dwMinorVersion = version.dwMinorVersion;
    info->dwBuildNumber = version.dwBuildNumber;
    info->dwPlatformId = version.dwPlatformId;
    std::memcpy(info->szCSDVersion, version.szCSDVersion, sizeof(info->szCSDVersion));
    if (info->dwOSVersionInfoSize == OSVERSIONINFOEXW_SIZE) {
        OSVERSIONINFOEXW* ex = reinterpret_cast<OSVERSIONINFOEXW*>(info);
        ex->wServicePackMajor = version.wServicePackMajor;
        ex->wServicePackMinor = version.wServicePackMinor;
        ex->wSuiteMask = version.wSuiteMask;
        ex->wProductType = version.wProductType;
        ex->wReserved = version.wReserved;
    }
    ::SetLastError(ERROR_SUCCESS);
    return TRUE;
}

void RecordPlatformValues()
{
    SYSTEM_INFO system;
    std::memset(&system, 0xFF, sizeof(system));
    Sys().GetNativeSystemInfo(&system);
    g_osBitness = BitnessFromWow64(AskWow64(), system.wProcessorArchitecture);

    OSVERSIONINFOW version;
    std::memset(&version, 0, sizeof(version));
    version.dwOSVersionInfoSize = OSVERSIONINFOW_SIZE;
    BOOL known = QueryOsVersion(&version);
    g_notSupported = IsUnsupportedVersion(known, version.dwMajorVersion);
    g_osWin7OrLater = IsWin7OrLaterVersion(known, version.dwMajorVersion, version.dwMinorVersion);

    g_registryView = RegistryViewForBitness(g_osBitness);
}

FARPROC Kernel32Function(const char* name)
{
    HMODULE kernel32 = Sys().GetModuleHandleW(L"kernel32.dll");
    return kernel32 ? Sys().GetProcAddress(kernel32, name) : nullptr;
}
