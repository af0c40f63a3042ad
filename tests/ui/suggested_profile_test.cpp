// The suggested settings in the real HKEY_CURRENT_USER of the test prefix: seeding with the
// defaults, keeping what the user stored, and reading values of the wrong shape.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/suggested_profile.h"
#include "framework/system_calls.h"
#include "tests/ui/suggested_profile_store.h"

namespace {

const DWORD ALL_BITS = 0xFFFFFFFF;

std::wstring WindowsDriveDumpFolder()
{
    wchar_t windowsDir[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windowsDir, MAX_PATH);
    return std::wstring(1, windowsDir[0]) + L":\\CrashDumps";
}

UINT WINAPI WindowsOnDriveD(LPWSTR buffer, UINT size)
{
    const wchar_t path[] = L"D:\\Windows";
    if (size < sizeof(path) / sizeof(path[0]))
        return sizeof(path) / sizeof(path[0]);
    wcscpy(buffer, path);
    return sizeof(path) / sizeof(path[0]) - 1;
}

class SuggestedProfile : public ::testing::Test {
protected:
    void SetUp() override { suggested_store::DeleteSection(); }
    void TearDown() override
    {
        Sys().GetWindowsDirectoryW = RealSystemCalls().GetWindowsDirectoryW;
        suggested_store::DeleteSection();
    }
};

TEST_F(SuggestedProfile, FirstStartStoresTheBuiltInDefaults)
{
    InitSuggestedProfile();

    using namespace suggested_store;
    const std::wstring folder = WindowsDriveDumpFolder();
    EXPECT_EQ(folder, GetString(L"DumpFolder"));
    EXPECT_EQ((folder.size() + 1) * sizeof(wchar_t), Get(L"DumpFolder").data.size()) << "NUL counted";
    EXPECT_EQ(100, GetDword(L"DumpCount"));
    EXPECT_EQ(2, GetDword(L"DumpType"));
    EXPECT_EQ(1, GetDword(L"SetACL"));

    const SuggestedSettings read = ReadSuggestedSettings();
    EXPECT_EQ(folder, read.folder);
    EXPECT_EQ(100, read.dumpCount);
    EXPECT_EQ(2, read.dumpType);
    EXPECT_EQ(1, read.setAcl);
}

TEST_F(SuggestedProfile, DefaultFolderIsOnTheDriveOfTheWindowsDirectory)
{
    // The prefix keeps Windows on C:; another drive can only be reported by the seam.
    Sys().GetWindowsDirectoryW = WindowsOnDriveD;
    EXPECT_EQ(L"D:\\CrashDumps", BuiltInSuggestedDefaults().folder);
    InitSuggestedProfile();
    EXPECT_EQ(L"D:\\CrashDumps", suggested_store::GetString(L"DumpFolder"));
}

TEST_F(SuggestedProfile, WithoutAStoredSectionReadingGivesTheDefaultsAndWritesNothing)
{
    const SuggestedSettings read = ReadSuggestedSettings();
    EXPECT_EQ(WindowsDriveDumpFolder(), read.folder);
    EXPECT_EQ(100, read.dumpCount);
    EXPECT_EQ(2, read.dumpType);
    EXPECT_EQ(1, read.setAcl);
    EXPECT_FALSE(suggested_store::Get(L"DumpFolder").exists);
    EXPECT_FALSE(suggested_store::Get(L"DumpCount").exists);
}

struct StoredSuggestion {
    const wchar_t* folder;
    DWORD count;
    DWORD type;
    DWORD setAcl;
};

TEST_F(SuggestedProfile, WhatTheUserStoredSurvivesEveryStartUnchanged)
{
    const StoredSuggestion cases[] = {
        {L"", 5, 1, 0},
        {L"%LOCALAPPDATA%\\CrashDumps", 0, ALL_BITS, 7},
        {L"  E:\\Dumps here  ", ALL_BITS, 3, 1},
    };
    for (const StoredSuggestion& stored : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&stored - cases));
        using namespace suggested_store;
        DeleteSection();
        SetString(L"DumpFolder", stored.folder);
        SetDword(L"DumpCount", stored.count);
        SetDword(L"DumpType", stored.type);
        SetDword(L"SetACL", stored.setAcl);

        InitSuggestedProfile();
        InitSuggestedProfile();

        EXPECT_EQ(stored.folder, GetString(L"DumpFolder"));
        EXPECT_EQ(static_cast<LONG>(stored.count), GetDword(L"DumpCount"));
        EXPECT_EQ(static_cast<LONG>(stored.type), GetDword(L"DumpType"));
        EXPECT_EQ(static_cast<LONG>(stored.setAcl), GetDword(L"SetACL"));

        const SuggestedSettings read = ReadSuggestedSettings();
        EXPECT_EQ(stored.folder, read.folder) << "kept unexpanded";
        EXPECT_EQ(static_cast<LONG>(stored.count), read.dumpCount);
        EXPECT_EQ(static_cast<LONG>(stored.type), read.dumpType);
        EXPECT_EQ(static_cast<LONG>(stored.setAcl), read.setAcl);
    }
}

TEST_F(SuggestedProfile, NumbersThatAreNotFourByteDwordsGiveTheDefault)
{
    struct Malformed {
        const char* what;
        DWORD type;
        DWORD size;
    };
    const BYTE bytes[8] = {5, 0, 0, 0, 0, 0, 0, 0};
    const Malformed cases[] = {
        {"REG_DWORD of 2 bytes", REG_DWORD, 2},
        {"REG_DWORD of 8 bytes", REG_DWORD, 8},
        {"REG_QWORD", REG_QWORD, 8},
        {"REG_BINARY of 4 bytes", REG_BINARY, 4},
        {"empty REG_DWORD", REG_DWORD, 0},
    };
    for (const Malformed& value : cases) {
        SCOPED_TRACE(value.what);
        suggested_store::DeleteSection();
        suggested_store::SetRaw(L"DumpCount", value.type, bytes, value.size);

        EXPECT_EQ(100, ReadSuggestedSettings().dumpCount);
        InitSuggestedProfile();
        EXPECT_EQ(100, suggested_store::GetDword(L"DumpCount")) << "rewritten as the default";
    }
}

TEST_F(SuggestedProfile, AFolderStoredAsAnotherTypeGivesTheDefault)
{
    const DWORD number = 42;
    suggested_store::SetRaw(L"DumpFolder", REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(WindowsDriveDumpFolder(), ReadSuggestedSettings().folder);
}

} // namespace
