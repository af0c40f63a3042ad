// The platform rules: bitness, registry view and version flags, for faked platforms through the
// seam and once for the real Wine underneath.
#include <gtest/gtest.h>

#include <cstring>

#include "app/platform_values.h"
#include "framework/system_calls.h"
#include "ui/common/about_dlg.h"
#include "tests/support/child_process.h"

namespace {

WORD g_fakeArchitecture = 0;
DWORD g_fakeMajor = 0;
DWORD g_fakeMinor = 0;
LONG g_fakeStatus = 0;
bool g_rtlMissing = false;
BOOL g_getVersionResult = TRUE;

void WINAPI LeaveSystemInfoUntouched(SYSTEM_INFO*) {}

void WINAPI FakeNativeSystemInfo(SYSTEM_INFO* info)
{
    info->wProcessorArchitecture = g_fakeArchitecture;
}

LONG WINAPI FakeRtlGetVersion(OSVERSIONINFOEXW* info)
{
    if (g_fakeStatus != 0)
        return g_fakeStatus;
    info->dwMajorVersion = g_fakeMajor;
    info->dwMinorVersion = g_fakeMinor;
    info->dwBuildNumber = 1234;
    wcscpy(info->szCSDVersion, L"Service Pack 9");
    info->wServicePackMajor = 9;
    return 0;
}

// What the two WOW64 questions answer; by default neither exists, so the processor code decides.
enum class Wow { Missing, Fails, Yes, No };
Wow g_wow64Process2 = Wow::Missing;
Wow g_wow64Process = Wow::Missing;
USHORT g_nativeMachine = IMAGE_FILE_MACHINE_I386;

BOOL WINAPI FakeIsWow64Process2(HANDLE, USHORT* processMachine, USHORT* nativeMachine)
{
    if (g_wow64Process2 == Wow::Fails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    *processMachine = g_wow64Process2 == Wow::Yes ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_UNKNOWN;
    *nativeMachine = g_nativeMachine;
    return TRUE;
}

BOOL WINAPI FakeIsWow64Process(HANDLE, BOOL* wow64)
{
    if (g_wow64Process == Wow::Fails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    *wow64 = g_wow64Process == Wow::Yes;
    return TRUE;
}

template <typename Fn>
FARPROC Exported(bool present, Fn function)
{
    return present ? reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function)) : nullptr;
}

FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name)
{
    if (std::strcmp(name, "RtlGetVersion") == 0)
        return Exported(!g_rtlMissing, FakeRtlGetVersion);
    if (std::strcmp(name, "IsWow64Process2") == 0)
        return Exported(g_wow64Process2 != Wow::Missing, FakeIsWow64Process2);
    if (std::strcmp(name, "IsWow64Process") == 0)
        return Exported(g_wow64Process != Wow::Missing, FakeIsWow64Process);
    return ::GetProcAddress(module, name);
}

BOOL WINAPI FakeGetVersionEx(OSVERSIONINFOW* info)
{
    if (!g_getVersionResult) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    SetLastError(0);
    return TRUE;
}

class FakedPlatform : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = Sys();
        Sys().GetNativeSystemInfo = FakeNativeSystemInfo;
        Sys().GetProcAddress = FakeGetProcAddress;
        Sys().GetVersionExW = FakeGetVersionEx;
        g_rtlMissing = false;
        g_fakeStatus = 0;
        g_getVersionResult = TRUE;
        g_wow64Process2 = Wow::Missing;
        g_wow64Process = Wow::Missing;
    }
    void TearDown() override
    {
        Sys() = m_saved;
        RecordPlatformValues();
    }
    SystemCalls m_saved;
};

}  // namespace

TEST_F(FakedPlatform, ArchitecturesAndVersions)
{
    struct Case {
        WORD architecture;
        DWORD major, minor;
        int bitness;
        DWORD view;
        BOOL notSupported, win7;
    } cases[] = {
        {PROCESSOR_ARCHITECTURE_INTEL, 5, 1, 0, 0, TRUE, FALSE},
        {PROCESSOR_ARCHITECTURE_INTEL, 5, 2, 0, 0, TRUE, FALSE},
        {PROCESSOR_ARCHITECTURE_INTEL, 6, 0, 0, 0, FALSE, FALSE},
        {PROCESSOR_ARCHITECTURE_AMD64, 6, 0, 1, KEY_WOW64_64KEY, FALSE, FALSE},
        {PROCESSOR_ARCHITECTURE_AMD64, 6, 1, 1, KEY_WOW64_64KEY, FALSE, TRUE},
        {PROCESSOR_ARCHITECTURE_AMD64, 10, 0, 1, KEY_WOW64_64KEY, FALSE, TRUE},
        {12 /* ARM64 */, 10, 0, -1, 0, FALSE, TRUE},
        {PROCESSOR_ARCHITECTURE_IA64, 6, 1, -1, 0, FALSE, TRUE},
        {PROCESSOR_ARCHITECTURE_AMD64, 5, 2, 1, KEY_WOW64_64KEY, TRUE, FALSE},
    };
    for (const Case& c : cases) {
        g_fakeArchitecture = c.architecture;
        g_fakeMajor = c.major;
        g_fakeMinor = c.minor;
        RecordPlatformValues();
        SCOPED_TRACE(::testing::Message() << "arch " << c.architecture << ", " << c.major << "." << c.minor);
        EXPECT_EQ(c.bitness, g_osBitness);
        EXPECT_EQ(c.view, g_registryView);
        EXPECT_EQ(c.notSupported, g_notSupported);
        EXPECT_EQ(c.win7, g_osWin7OrLater);
    }
}

TEST_F(FakedPlatform, TheSixtyFourBitViewWheneverTheProcessRunsUnderWow64)
{
    const WORD ARM64 = 12;
    const USHORT MACHINE_ARM64 = 0xAA64;
    struct Case {
        const char* what;
        WORD architecture;   // what GetNativeSystemInfo reports
        Wow wow64Process2;
        USHORT nativeMachine;
        Wow wow64Process;
        int bitness;
        DWORD view;
        const wchar_t* about;
    } cases[] = {
        {"x86 on 32-bit Windows", PROCESSOR_ARCHITECTURE_INTEL, Wow::No, IMAGE_FILE_MACHINE_I386, Wow::No, 0, 0,
         L"32-bit OS"},
        {"x86 on x64", PROCESSOR_ARCHITECTURE_AMD64, Wow::Yes, IMAGE_FILE_MACHINE_AMD64, Wow::Yes, 1, KEY_WOW64_64KEY,
         L"64-bit OS"},
        {"x86 on ARM64, processor reported as x86", PROCESSOR_ARCHITECTURE_INTEL, Wow::Yes, MACHINE_ARM64, Wow::No, 1,
         KEY_WOW64_64KEY, L"64-bit OS"},
        {"x86 on ARM64, processor reported as ARM64", ARM64, Wow::Yes, MACHINE_ARM64, Wow::No, 1, KEY_WOW64_64KEY,
         L"64-bit OS"},
        {"IsWow64Process2 missing, x64", PROCESSOR_ARCHITECTURE_AMD64, Wow::Missing, 0, Wow::Yes, 1, KEY_WOW64_64KEY,
         L"64-bit OS"},
        {"IsWow64Process2 missing, 32-bit", PROCESSOR_ARCHITECTURE_INTEL, Wow::Missing, 0, Wow::No, 0, 0, L"32-bit OS"},
        {"IsWow64Process2 fails", ARM64, Wow::Fails, 0, Wow::Yes, 1, KEY_WOW64_64KEY, L"64-bit OS"},
        {"neither answers: the processor code", ARM64, Wow::Fails, 0, Wow::Fails, -1, 0, L"Unknown bitness OS"},
        {"neither exists, x64", PROCESSOR_ARCHITECTURE_AMD64, Wow::Missing, 0, Wow::Missing, 1, KEY_WOW64_64KEY,
         L"64-bit OS"},
    };
    for (const Case& c : cases) {
        g_fakeArchitecture = c.architecture;
        g_wow64Process2 = c.wow64Process2;
        g_nativeMachine = c.nativeMachine;
        g_wow64Process = c.wow64Process;
        g_fakeMajor = 10;
        RecordPlatformValues();
        EXPECT_EQ(c.bitness, g_osBitness) << c.what;
        EXPECT_EQ(c.view, g_registryView) << c.what;
        EXPECT_STREQ(c.about, CAboutDlg::BitnessText(g_osBitness)) << c.what;
    }
}

TEST_F(FakedPlatform, UntouchedSystemInfoMeansUnknownBitness)
{
    Sys().GetNativeSystemInfo = LeaveSystemInfoUntouched;
    RecordPlatformValues();
    EXPECT_EQ(-1, g_osBitness);
    EXPECT_EQ(0u, g_registryView);
}

TEST_F(FakedPlatform, QueryOsVersionCopiesTheTrueVersion)
{
    g_fakeMajor = 10;
    g_fakeMinor = 0;
    OSVERSIONINFOEXW ex = {};
    ex.dwOSVersionInfoSize = sizeof(ex);
    ASSERT_EQ(284u, sizeof(ex));
    SetLastError(99);
    ASSERT_TRUE(QueryOsVersion(reinterpret_cast<OSVERSIONINFOW*>(&ex)));
    EXPECT_EQ(0u, GetLastError());
    EXPECT_EQ(10u, ex.dwMajorVersion);
    EXPECT_EQ(1234u, ex.dwBuildNumber);
    EXPECT_EQ(9, ex.wServicePackMajor);
    EXPECT_STREQ(L"Service Pack 9", ex.szCSDVersion);

    OSVERSIONINFOW plain = {};
    plain.dwOSVersionInfoSize = sizeof(plain);
    ASSERT_EQ(276u, sizeof(plain));
    ASSERT_TRUE(QueryOsVersion(&plain));
    EXPECT_EQ(10u, plain.dwMajorVersion);
}

TEST_F(FakedPlatform, QueryOsVersionFallsBackToGetVersionEx)
{
    OSVERSIONINFOW info = {};
    SetLastError(0);
    EXPECT_FALSE(QueryOsVersion(nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    struct Case {
        const char* what;
        bool rtlMissing;
        LONG status;
        DWORD sizeField;
    } cases[] = {
        {"RtlGetVersion missing", true, 0, 276},
        {"RtlGetVersion fails", false, static_cast<LONG>(0xC0000022), 276},
        {"unknown structure size", false, 0, 100},
    };
    for (const Case& c : cases) {
        g_rtlMissing = c.rtlMissing;
        g_fakeStatus = c.status;
        g_fakeMajor = 10;
        info = {};
        info.dwOSVersionInfoSize = c.sizeField;
        EXPECT_TRUE(QueryOsVersion(&info)) << c.what;
        EXPECT_EQ(5u, info.dwMajorVersion) << c.what << ": the version came from GetVersionExW";
    }

    g_rtlMissing = true;
    g_getVersionResult = FALSE;
    info = {};
    info.dwOSVersionInfoSize = 276;
    EXPECT_FALSE(QueryOsVersion(&info));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED), GetLastError());
    RecordPlatformValues();
    EXPECT_FALSE(g_notSupported) << "an unknown version is not called unsupported";
    EXPECT_FALSE(g_osWin7OrLater);
}

TEST(StatusConversion, NtStatusBecomesWin32Code)
{
    struct Case {
        LONG status;
        DWORD code;
    } cases[] = {
        {static_cast<LONG>(0xC0000022), ERROR_ACCESS_DENIED},
        {static_cast<LONG>(0xC000000D), ERROR_INVALID_PARAMETER},
        {static_cast<LONG>(0xC0000034), ERROR_FILE_NOT_FOUND},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.code, StatusToWin32Error(c.status));
        EXPECT_EQ(c.code, GetLastError());
    }
}

TEST(RealPlatform, WineReportsA64BitSupportedWindows)
{
    RecordPlatformValues();
    EXPECT_EQ(1, g_osBitness);
    EXPECT_EQ(static_cast<DWORD>(KEY_WOW64_64KEY), g_registryView);
    EXPECT_FALSE(g_notSupported);
    EXPECT_TRUE(g_osWin7OrLater);
    EXPECT_STREQ(L"1.0.1", KESTRUNE_VERSION);
}

TEST(RealPlatform, WineSetToWindowsXpIsUnsupported)
{
    const std::wstring self = SelfExeName();
    SetWineAppVersion(self, L"winxp");
    int xp = RunSelf(L"" PRINT_PLATFORM_SWITCH);
    SetWineAppVersion(self, L"");
    int normal = RunSelf(L"" PRINT_PLATFORM_SWITCH);

    ASSERT_NE(-1, xp);
    EXPECT_EQ(0x10, xp & 0x30) << "XP: not supported, not Windows 7";
    EXPECT_EQ(0x100 | 2, xp & 0x103) << "still 64-bit with the 64-bit view";
    EXPECT_EQ(0x20, normal & 0x30) << "default version: supported, Windows 7 or later";
}
