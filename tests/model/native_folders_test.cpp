// The folder as the 64-bit error reporting service sees it: program-files references expanded to
// the native folders the system records, and folders made without the 32-bit file-system
// redirection. Real registry and folders of the (64-bit) test prefix; another platform through the
// platform values.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/platform_values.h"
#include "model/dump_folder_path.h"
#include "model/native_folders.h"
#include "model/settings_key_writer.h"
#include "tests/model/store_test_support.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring CURRENT_VERSION = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

class NativeFolders : public LocalDumpsTest {};

}  // namespace

TEST_F(NativeFolders, ProgramFilesReferencesExpandToTheFoldersOfTheServicesView)
{
    ASSERT_EQ(1, g_osBitness) << "the test prefix is 64-bit";
    struct Case {
        const char* what;
        DWORD view;
        bool readFails;
        const wchar_t* text;
        const wchar_t* onDisk;
    } cases[] = {
        {"64-bit view", KEY_WOW64_64KEY, false, L"%ProgramFiles%\\Dumps", L"C:\\Program Files\\Dumps"},
        {"64-bit view", KEY_WOW64_64KEY, false, L"%commonprogramfiles%\\D", L"C:\\Program Files\\Common Files\\D"},
        {"one view (32-bit Windows)", 0, false, L"%ProgramFiles%\\Dumps", L"C:\\Program Files (x86)\\Dumps"},
        {"unreadable", KEY_WOW64_64KEY, true, L"%ProgramFiles%\\Dumps", L"%ProgramFiles%\\Dumps"},
        {"other references", KEY_WOW64_64KEY, false, L"%SystemDrive%\\%ProgramFiles(x86)%", L"C:\\C:\\Program Files (x86)"},
    };
    const DWORD savedView = g_registryView;
    for (const Case& c : cases) {
        SeamRecorder seam;
        if (c.readFails)
            seam.FailEveryCall("RegOpenKeyExW", ERROR_ACCESS_DENIED);
        g_registryView = c.view;
        EXPECT_EQ(c.onDisk, DumpFolderOnDisk(c.text)) << c.what;
        g_registryView = savedView;
    }

    // Where the system names the native folder on its own, that name is taken.
    reg64::SetString(CURRENT_VERSION, L"ProgramW6432Dir", L"D:\\Native Programs");
    EXPECT_EQ(L"D:\\Native Programs\\Dumps", DumpFolderOnDisk(L"%ProgramFiles%\\Dumps"));
    HKEY key = nullptr;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, CURRENT_VERSION.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key);
    ::RegDeleteValueW(key, L"ProgramW6432Dir");
    ::RegCloseKey(key);
}

TEST_F(NativeFolders, TheFolderIsMadeWhereTheServiceWrites)
{
    const std::wstring key = ProgramKeyPath(L"app.exe");
    struct Case {
        const wchar_t* text;
        std::wstring native;
        std::wstring redirected;  // where a 32-bit program would have made it
    } cases[] = {
        {L"%ProgramFiles%\\kestrune-native", L"C:\\Program Files\\kestrune-native",
         L"C:\\Program Files (x86)\\kestrune-native"},
        {L"%SystemRoot%\\System32\\kestrune-native", L"C:\\windows\\system32\\kestrune-native",
         L"C:\\windows\\syswow64\\kestrune-native"},
    };
    for (const Case& c : cases) {
        // Both places go again whatever the outcome, so that a folder made in the wrong one does
        // not fail every later run.
        struct BothPlacesRemoved {
            const Case& c;
            ~BothPlacesRemoved()
            {
                InNativeFileSystem([&]() { return ::RemoveDirectoryW(c.native.c_str()); });
                ::RemoveDirectoryW(c.redirected.c_str());
            }
        } cleanUp{c};
        std::wstring error;
        EXPECT_TRUE(WriteSettingsKey(key.c_str(), MakeSettings(c.text, 2, -1, false), error)) << Narrow(error);
        EXPECT_TRUE(InNativeFileSystem([&]() { return FolderExists(c.native); })) << Narrow(c.native);
        EXPECT_FALSE(FolderExists(c.redirected)) << Narrow(c.redirected);
        EXPECT_EQ(c.text, reg64::GetString(key, VALUE_DUMP_FOLDER)) << "stored as typed";
    }
}
