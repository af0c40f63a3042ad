// Custom dumps in the store: "CustomDumpFlags" is written value by value for a custom dump
// ("DumpType" 0) only; beside any other type it stays as stored, and clearing removes it.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/commit.h"
#include "model/registry_layout.h"
#include "model/settings_key_writer.h"
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
    settings.hasCustomDumpFlags = flags != NONE;
    settings.customDumpFlags = static_cast<DWORD>(flags);
    return settings;
}

}  // namespace

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
        {"flags taken back to Windows' default", 0, 0x1825, WithFlags(0, NONE), 0, ABSENT, 1},
        {"unchanged custom dump", 0, 0x1825, WithFlags(0, 0x1825), 0, 0x1825, 0},
        {"custom becomes full", 0, 0x1825, WithFlags(2, 0x7), 2, 0x1825, 1},
        {"type cleared", 0, 0x1825, WithFlags(-1, NONE), ABSENT, 0x1825, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reg64::DeleteTree(KEY);
        reg64::SetDword(KEY, VALUE_DUMP_TYPE, static_cast<DWORD>(c.storedType));
        reg64::SetDword(KEY, VALUE_CUSTOM_DUMP_FLAGS, static_cast<DWORD>(c.storedFlags));
        // A program key differs from the stored one only where the written value would.
        const ProgramEntry stored = MakeEntry(L"a.exe", WithFlags(c.storedType, c.storedFlags));
        EXPECT_EQ(c.changes != 0, NeedsWrite(MakeEntry(L"a.exe", c.desired), stored));
        std::wstring error;
        SeamRecorder seam;
        ASSERT_TRUE(WriteSettingsKey(KEY.c_str(), c.desired, error));
        EXPECT_EQ(c.changes, seam.RegistryChanges());
        EXPECT_EQ(c.type, StoredDword(KEY, VALUE_DUMP_TYPE));
        EXPECT_EQ(c.flags, StoredDword(KEY, VALUE_CUSTOM_DUMP_FLAGS));
    }

    std::vector<ProgramEntry> none;
    ASSERT_TRUE(CommitConfiguration(DumpSettings(), none, CLEAR_ASKED));
    EXPECT_FALSE(reg64::KeyExists(KEY)) << "clearing removes the flags with the other values";
}
