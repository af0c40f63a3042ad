// Writing one settings key with its dump folder and the folder's ACL, against the test prefix's
// registry and real folders under a temporary directory.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/dump_folder_acl.h"
#include "model/error_text.h"
#include "model/registry_layout.h"
#include "model/settings_key_writer.h"
#include "model/text_utils.h"
#include "tests/model/store_test_support.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring KEY = LOCALDUMPS_KEY_PATH;
const std::wstring APP_KEY = ProgramKeyPath(L"app.exe");

class SettingsKeyWriter : public LocalDumpsTest {};

std::wstring SystemMessage(const wchar_t* format, DWORD code)
{
    return FormatText(format, static_cast<int>(code), ErrorText(code).c_str());
}

std::wstring FolderMessage(const wchar_t* format, const std::wstring& folder, DWORD code)
{
    return FormatText(format, folder.c_str(), static_cast<int>(code), ErrorText(code).c_str());
}

const wchar_t* const WRITE_FAILED = L"ERROR: Failed to write into registry.\n\n(%d) %s";
const wchar_t* const REMOVE_FAILED = L"ERROR: Failed to remove registry value.\n\n(%d) %s";
const wchar_t* const FOLDER_FAILED = L"ERROR: Failed to create folder to store dump files:\n\n%s\n\n(%d) %s";

// The order of the calls that matter for one key, as the seam saw them.
std::vector<std::string> WriteOrder(const SeamRecorder& seam)
{
    std::vector<std::string> order;
    for (const std::string& call : seam.Calls()) {
        if (call != "RegCloseKey")
            order.push_back(call);
    }
    return order;
}

}  // namespace

TEST_F(SettingsKeyWriter, WritesKeyFolderAndValuesInTheirFixedOrder)
{
    TempFolder temp;
    const std::wstring folder = temp.Child(L"dumps");
    SeamRecorder seam;
    std::wstring error = L"untouched";
    ASSERT_TRUE(WriteSettingsKey(APP_KEY.c_str(), MakeSettings(folder.c_str(), 2, 25, true), error));
    EXPECT_EQ(L"untouched", error);
    EXPECT_EQ(0, seam.OpenKeys());

    // The parent is checked before the folder is made; the folder is then secured through one
    // handle that was checked too.
    // The key's values are read first, each absent here.
    const std::vector<std::string> expected = {
        "RegCreateKeyExW", "RegQueryValueExW", "RegQueryValueExW", "RegQueryValueExW", "RegQueryValueExW", "CreateFileW", "GetFinalPathNameByHandleW", "NtCreateFile",
        "GetFileInformationByHandle", "GetFinalPathNameByHandleW",
        "ConvertStringSecurityDescriptorToSecurityDescriptorW", "GetSecurityDescriptorDacl", "GetSecurityInfo",
        "SetKernelObjectSecurity", "RegSetValueExW", "RegSetValueExW", "RegSetValueExW"};
    EXPECT_EQ(expected, WriteOrder(seam));

    EXPECT_TRUE(FolderExists(folder));
    RawValue stored = reg64::Get(APP_KEY, VALUE_DUMP_FOLDER);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
    EXPECT_EQ((folder.size() + 1) * 2, stored.data.size());
    EXPECT_EQ(folder, reg64::GetString(APP_KEY, VALUE_DUMP_FOLDER));
    EXPECT_EQ(2u, StoredDword(APP_KEY, VALUE_DUMP_TYPE));
    EXPECT_EQ(25u, StoredDword(APP_KEY, VALUE_DUMP_COUNT));
}

TEST_F(SettingsKeyWriter, SettingsNotGivenAreDeletedAndOthersLeftAlone)
{
    TempFolder temp;
    struct Case {
        const char* what;
        DumpSettings settings;
        bool folderValue, typeValue, countValue;
    } cases[] = {
        {"nothing given", MakeSettings(nullptr, -1, -1), false, false, false},
        {"ACL request without a folder does nothing", MakeSettings(nullptr, -1, -1, true), false, false, false},
        {"only a type", MakeSettings(nullptr, 1, -1), false, true, false},
        {"only a count", MakeSettings(nullptr, -1, 3), false, false, true},
    };
    for (const Case& c : cases) {
        reg64::DeleteTree(KEY);
        StoreSettings(APP_KEY, MakeSettings(L"C:\\old", 2, 9));
        reg64::SetDword(APP_KEY, L"Unmanaged", 7);
        SeamRecorder seam;
        std::wstring error;
        EXPECT_TRUE(WriteSettingsKey(APP_KEY.c_str(), c.settings, error)) << c.what;
        EXPECT_EQ(c.folderValue, reg64::Get(APP_KEY, VALUE_DUMP_FOLDER).exists) << c.what;
        EXPECT_EQ(c.typeValue, reg64::Get(APP_KEY, VALUE_DUMP_TYPE).exists) << c.what;
        EXPECT_EQ(c.countValue, reg64::Get(APP_KEY, VALUE_DUMP_COUNT).exists) << c.what;
        EXPECT_TRUE(reg64::Get(APP_KEY, L"Unmanaged").exists) << c.what;
        EXPECT_EQ(0, seam.CountOf("NtCreateFile") + seam.CountOf("SetKernelObjectSecurity")) << c.what;
        EXPECT_EQ(0, seam.OpenKeys()) << c.what;
    }

    // Missing key and missing values are no error: the key is made and stays empty.
    reg64::DeleteTree(KEY);
    std::wstring error;
    EXPECT_TRUE(WriteSettingsKey(APP_KEY.c_str(), DumpSettings(), error));
    EXPECT_TRUE(reg64::KeyExists(APP_KEY));
    EXPECT_TRUE(reg64::ValueNames(APP_KEY).empty());
}

// "CustomDumpFlags" goes with a custom dump ("DumpType" 0) only: beside another type it stays as
// stored. A program key counts as changed only where the written value would.
TEST_F(SettingsKeyWriter, CustomDumpFlagsAreWrittenForACustomDumpAndKeptBesideAnyOtherType)
{
    const DWORD NONE = 0xDEADBEEF;  // no flags given, and StoredDword's answer for no value
    const auto withFlags = [](int dumpType, DWORD flags) {
        DumpSettings settings = MakeSettings(nullptr, dumpType, -1);
        settings.hasCustomDumpFlags = flags != NONE;
        settings.customDumpFlags = flags;
        return settings;
    };
    const struct {
        const char* what;
        DumpSettings desired;
        DWORD type, flags;
        int changes;  // registry writes and deletions
    } cases[] = {
        {"unchanged custom dump", withFlags(0, 0x1825), 0, 0x1825, 0},
        {"flags edited", withFlags(0, 0x1826), 0, 0x1826, 1},
        {"flags taken back to Windows' default", withFlags(0, NONE), 0, NONE, 1},
        {"custom becomes full", withFlags(2, 0x7), 2, 0x1825, 1},
        {"type cleared", withFlags(-1, NONE), NONE, 0x1825, 1},
    };
    const ProgramEntry stored = MakeEntry(L"app.exe", withFlags(0, 0x1825));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reg64::DeleteTree(KEY);
        reg64::SetDword(APP_KEY, VALUE_DUMP_TYPE, 0);
        reg64::SetDword(APP_KEY, VALUE_CUSTOM_DUMP_FLAGS, 0x1825);
        EXPECT_EQ(c.changes != 0, NeedsWrite(MakeEntry(L"app.exe", c.desired), stored));
        std::wstring error;
        SeamRecorder seam;
        ASSERT_TRUE(WriteSettingsKey(APP_KEY.c_str(), c.desired, error));
        EXPECT_EQ(c.changes, seam.RegistryChanges());
        EXPECT_EQ(c.type, StoredDword(APP_KEY, VALUE_DUMP_TYPE));
        EXPECT_EQ(c.flags, StoredDword(APP_KEY, VALUE_CUSTOM_DUMP_FLAGS));
    }
}

TEST_F(SettingsKeyWriter, FoldersAreCreatedWhereTheirTextPointsOneLevelOnly)
{
    TempFolder temp;
    ::SetEnvironmentVariableW(L"KESTRUNE_STORE_VAR", temp.Path().c_str());
    ::SetEnvironmentVariableW(L"KESTRUNE_UNSET_VAR", nullptr);
    CurrentDirectory inTemp(temp.Path());
    MakeFolder(temp.Child(L"existing"));

    const std::wstring missingParent = temp.Child(L"missing\\dumps");
    struct Case {
        const char* what;
        std::wstring folder;
        bool ok;
        std::wstring madeFolder;  // the folder that must exist afterwards
    } cases[] = {
        {"existing folder is used as it is", temp.Child(L"existing"), true, temp.Child(L"existing")},
        {"new folder", temp.Child(L"new"), true, temp.Child(L"new")},
        {"environment reference: made where it points, stored as entered", L"%KESTRUNE_STORE_VAR%\\env", true,
         temp.Child(L"env")},
        {"reference to a variable that is not set stays literal, relative to the current directory",
         L"%KESTRUNE_UNSET_VAR%", true, temp.Child(L"%KESTRUNE_UNSET_VAR%")},
        {"missing parent", missingParent, false, L""},
    };
    for (const Case& c : cases) {
        reg64::DeleteTree(KEY);
        StoreSettings(APP_KEY, MakeSettings(L"C:\\before", 1, 1));
        SeamRecorder seam;
        std::wstring error;
        bool ok = WriteSettingsKey(APP_KEY.c_str(), MakeSettings(c.folder.c_str(), 2, 5), error);
        EXPECT_EQ(c.ok, ok) << c.what;
        EXPECT_EQ(0, seam.OpenKeys()) << c.what;
        if (c.ok) {
            EXPECT_TRUE(FolderExists(c.madeFolder)) << c.what;
            EXPECT_EQ(c.folder, reg64::GetString(APP_KEY, VALUE_DUMP_FOLDER)) << c.what;
            EXPECT_EQ(2u, StoredDword(APP_KEY, VALUE_DUMP_TYPE)) << c.what;
        } else {
            EXPECT_EQ(FolderMessage(FOLDER_FAILED, c.folder, ERROR_PATH_NOT_FOUND), error) << c.what;
            EXPECT_FALSE(FolderExists(temp.Child(L"missing"))) << "parents are not created";
            // Nothing of the key's values was written.
            EXPECT_EQ(L"C:\\before", reg64::GetString(APP_KEY, VALUE_DUMP_FOLDER)) << c.what;
            EXPECT_EQ(1u, StoredDword(APP_KEY, VALUE_DUMP_TYPE)) << c.what;
            EXPECT_EQ(1u, StoredDword(APP_KEY, VALUE_DUMP_COUNT)) << c.what;
        }
    }
    EXPECT_FALSE(FolderExists(temp.Child(L"%KESTRUNE_STORE_VAR%"))) << "no folder named after the reference itself";
}

TEST_F(SettingsKeyWriter, AFileWhereTheFolderShouldBeIsReportedAndKeepsItsAcl)
{
    TempFolder temp;
    const std::wstring file = temp.Child(L"dumps.txt");
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    ::CloseHandle(handle);
    StoreSettings(APP_KEY, MakeSettings(L"C:\\before", 1, -1));

    SeamRecorder seam;
    std::wstring error;
    EXPECT_FALSE(WriteSettingsKey(APP_KEY.c_str(), MakeSettings(file.c_str(), 2, -1, true), error));
    EXPECT_EQ(FolderMessage(FOLDER_FAILED, file, ERROR_ALREADY_EXISTS), error);
    EXPECT_EQ(0, seam.CountOf("SetKernelObjectSecurity")) << "the file's ACL is not touched";
    EXPECT_EQ(0, seam.CountOf("RemoveDirectoryW") + seam.CountOf("SetFileInformationByHandle"));
    EXPECT_EQ(L"C:\\before", reg64::GetString(APP_KEY, VALUE_DUMP_FOLDER));
    EXPECT_EQ(1u, StoredDword(APP_KEY, VALUE_DUMP_TYPE));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_EQ(0, seam.OpenKeys());
}

TEST_F(SettingsKeyWriter, EachFailureHasItsMessageAndStopsTheKey)
{
    TempFolder temp;
    const std::wstring folder = temp.Child(L"f");
    struct Case {
        const char* what;
        DumpSettings settings;
        const char* call;
        int nth;
        std::wstring message;
        bool typeWritten;
    } cases[] = {
        {"key cannot be created", MakeSettings(nullptr, 2, 4), "RegCreateKeyExW", 0,
         SystemMessage(WRITE_FAILED, ERROR_ACCESS_DENIED), false},
        {"folder cannot be made", MakeSettings(folder.c_str(), 2, 4), "NtCreateFile", 0,
         FolderMessage(FOLDER_FAILED, folder, ERROR_ACCESS_DENIED), false},
        {"DumpFolder cannot be deleted", MakeSettings(nullptr, 2, 4), "RegDeleteValueW", 0,
         SystemMessage(REMOVE_FAILED, ERROR_ACCESS_DENIED), false},
        {"DumpType cannot be written", MakeSettings(nullptr, 2, 4), "RegSetValueExW", 0,
         SystemMessage(WRITE_FAILED, ERROR_ACCESS_DENIED), false},
        {"DumpType cannot be deleted", MakeSettings(nullptr, -1, 4), "RegDeleteValueW", 1,
         SystemMessage(REMOVE_FAILED, ERROR_ACCESS_DENIED), false},
        {"DumpCount cannot be written", MakeSettings(nullptr, 2, 4), "RegSetValueExW", 1,
         SystemMessage(WRITE_FAILED, ERROR_ACCESS_DENIED), true},
        {"DumpCount cannot be deleted", MakeSettings(nullptr, 2, -1), "RegDeleteValueW", 1,
         SystemMessage(REMOVE_FAILED, ERROR_ACCESS_DENIED), true},
    };
    for (const Case& c : cases) {
        reg64::DeleteTree(KEY);
        StoreSettings(APP_KEY, MakeSettings(L"C:\\old", 1, 1));
        SeamRecorder seam;
        seam.FailCall(c.call, c.nth, ERROR_ACCESS_DENIED);
        std::wstring error;
        EXPECT_FALSE(WriteSettingsKey(APP_KEY.c_str(), c.settings, error)) << c.what;
        EXPECT_EQ(c.message, error) << c.what;
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), ::GetLastError()) << c.what;
        EXPECT_EQ(c.typeWritten ? 2u : 1u, StoredDword(APP_KEY, VALUE_DUMP_TYPE)) << c.what;
        EXPECT_EQ(1u, StoredDword(APP_KEY, VALUE_DUMP_COUNT)) << c.what << ": nothing after the failure";
        EXPECT_EQ(0, seam.OpenKeys()) << c.what;
    }
}

namespace {

// Puts a file into the new folder just before "DumpFolder" is written, as a crashing program might.
std::wstring g_fileToDrop;
decltype(SystemCalls::RegSetValueExW) g_belowSetValue = nullptr;
LONG WINAPI DropFileThenSet(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    HANDLE file = ::CreateFileW(g_fileToDrop.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ::CloseHandle(file);
    return g_belowSetValue(key, name, reserved, type, data, size);
}

}  // namespace

TEST_F(SettingsKeyWriter, AFailedDumpFolderWriteTakesBackOnlyAnEmptyFolderItMade)
{
    TempFolder temp;
    const std::wstring folder = temp.Child(L"dumps");
    struct Case {
        const char* what;
        bool existedBefore;
        bool fileAppears;
        bool removalFails;
        bool folderRemains;
    } cases[] = {
        {"new empty folder is removed again", false, false, false, false},
        {"a folder that was there before stays", true, false, false, true},
        {"a new folder that got a file stays", false, true, false, true},
        {"removal failing is harmless", false, false, true, true},
    };
    for (const Case& c : cases) {
        RemoveFolderTree(folder);
        if (c.existedBefore)
            MakeFolder(folder);
        SeamRecorder seam;
        seam.FailCall("RegSetValueExW", 0, ERROR_DISK_FULL);
        if (c.removalFails)
            seam.FailCall("SetFileInformationByHandle", 0, ERROR_SHARING_VIOLATION);
        g_fileToDrop = folder + L"\\crash.dmp";
        g_belowSetValue = Sys().RegSetValueExW;
        if (c.fileAppears)
            Sys().RegSetValueExW = DropFileThenSet;
        std::wstring error;
        bool ok = WriteSettingsKey(APP_KEY.c_str(), MakeSettings(folder.c_str(), 1, -1), error);
        DWORD code = ::GetLastError();
        Sys().RegSetValueExW = g_belowSetValue;

        EXPECT_FALSE(ok) << c.what;
        EXPECT_EQ(SystemMessage(WRITE_FAILED, ERROR_DISK_FULL), error) << c.what << ": the write's code, not the removal's";
        EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), code) << c.what;
        EXPECT_EQ(c.folderRemains, FolderExists(folder)) << c.what;
        EXPECT_EQ(c.existedBefore ? 0 : 1, seam.CountOf("SetFileInformationByHandle")) << c.what;
        EXPECT_EQ(0, seam.CountOf("RemoveDirectoryW")) << c.what << ": nothing is removed by its path";
        EXPECT_FALSE(reg64::Get(APP_KEY, VALUE_DUMP_TYPE).exists) << c.what;
        EXPECT_EQ(0, seam.OpenKeys()) << c.what;
    }
}
