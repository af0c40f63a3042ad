// The registry operations against the test prefix's real registry, and with injected failures for
// what the registry here cannot produce.
#include <gtest/gtest.h>

#include <cwchar>

#include "app/optional_apis.h"
#include "app/platform_values.h"
#include "model/error_text.h"
#include "model/registry_access.h"
#include "model/text_utils.h"
#include "tests/model/store_test_support.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring KEY = LOCALDUMPS_KEY_PATH;

class RegistryAccess : public LocalDumpsTest {};

}  // namespace

TEST_F(RegistryAccess, WritesLandInThe64BitViewOnly)
{
    ASSERT_EQ(1, g_osBitness) << "the test prefix is 64-bit";
    ASSERT_EQ(static_cast<DWORD>(KEY_WOW64_64KEY), g_registryView);

    ASSERT_TRUE(RegWriteDword(KEY.c_str(), VALUE_DUMP_TYPE, 2));
    ASSERT_TRUE(RegWriteDumpFolder(KEY.c_str(), L"C:\\dumps"));

    EXPECT_TRUE(reg64::Get(KEY, VALUE_DUMP_TYPE, KEY_WOW64_64KEY).exists);
    // A 32-bit reader without the view flag is redirected and does not see the values.
    EXPECT_FALSE(reg64::Get(KEY, VALUE_DUMP_TYPE, 0).exists);
    EXPECT_FALSE(reg64::Get(KEY, VALUE_DUMP_FOLDER, KEY_WOW64_32KEY).exists);
}

TEST_F(RegistryAccess, ReadDwordAcceptsOnlyFourByteDwords)
{
    const DWORD dword = 7;
    const ULONGLONG qword = 7;
    const WORD word = 7;
    struct Case {
        const char* what;
        DWORD type;
        const void* data;
        DWORD size;
        bool ok;
        DWORD lastError;
    } cases[] = {
        {"REG_DWORD of 4 bytes", REG_DWORD, &dword, 4, true, 0},
        {"REG_QWORD", REG_QWORD, &qword, 8, false, ERROR_MORE_DATA},
        {"REG_DWORD of 2 bytes", REG_DWORD, &word, 2, false, 0},
        {"REG_SZ", REG_SZ, L"7", 4, false, 0},
        {"REG_BINARY of 4 bytes", REG_BINARY, &dword, 4, false, 0},
    };
    for (const Case& c : cases) {
        reg64::SetRaw(KEY, VALUE_DUMP_COUNT, c.type, c.data, c.size);
        DWORD value = 12345;
        EXPECT_EQ(c.ok, RegReadDword(HKEY_LOCAL_MACHINE, KEY.c_str(), VALUE_DUMP_COUNT, value)) << c.what;
        EXPECT_EQ(c.lastError, GetLastError()) << c.what;
        EXPECT_EQ(c.ok ? 7u : 12345u, value) << c.what << ": the out value is written only on success";
    }

    DWORD value = 0;
    EXPECT_FALSE(RegReadDword(HKEY_LOCAL_MACHINE, KEY.c_str(), L"Missing", value));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(RegReadDword(HKEY_LOCAL_MACHINE, (KEY + L"\\none.exe").c_str(), VALUE_DUMP_TYPE, value));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST_F(RegistryAccess, ReadDumpFolderTakesStringsUpToTheirFirstNul)
{
    const DWORD dword = 1;
    const wchar_t noNul[] = {L'C', L':', L'\\', L'x'};
    const wchar_t embedded[] = L"C:\\a\0C:\\b";
    struct Case {
        const char* what;
        DWORD type;
        const void* data;
        DWORD size;
        bool ok;
        const wchar_t* text;
        DWORD lastError;
    } cases[] = {
        {"REG_SZ", REG_SZ, L"C:\\dumps", 18, true, L"C:\\dumps", 0},
        {"REG_EXPAND_SZ stays unexpanded", REG_EXPAND_SZ, L"%TEMP%\\d", 18, true, L"%TEMP%\\d", 0},
        {"empty REG_SZ (just the NUL)", REG_SZ, L"", 2, true, L"", 0},
        {"string without a NUL", REG_SZ, noNul, sizeof(noNul), true, L"C:\\x", 0},
        {"odd byte count", REG_SZ, L"AB", 3, true, L"A", 0},
        {"embedded NUL ends the text", REG_SZ, embedded, sizeof(embedded), true, L"C:\\a", 0},
        {"zero-size REG_SZ", REG_SZ, L"", 0, false, L"", 0},
        {"zero-size REG_EXPAND_SZ", REG_EXPAND_SZ, L"", 0, false, L"", 0},
        {"REG_DWORD", REG_DWORD, &dword, 4, false, L"", ERROR_BAD_DEV_TYPE},
        {"REG_MULTI_SZ", REG_MULTI_SZ, L"a\0", 6, false, L"", ERROR_BAD_DEV_TYPE},
    };
    for (const Case& c : cases) {
        reg64::SetRaw(KEY, VALUE_DUMP_FOLDER, c.type, c.data, c.size);
        std::wstring folder = L"unchanged";
        bool ok = RegReadDumpFolder(HKEY_LOCAL_MACHINE, KEY.c_str(), folder);
        EXPECT_EQ(c.ok, ok) << c.what;
        EXPECT_EQ(c.lastError, GetLastError()) << c.what;
        if (c.ok) {
            EXPECT_EQ(std::wstring(c.text), folder) << c.what;
        }
    }
    reg64::DeleteTree(KEY);
    std::wstring folder;
    EXPECT_FALSE(RegReadDumpFolder(HKEY_LOCAL_MACHINE, KEY.c_str(), folder));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

namespace {

// Changes the stored folder between the size probe and the read, as another program might. The
// change goes through a second handle with write access.
int g_folderQueries = 0;
HKEY g_writableKey = nullptr;
DWORD g_changedType = REG_SZ;
std::wstring g_changedText;

LONG WINAPI QueryThatSeesAChange(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (++g_folderQueries == 2)
        Real().RegSetValueExW(g_writableKey, name, 0, g_changedType,
                              reinterpret_cast<const BYTE*>(g_changedText.c_str()),
                              static_cast<DWORD>((g_changedText.size() + 1) * 2));
    return Real().RegQueryValueExW(key, name, reserved, type, data, size);
}

}  // namespace

TEST_F(RegistryAccess, ReadDumpFolderRejectsAValueThatChangedBetweenItsTwoQueries)
{
    struct Case {
        const char* what;
        DWORD type;
        const wchar_t* text;
        bool ok;
        DWORD lastError;
    } cases[] = {
        // "C:\\dumps" is 18 bytes; the read buffer holds one character more.
        {"grew by one character", REG_SZ, L"C:\\dumpsX", false, ERROR_INVALID_DATA},
        {"grew beyond the buffer", REG_SZ, L"C:\\a much longer folder", false, ERROR_MORE_DATA},
        {"became an unexpandable type", REG_MULTI_SZ, L"ab", false, ERROR_INVALID_DATA},
        {"shrank", REG_SZ, L"C:", true, 0},
    };
    for (const Case& c : cases) {
        reg64::SetString(KEY, VALUE_DUMP_FOLDER, L"C:\\dumps");
        ASSERT_EQ(ERROR_SUCCESS, Real().RegOpenKeyExW(HKEY_LOCAL_MACHINE, KEY.c_str(), 0,
                                                      KEY_ALL_ACCESS | KEY_WOW64_64KEY, &g_writableKey));
        g_folderQueries = 0;
        g_changedType = c.type;
        g_changedText = c.text;
        SystemCalls saved = Sys();
        Sys().RegQueryValueExW = QueryThatSeesAChange;
        std::wstring folder;
        bool ok = RegReadDumpFolder(HKEY_LOCAL_MACHINE, KEY.c_str(), folder);
        DWORD lastError = GetLastError();
        Sys() = saved;
        Real().RegCloseKey(g_writableKey);
        EXPECT_EQ(c.ok, ok) << c.what;
        EXPECT_EQ(c.lastError, lastError) << c.what;
        if (c.ok) {
            EXPECT_EQ(std::wstring(c.text), folder) << c.what;
        }
    }
}

TEST_F(RegistryAccess, CountKeyContents)
{
    DWORD subkeys = 99, values = 99;
    EXPECT_TRUE(RegCountKeyContents(KEY.c_str(), subkeys, values)) << "an absent key counts as empty";
    EXPECT_EQ(0u, subkeys);
    EXPECT_EQ(0u, values);

    reg64::CreateKey(ProgramKeyPath(L"a.exe"));
    reg64::CreateKey(ProgramKeyPath(L"b.exe"));
    reg64::SetDword(KEY, VALUE_DUMP_TYPE, 1);
    EXPECT_TRUE(RegCountKeyContents(KEY.c_str(), subkeys, values));
    EXPECT_EQ(2u, subkeys);
    EXPECT_EQ(1u, values);

    for (const char* call : {"RegOpenKeyExW", "RegQueryInfoKeyW"}) {
        SeamRecorder seam;
        seam.FailCall(call, 0, ERROR_ACCESS_DENIED);
        subkeys = values = 99;
        EXPECT_FALSE(RegCountKeyContents(KEY.c_str(), subkeys, values)) << call;
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError()) << call;
        EXPECT_EQ(0u, subkeys) << call;
        EXPECT_EQ(0u, values) << call;
        EXPECT_EQ(0, seam.OpenKeys()) << call;
    }
}

TEST_F(RegistryAccess, WritesCreateTheKeyAndStoreExactData)
{
    const std::wstring path = ProgramKeyPath(L"new.exe");
    // A text with an environment reference is stored expandable, any other text plain.
    struct FolderCase {
        const wchar_t* text;
        DWORD type;
    } folders[] = {
        {L"%LOCALAPPDATA%\\CrashDumps", REG_EXPAND_SZ},
        {L"%SystemDrive%\\Dumps", REG_EXPAND_SZ},
        {L"C:\\100%%\\x%y%", REG_EXPAND_SZ},
        {L"C:\\Dumps", REG_SZ},
        {L"C:\\100%\\Dumps", REG_SZ},
        {L"C:\\%%\\Dumps", REG_SZ},
    };
    for (const FolderCase& c : folders) {
        ASSERT_TRUE(RegWriteDumpFolder(path.c_str(), c.text)) << Narrow(c.text);
        RawValue folder = reg64::Get(path, VALUE_DUMP_FOLDER);
        EXPECT_EQ(c.type, folder.type) << Narrow(c.text);
        EXPECT_EQ((std::wcslen(c.text) + 1) * sizeof(wchar_t), folder.data.size()) << "text with its NUL";
        EXPECT_EQ(c.text, reg64::GetString(path, VALUE_DUMP_FOLDER));
    }

    ASSERT_TRUE(RegWriteDword(path.c_str(), VALUE_DUMP_COUNT, 0xFFFFFFFFu));
    RawValue count = reg64::Get(path, VALUE_DUMP_COUNT);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), count.type);
    ASSERT_EQ(4u, count.data.size());
    EXPECT_EQ(0xFFFFFFFFu, *reinterpret_cast<const DWORD*>(count.data.data()));
}

TEST_F(RegistryAccess, WriteFailuresLeaveTheirCode)
{
    struct Case {
        const char* call;
        DWORD code;
    } cases[] = {{"RegCreateKeyExW", ERROR_ACCESS_DENIED}, {"RegSetValueExW", ERROR_DISK_FULL}};
    for (const Case& c : cases) {
        SeamRecorder seam;
        seam.FailEveryCall(c.call, c.code);
        EXPECT_FALSE(RegWriteDumpFolder(KEY.c_str(), L"C:\\d")) << c.call;
        EXPECT_EQ(c.code, GetLastError()) << c.call;
        EXPECT_FALSE(RegWriteDword(KEY.c_str(), VALUE_DUMP_TYPE, 1)) << c.call;
        EXPECT_EQ(c.code, GetLastError()) << c.call;
        EXPECT_EQ(0, seam.OpenKeys()) << c.call;
    }
}

TEST_F(RegistryAccess, DeleteSettingValue)
{
    EXPECT_TRUE(RegDeleteSettingValue(KEY.c_str(), VALUE_DUMP_TYPE)) << "absent key";
    reg64::SetDword(KEY, VALUE_DUMP_TYPE, 1);
    EXPECT_TRUE(RegDeleteSettingValue(KEY.c_str(), VALUE_DUMP_COUNT)) << "absent value";
    EXPECT_TRUE(RegDeleteSettingValue(KEY.c_str(), VALUE_DUMP_TYPE));
    EXPECT_FALSE(reg64::Get(KEY, VALUE_DUMP_TYPE).exists);
    EXPECT_EQ(0u, GetLastError());

    reg64::SetDword(KEY, VALUE_DUMP_TYPE, 1);
    for (const char* call : {"RegOpenKeyExW", "RegDeleteValueW"}) {
        SeamRecorder seam;
        seam.FailCall(call, 0, ERROR_ACCESS_DENIED);
        EXPECT_FALSE(RegDeleteSettingValue(KEY.c_str(), VALUE_DUMP_TYPE)) << call;
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError()) << call;
        EXPECT_EQ(0, seam.OpenKeys()) << call;
    }
    EXPECT_TRUE(reg64::Get(KEY, VALUE_DUMP_TYPE).exists);
}

TEST_F(RegistryAccess, DeleteSettingsKey)
{
    std::wstring text = L"kept";
    EXPECT_EQ(0u, RegDeleteSettingsKey(ProgramKeyPath(L"none.exe").c_str(), text)) << "absent key";
    EXPECT_EQ(L"kept", text);

    reg64::SetDword(ProgramKeyPath(L"a.exe"), VALUE_DUMP_TYPE, 1);
    EXPECT_EQ(0u, RegDeleteSettingsKey(ProgramKeyPath(L"a.exe").c_str(), text));
    EXPECT_FALSE(reg64::KeyExists(ProgramKeyPath(L"a.exe")));
    EXPECT_EQ(L"kept", text);

    // A key with subkeys of its own goes with everything below it.
    reg64::SetDword(ProgramKeyPath(L"b.exe") + L"\\child\\grandchild", L"x", 1);
    reg64::CreateKey(ProgramKeyPath(L"b.exe") + L"\\sibling");
    EXPECT_EQ(0u, RegDeleteSettingsKey(ProgramKeyPath(L"b.exe").c_str(), text));
    EXPECT_FALSE(reg64::KeyExists(ProgramKeyPath(L"b.exe")));
    EXPECT_EQ(L"kept", text);
}

TEST_F(RegistryAccess, DeleteSettingsKeyWithoutRegDeleteKeyEx)
{
    reg64::CreateKey(ProgramKeyPath(L"a.exe"));
    RegDeleteKeyExFn saved = g_pfnRegDeleteKeyEx;
    g_pfnRegDeleteKeyEx = nullptr;
    {
        // 64-bit Windows: refused without touching the registry.
        SeamRecorder seam;
        std::wstring text = L"before";
        EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_SUPPORTED), RegDeleteSettingsKey(ProgramKeyPath(L"a.exe").c_str(), text));
        EXPECT_EQ(L"Required 64-bit API is missing", text);
        EXPECT_TRUE(seam.Calls().empty());
    }
    EXPECT_TRUE(reg64::KeyExists(ProgramKeyPath(L"a.exe")));
    {
        // 32-bit Windows: the key is deleted through its own handle, as everywhere.
        HKEY made = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KestruneTest32", 0, nullptr, 0,
                                                   KEY_WRITE | KEY_WOW64_32KEY, nullptr, &made, nullptr));
        ::RegCloseKey(made);
        DWORD savedView = g_registryView;
        g_registryView = 0;
        SeamRecorder seam;
        std::wstring text;
        DWORD code = RegDeleteSettingsKey(L"SOFTWARE\\KestruneTest32", text);
        g_registryView = savedView;
        EXPECT_EQ(0u, code);
        EXPECT_EQ(1, seam.CountOf("NtDeleteKey"));
        EXPECT_FALSE(reg64::KeyExists(L"SOFTWARE\\KestruneTest32", KEY_WOW64_32KEY));
    }
    g_pfnRegDeleteKeyEx = saved;
}

TEST_F(RegistryAccess, DeleteSettingsKeyReportsInjectedFailures)
{
    reg64::CreateKey(ProgramKeyPath(L"a.exe"));
    SeamRecorder seam;
    seam.FailCall("NtDeleteKey", 0, ERROR_ACCESS_DENIED);
    std::wstring text;
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), RegDeleteSettingsKey(ProgramKeyPath(L"a.exe").c_str(), text));
    EXPECT_EQ(L"ERROR: Failed to remove registry key.\nHKLM\\" + ProgramKeyPath(L"a.exe") + L"\n\n(5) " + ErrorText(5),
              text);
}

TEST_F(RegistryAccess, OperationsLeaveNoKeyOpen)
{
    reg64::SetString(ProgramKeyPath(L"a.exe"), VALUE_DUMP_FOLDER, L"C:\\d");
    SeamRecorder seam;
    std::wstring folder, text;
    DWORD value = 0, subkeys = 0, values = 0;
    RegReadDumpFolder(HKEY_LOCAL_MACHINE, ProgramKeyPath(L"a.exe").c_str(), folder);
    RegReadDword(HKEY_LOCAL_MACHINE, ProgramKeyPath(L"a.exe").c_str(), VALUE_DUMP_TYPE, value);
    RegCountKeyContents(KEY.c_str(), subkeys, values);
    RegWriteDumpFolder(KEY.c_str(), L"C:\\e");
    RegWriteDword(KEY.c_str(), VALUE_DUMP_TYPE, 2);
    RegDeleteSettingValue(KEY.c_str(), VALUE_DUMP_TYPE);
    RegDeleteSettingsKey(ProgramKeyPath(L"a.exe").c_str(), text);
    EXPECT_GT(seam.CountOf("RegOpenKeyExW") + seam.CountOf("RegCreateKeyExW"), 5);
    EXPECT_EQ(0, seam.OpenKeys());
}
