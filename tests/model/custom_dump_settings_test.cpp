// Custom dumps in the store: "DumpType" 0 with its "CustomDumpFlags", read, compared and written
// value by value; beside another type the flags stay as stored.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/commit.h"
#include "model/registry_layout.h"
#include "model/settings_key_writer.h"
#include "model/stored_settings.h"
#include "model/stored_state.h"
#include "tests/model/store_test_support.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring KEY = LOCALDUMPS_KEY_PATH;
const DWORD ABSENT = 0xDEADBEEF;  // StoredDword's answer for no value of four bytes
const long long NONE = -1;

class CustomDumpSettings : public LocalDumpsTest {};

DumpSettings WithFlags(int dumpType, long long flags)
{
    DumpSettings settings = MakeSettings(nullptr, dumpType, -1);
    if (flags != NONE) {
        settings.hasCustomDumpFlags = TRUE;
        settings.customDumpFlags = static_cast<DWORD>(flags);
    }
    return settings;
}

void StoreTypeAndFlags(int dumpType, long long flags)
{
    if (dumpType >= 0)
        reg64::SetDword(KEY, VALUE_DUMP_TYPE, static_cast<DWORD>(dumpType));
    if (flags != NONE)
        reg64::SetDword(KEY, VALUE_CUSTOM_DUMP_FLAGS, static_cast<DWORD>(flags));
}

}  // namespace

TEST_F(CustomDumpSettings, TheFlagsAreReadAsAFourthValueAndComparedOnlyForACustomDump)
{
    const ULONGLONG wide = 0x1825;
    reg64::SetDword(KEY, VALUE_DUMP_TYPE, 0);
    reg64::SetRaw(KEY, VALUE_CUSTOM_DUMP_FLAGS, REG_QWORD, &wide, sizeof(wide));
    DumpSettings read = ReadGlobalSettings();
    EXPECT_TRUE(read.IsCustomDump());
    EXPECT_FALSE(read.hasCustomDumpFlags) << "a REG_QWORD counts as absent";

    const StoredState before = ReadStoredState();
    reg64::SetDword(KEY, VALUE_CUSTOM_DUMP_FLAGS, 0x1825);
    read = ReadGlobalSettings();
    EXPECT_TRUE(read.hasCustomDumpFlags);
    EXPECT_EQ(0x1825u, read.customDumpFlags);
    EXPECT_FALSE(read.IsEmpty());
    EXPECT_EQ(std::vector<std::wstring>{L"CustomDumpFlags"}, ChangedSettings(before, ReadStoredState()))
        << "another program's change of the flags is named before a save";

    struct Case {
        int desiredType;
        long long desiredFlags, storedFlags;
        bool equal;
    } cases[] = {
        {0, 0x1825, 0x1825, true}, {0, 0x1825, 0x121, false}, {0, NONE, 0x121, false},
        {1, 0x1825, 0x121, true},  {1, NONE, 0x121, true},    {-1, 0x7, NONE, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        const ProgramEntry desired = MakeEntry(L"a.exe", WithFlags(c.desiredType, c.desiredFlags));
        const ProgramEntry stored = MakeEntry(L"a.exe", WithFlags(c.desiredType, c.storedFlags));
        EXPECT_EQ(c.equal, desired.Equals(stored));
        EXPECT_EQ(!c.equal, NeedsWrite(desired, stored));
    }
}

TEST_F(CustomDumpSettings, TheFlagsAreWrittenForACustomDumpAndKeptBesideAnyOtherType)
{
    struct Case {
        const char* what;
        int storedType;
        long long storedFlags;
        DumpSettings desired;
        DWORD type, flags;
        int changes;  // registry writes and deletions
    } cases[] = {
        {"mini dump becomes custom", 1, 0x121, WithFlags(0, 0x1825), 0, 0x1825, 2},
        {"custom without flags", 2, NONE, WithFlags(0, NONE), 0, ABSENT, 1},
        {"flags taken back to Windows' default", 0, 0x1825, WithFlags(0, NONE), 0, ABSENT, 1},
        {"unchanged custom dump", 0, 0x1825, WithFlags(0, 0x1825), 0, 0x1825, 0},
        {"custom becomes full", 0, 0x1825, WithFlags(2, 0x1825), 2, 0x1825, 1},
        {"custom becomes full, flags not given", 0, 0x1825, WithFlags(2, NONE), 2, 0x1825, 1},
        {"type cleared", 0, 0x1825, WithFlags(-1, NONE), ABSENT, 0x1825, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reg64::DeleteTree(KEY);
        StoreTypeAndFlags(c.storedType, c.storedFlags);
        std::wstring error;
        SeamRecorder seam;
        ASSERT_TRUE(WriteSettingsKey(KEY.c_str(), c.desired, error));
        EXPECT_EQ(c.changes, seam.RegistryChanges());
        EXPECT_EQ(c.type, StoredDword(KEY, VALUE_DUMP_TYPE));
        EXPECT_EQ(c.flags, StoredDword(KEY, VALUE_CUSTOM_DUMP_FLAGS));
    }
}

TEST_F(CustomDumpSettings, ClearingTheConfigurationRemovesTheFlagsWithTheKey)
{
    StoreTypeAndFlags(0, 0x1825);
    std::vector<ProgramEntry> none;
    ASSERT_TRUE(CommitConfiguration(DumpSettings(), none));
    EXPECT_FALSE(reg64::KeyExists(KEY));
}
