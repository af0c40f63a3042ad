// Reading the stored configuration from the test prefix's registry: tolerant of missing and
// malformed values, and reporting only whether the program keys could be walked completely.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "model/registry_layout.h"
#include "model/stored_settings.h"
#include "model/stored_state.h"
#include "tests/model/store_test_support.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring KEY = LOCALDUMPS_KEY_PATH;

class StoredSettings : public LocalDumpsTest {};

struct Walk {
    ReadStatus status;
    DWORD lastError;
    std::vector<ProgramEntry> records;
};

Walk ReadAll()
{
    Walk walk;
    walk.status = ReadProgramKeys([&walk](const ProgramEntry& record) { walk.records.push_back(record); });
    walk.lastError = ::GetLastError();
    return walk;
}

const DWORD DWORD_5 = 5;
const DWORD DWORD_0 = 0;
const ULONGLONG QWORD_2 = 2;
const WORD WORD_2 = 2;
const wchar_t FOLDER_WITHOUT_NUL[] = {L'C', L':', L'\\', L'd'};

// One stored value and what reading makes of it.
struct ValueCase {
    const char* what;
    const wchar_t* name;
    DWORD type;
    const void* data;
    DWORD size;
    DumpSettings expected;
};

const ValueCase VALUE_CASES[] = {
    {"DumpType 5", VALUE_DUMP_TYPE, REG_DWORD, &DWORD_5, 4, MakeSettings(nullptr, 5, -1)},
    {"DumpType 0 is given", VALUE_DUMP_TYPE, REG_DWORD, &DWORD_0, 4, MakeSettings(nullptr, 0, -1)},
    {"DumpType as REG_QWORD", VALUE_DUMP_TYPE, REG_QWORD, &QWORD_2, 8, MakeSettings(nullptr, -1, -1)},
    {"DumpCount 0 is given", VALUE_DUMP_COUNT, REG_DWORD, &DWORD_0, 4, MakeSettings(nullptr, -1, 0)},
    {"DumpCount of 2 bytes", VALUE_DUMP_COUNT, REG_DWORD, &WORD_2, 2, MakeSettings(nullptr, -1, -1)},
    {"DumpCount as REG_SZ", VALUE_DUMP_COUNT, REG_SZ, L"5", 4, MakeSettings(nullptr, -1, -1)},
    {"DumpFolder REG_EXPAND_SZ", VALUE_DUMP_FOLDER, REG_EXPAND_SZ, L"%TEMP%", 14, MakeSettings(L"%TEMP%", -1, -1)},
    {"DumpFolder of zero bytes", VALUE_DUMP_FOLDER, REG_SZ, L"", 0, MakeSettings(nullptr, -1, -1)},
    {"DumpFolder empty string is given", VALUE_DUMP_FOLDER, REG_SZ, L"", 2, MakeSettings(L"", -1, -1)},
    {"DumpFolder without NUL", VALUE_DUMP_FOLDER, REG_SZ, FOLDER_WITHOUT_NUL, 8, MakeSettings(L"C:\\d", -1, -1)},
    {"DumpFolder as REG_DWORD", VALUE_DUMP_FOLDER, REG_DWORD, &DWORD_5, 4, MakeSettings(nullptr, -1, -1)},
};

}  // namespace

TEST_F(StoredSettings, NoLocalDumpsKeyReadsAsNothingGiven)
{
    SeamRecorder seam;
    DumpSettings global = ReadGlobalSettings();
    EXPECT_TRUE(global.Equals(DumpSettings())) << Describe(global);
    Walk walk = ReadAll();
    EXPECT_EQ(READ_OK, walk.status);
    EXPECT_TRUE(walk.records.empty());
    EXPECT_EQ(0, seam.OpenKeys());
}

TEST_F(StoredSettings, EachValueFormReadsByTheRecordRules)
{
    for (const ValueCase& c : VALUE_CASES) {
        reg64::DeleteTree(KEY);
        reg64::SetRaw(KEY, c.name, c.type, c.data, c.size);
        reg64::SetRaw(ProgramKeyPath(L"app.exe"), c.name, c.type, c.data, c.size);

        SeamRecorder seam;
        DumpSettings global = ReadGlobalSettings();
        EXPECT_TRUE(global.Equals(c.expected)) << c.what << ": global " << Describe(global);
        Walk walk = ReadAll();
        EXPECT_EQ(READ_OK, walk.status) << c.what;
        ASSERT_EQ(1u, walk.records.size()) << c.what;
        EXPECT_TRUE(walk.records[0].settings.Equals(c.expected)) << c.what << ": program "
                                                                 << Describe(walk.records[0].settings);
        EXPECT_EQ(0, seam.OpenKeys()) << c.what;
    }
}

TEST_F(StoredSettings, ProgramRecordsCarryNameAndValuesAndNoMarks)
{
    reg64::SetString(KEY, VALUE_DUMP_FOLDER, L"C:\\global");
    reg64::SetDword(KEY, VALUE_DUMP_TYPE, 2);
    reg64::SetDword(KEY, VALUE_DUMP_COUNT, 0x80000000u);
    StoreSettings(ProgramKeyPath(L"full.exe"), MakeSettings(L"D:\\full", 1, 10));
    reg64::CreateKey(ProgramKeyPath(L"empty.exe"));
    reg64::SetDword(ProgramKeyPath(L"other.exe"), L"Unmanaged", 1);

    DumpSettings expectedGlobal = MakeSettings(L"C:\\global", 2, 0);
    expectedGlobal.dumpCount = static_cast<LONG>(0x80000000u);  // taken as stored: negative
    DumpSettings global = ReadGlobalSettings();
    EXPECT_TRUE(global.Equals(expectedGlobal)) << Describe(global);

    Walk walk = ReadAll();
    ASSERT_EQ(READ_OK, walk.status);
    EXPECT_EQ(0u, walk.lastError);
    ASSERT_EQ(3u, walk.records.size());
    struct Expected {
        const wchar_t* name;
        DumpSettings settings;
    } expected[] = {
        {L"empty.exe", DumpSettings()},
        {L"full.exe", MakeSettings(L"D:\\full", 1, 10)},
        {L"other.exe", DumpSettings()},
    };
    for (size_t i = 0; i < 3; ++i) {
        const ProgramEntry& record = walk.records[i];
        EXPECT_EQ(expected[i].name, record.processName);
        EXPECT_TRUE(record.settings.Equals(expected[i].settings)) << Describe(record.settings);
        EXPECT_FALSE(record.modified);
        EXPECT_EQ(0u, record.matched);
        EXPECT_FALSE(record.settings.setAcl);
    }
}

TEST_F(StoredSettings, AKeyThatCannotBeOpenedYieldsItsNameAndTheWalkGoesOn)
{
    StoreSettings(ProgramKeyPath(L"a.exe"), MakeSettings(L"C:\\a", 1, 1));
    StoreSettings(ProgramKeyPath(L"b.exe"), MakeSettings(L"C:\\b", 2, 2));
    StoreSettings(ProgramKeyPath(L"c.exe"), MakeSettings(L"C:\\c", 1, 3));

    SeamRecorder seam;
    seam.FailCall("RegOpenKeyExW", 2, ERROR_ACCESS_DENIED);  // LocalDumps, a.exe, then b.exe
    Walk walk = ReadAll();
    EXPECT_EQ(READ_OK, walk.status);
    ASSERT_EQ(3u, walk.records.size());
    EXPECT_EQ(L"b.exe", walk.records[1].processName);
    EXPECT_TRUE(walk.records[1].settings.Equals(DumpSettings())) << Describe(walk.records[1].settings);
    EXPECT_TRUE(walk.records[2].settings.Equals(MakeSettings(L"C:\\c", 1, 3)));
    EXPECT_EQ(0, seam.OpenKeys());
}

TEST_F(StoredSettings, FailuresOfTheLocalDumpsKeyAreReportedWithTheirCode)
{
    StoreSettings(ProgramKeyPath(L"a.exe"), MakeSettings(nullptr, 1, -1));
    StoreSettings(ProgramKeyPath(L"b.exe"), MakeSettings(nullptr, 2, -1));
    StoreSettings(ProgramKeyPath(L"c.exe"), MakeSettings(nullptr, 1, -1));
    struct Case {
        const char* what;
        const char* call;
        int nth;
        DWORD code;
        ReadStatus status;
        size_t recordsHandedOver;
    } cases[] = {
        {"LocalDumps cannot be opened", "RegOpenKeyExW", 0, ERROR_ACCESS_DENIED, READ_OPEN_FAILED, 0},
        {"enumeration breaks off at the third key", "RegEnumKeyExW", 2, ERROR_MORE_DATA, READ_ENUM_FAILED, 2},
        {"enumeration breaks off at once", "RegEnumKeyExW", 0, ERROR_INVALID_HANDLE, READ_ENUM_FAILED, 0},
    };
    for (const Case& c : cases) {
        SeamRecorder seam;
        seam.FailCall(c.call, c.nth, c.code);
        Walk walk = ReadAll();
        EXPECT_EQ(c.status, walk.status) << c.what;
        EXPECT_EQ(c.code, walk.lastError) << c.what;
        EXPECT_EQ(c.recordsHandedOver, walk.records.size()) << c.what;
        EXPECT_EQ(0, seam.OpenKeys()) << c.what;
    }
}

TEST_F(StoredSettings, NamesOf255CharactersAreReadAndLongerOnesBreakTheWalk)
{
    const std::wstring longest(255, L'n');
    StoreSettings(ProgramKeyPath(longest), MakeSettings(nullptr, 2, -1));
    Walk walk = ReadAll();
    ASSERT_EQ(READ_OK, walk.status);
    ASSERT_EQ(1u, walk.records.size());
    EXPECT_EQ(longest, walk.records[0].processName);
    EXPECT_TRUE(walk.records[0].settings.Equals(MakeSettings(nullptr, 2, -1)));

    // The registry here accepts a 256-character name, which the 256-character buffer cannot take.
    StoreSettings(ProgramKeyPath(std::wstring(256, L'z')), MakeSettings(nullptr, 1, -1));
    SeamRecorder seam;
    walk = ReadAll();
    EXPECT_EQ(READ_ENUM_FAILED, walk.status);
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), walk.lastError);
    ASSERT_EQ(1u, walk.records.size()) << "the keys before the long name were handed over";
    EXPECT_EQ(longest, walk.records[0].processName);
    EXPECT_EQ(0, seam.OpenKeys());
}

// What a save tells about a change another program made after loading: found in the stored type
// and bytes, with what saving the loaded configuration does to it.
TEST_F(StoredSettings, AnOutsideChangeIsNamedWithWhatSavingDoesToIt)
{
    const struct {
        const char* what;
        std::function<void()> change;
        const wchar_t* line;  // the question's one line, or null for no change
    } cases[] = {
        {"the type alone, REG_EXPAND_SZ to REG_SZ", [] { reg64::SetString(KEY, VALUE_DUMP_FOLDER, L"C:\\d"); },
         L"DumpFolder: kept"},
        {"the same bytes written again", [] { reg64::SetDword(KEY, VALUE_DUMP_TYPE, 1); }, nullptr},
        {"a program's type", [] { reg64::SetDword(ProgramKeyPath(L"a.exe"), VALUE_DUMP_TYPE, 2); },
         L"a.exe\\DumpType: set back"},
    };
    for (const auto& c : cases) {
        reg64::DeleteTree(KEY);
        reg64::SetString(KEY, VALUE_DUMP_FOLDER, L"C:\\d", REG_EXPAND_SZ);
        reg64::SetDword(KEY, VALUE_DUMP_TYPE, 1);
        reg64::SetDword(ProgramKeyPath(L"a.exe"), VALUE_DUMP_TYPE, 1);
        const StoredState loaded = ReadStoredState();
        const std::vector<ProgramEntry> entries = {MakeEntry(L"a.exe", SettingsFromValues(loaded.programs[0].values))};

        c.change();
        const std::vector<OutsideChange> changes = ChangedSettings(loaded, ReadStoredState());
        ASSERT_EQ(c.line ? 1u : 0u, changes.size()) << c.what;
        if (c.line) {
            const std::wstring question =
                OutsideChangeQuestion(changes, {SettingsFromValues(loaded.global), entries, false}, false);
            EXPECT_NE(std::wstring::npos, question.find(L":\n\n" + std::wstring(c.line) + L"\n\n")) << c.what;
        }
    }
}
