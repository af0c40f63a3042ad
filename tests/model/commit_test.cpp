// Committing a desired configuration against what the test prefix's registry holds: clearing,
// pairing by exact name, rewriting only what differs, deleting before adding, one box at the
// first failure.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/optional_apis.h"
#include "model/commit.h"
#include "model/entry_pairing.h"
#include "model/error_text.h"
#include "model/process_names.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/stored_settings.h"
#include "model/text_utils.h"
#include "tests/model/store_test_support.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring KEY = LOCALDUMPS_KEY_PATH;

class Commit : public LocalDumpsTest {};

std::vector<ProgramEntry> StoredEntries()
{
    std::vector<ProgramEntry> records;
    EXPECT_EQ(READ_OK, ReadProgramKeys([&records](const ProgramEntry& r) { records.push_back(r); }));
    return records;
}

void StoreThreeGlobalsAndTwoPrograms()
{
    StoreSettings(KEY, MakeSettings(L"C:\\dumps", 2, 10));
    StoreSettings(ProgramKeyPath(L"a.exe"), MakeSettings(L"C:\\a", 1, 1));
    StoreSettings(ProgramKeyPath(L"b.exe"), MakeSettings(nullptr, -1, 3));
}

// Another program adds a program key just before the emptied LocalDumps key is deleted.
RegDeleteKeyExFn g_belowDeleteKeyEx = nullptr;
LONG WINAPI AddKeyThenDelete(HKEY root, LPCWSTR path, REGSAM view, DWORD reserved)
{
    reg64::CreateKey(ProgramKeyPath(L"late.exe"));
    return g_belowDeleteKeyEx(root, path, view, reserved);
}

}  // namespace

TEST_F(Commit, ClearingRemovesProgramKeysGlobalValuesAndThenAnEmptyKey)
{
    struct Case {
        const char* what;
        DumpSettings global;
        bool unmanagedValue;
        bool keySurvives;
        bool keyAddedMeanwhile = false;
        ClearRequest clear = CLEAR_ASKED;
    } cases[] = {
        {"nothing else in the key", DumpSettings(), false, false},
        {"a value the program does not manage", DumpSettings(), true, true},
        {"only the ACL request counts as empty", MakeSettings(nullptr, -1, -1, true), false, false},
        {"a program key added meanwhile", DumpSettings(), false, true, true},
        {"not asked for: every field emptied by hand", DumpSettings(), false, true, false, CLEAR_NOT_ASKED},
    };
    for (const Case& c : cases) {
        reg64::DeleteTree(KEY);
        StoreThreeGlobalsAndTwoPrograms();
        reg64::SetDword(KEY, VALUE_CUSTOM_DUMP_FLAGS, 0x1825);
        if (c.unmanagedValue)
            reg64::SetString(KEY, L"Unmanaged", L"keep me");

        SeamRecorder seam;
        if (c.keyAddedMeanwhile) {
            g_belowDeleteKeyEx = g_pfnRegDeleteKeyEx;
            g_pfnRegDeleteKeyEx = AddKeyThenDelete;
        }
        BoxCapture boxes;
        std::vector<ProgramEntry> none;
        EXPECT_TRUE(CommitConfiguration(c.global, none, c.clear)) << c.what;
        EXPECT_TRUE(boxes.Boxes().empty()) << c.what;
        EXPECT_EQ(0, seam.OpenKeys()) << c.what;
        EXPECT_EQ(c.keySurvives, reg64::KeyExists(KEY)) << c.what;
        const std::vector<std::wstring> late = {L"late.exe"};
        EXPECT_EQ(c.keyAddedMeanwhile ? late : std::vector<std::wstring>{}, reg64::Subkeys(KEY)) << c.what;
        // Without a clearing the flags stay: a save writes or deletes them only for a custom dump.
        std::vector<std::wstring> left;
        if (c.clear == CLEAR_NOT_ASKED)
            left.push_back(VALUE_CUSTOM_DUMP_FLAGS);
        if (c.unmanagedValue)
            left.push_back(L"Unmanaged");
        EXPECT_EQ(left, reg64::ValueNames(KEY)) << c.what;
    }
}

TEST_F(Commit, WithoutClearingAskedForAnEmptySaveLeavesNoKeyOrAnEmptyKeyAsItIs)
{
    for (bool keyStored : {false, true}) {
        reg64::DeleteTree(KEY);
        if (keyStored)
            reg64::CreateKey(KEY);
        SeamRecorder seam;
        BoxCapture boxes;
        std::vector<ProgramEntry> none;
        EXPECT_TRUE(CommitConfiguration(DumpSettings(), none, CLEAR_NOT_ASKED)) << keyStored;
        EXPECT_EQ(0, seam.RegistryChanges()) << keyStored;
        EXPECT_EQ(keyStored, reg64::KeyExists(KEY));
    }
}

TEST_F(Commit, ClearingStopsAtAKeyTheRegistryRefusesToDelete)
{
    StoreThreeGlobalsAndTwoPrograms();
    reg64::CreateKey(ProgramKeyPath(L"a.exe") + L"\\child");

    SeamRecorder seam;
    seam.FailCall("NtDeleteKey", 0, ERROR_ACCESS_DENIED);
    BoxCapture boxes;
    std::vector<ProgramEntry> none;
    EXPECT_FALSE(CommitConfiguration(DumpSettings(), none, CLEAR_ASKED));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes.Boxes()[0].type & MB_ICONMASK);
    const std::wstring& text = boxes.Boxes()[0].text;
    EXPECT_EQ(L"ERROR: Failed to remove registry key.\nHKLM\\" + ProgramKeyPath(L"a.exe") + L"\n\n(5) " + ErrorText(5),
              text);
    // Nothing after the failure: the other key and the global values are still there.
    EXPECT_TRUE(reg64::KeyExists(ProgramKeyPath(L"b.exe")));
    EXPECT_EQ(3u, reg64::ValueNames(KEY).size());
    EXPECT_EQ(0, seam.OpenKeys());
}

TEST_F(Commit, EmptyGlobalSettingsWithAnEntryWriteTheConfiguration)
{
    for (bool globalsStored : {false, true}) {
        reg64::DeleteTree(KEY);
        if (globalsStored)
            StoreSettings(KEY, MakeSettings(L"C:\\dumps", 2, 10));
        std::vector<ProgramEntry> entries = {MakeEntry(L"app.exe", MakeSettings(nullptr, 2, 4))};
        SeamRecorder seam;
        BoxCapture boxes;
        EXPECT_TRUE(CommitConfiguration(DumpSettings(), entries, CLEAR_NOT_ASKED));
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_TRUE(reg64::KeyExists(KEY));
        EXPECT_TRUE(reg64::ValueNames(KEY).empty()) << "the global values are deleted";
        EXPECT_EQ(std::vector<std::wstring>{L"app.exe"}, reg64::Subkeys(KEY));
        ASSERT_EQ(1u, StoredEntries().size());
        EXPECT_TRUE(StoredEntries()[0].settings.Equals(MakeSettings(nullptr, 2, 4)));
        EXPECT_EQ(0, seam.OpenKeys());
    }
}

TEST_F(Commit, OnlyEntriesThatDifferFromTheStoredKeysAreWritten)
{
    TempFolder temp;
    StoreSettings(KEY, MakeSettings(nullptr, 1, -1));
    StoreSettings(ProgramKeyPath(L"a.exe"), MakeSettings(temp.Path().c_str(), 1, 1));
    StoreSettings(ProgramKeyPath(L"b.exe"), MakeSettings(nullptr, 2, -1));
    reg64::SetRaw(ProgramKeyPath(L"b.exe"), VALUE_DUMP_COUNT, REG_QWORD, "\x05\0\0\0\0\0\0\0", 8);
    const std::vector<ProgramEntry> loaded = StoredEntries();

    struct Case {
        const char* what;
        std::function<void(std::vector<ProgramEntry>&)> edit;
        bool programKeysWritten;
    } cases[] = {
        {"entries as loaded", [](std::vector<ProgramEntry>&) {}, false},
        {"edited and set back", [](std::vector<ProgramEntry>& e) { e[0].settings.dumpType = 1; e[0].modified = TRUE; },
         false},
        {"a value behind a false flag", [](std::vector<ProgramEntry>& e) { e[1].settings.dumpCount = 99; }, false},
        // The folder is secured again; the values, which read the same, are not rewritten.
        {"ACL request", [](std::vector<ProgramEntry>& e) { e[0].settings.setAcl = TRUE; }, false},
        {"count changed", [](std::vector<ProgramEntry>& e) { e[1].settings = MakeSettings(nullptr, 2, 5); }, true},
    };
    for (const Case& c : cases) {
        std::vector<ProgramEntry> entries = loaded;
        c.edit(entries);
        SeamRecorder seam;
        BoxCapture boxes;
        EXPECT_TRUE(CommitConfiguration(MakeSettings(nullptr, 1, -1), entries, CLEAR_NOT_ASKED)) << c.what;
        EXPECT_TRUE(boxes.Boxes().empty()) << c.what;
        int programChanges = seam.RegistryChanges() - seam.ChangesBeforeFirstEnumeration();
        EXPECT_EQ(c.programKeysWritten, programChanges > 0) << c.what;
        EXPECT_EQ(0, seam.OpenKeys()) << c.what;
    }
    EXPECT_FALSE(reg64::Get(ProgramKeyPath(L"b.exe"), VALUE_DUMP_COUNT).type == REG_QWORD)
        << "a rewrite replaces the malformed count";
}

TEST_F(Commit, ANameChangedOnlyInLetterCaseKeepsTheKeyWithWhatElseItHolds)
{
    StoreSettings(ProgramKeyPath(L"app.exe"), MakeSettings(nullptr, 1, 5));
    reg64::SetString(ProgramKeyPath(L"app.exe"), L"Unmanaged", L"other tool");
    reg64::CreateKey(ProgramKeyPath(L"app.exe") + L"\\child");
    std::vector<ProgramEntry> entries = {MakeEntry(L"App.exe", MakeSettings(nullptr, 2, 7))};

    SeamRecorder seam;
    BoxCapture boxes;
    EXPECT_TRUE(CommitConfiguration(DumpSettings(), entries, CLEAR_NOT_ASKED));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(0, seam.OpenKeys());
    for (const SeamCall& call : seam.FailableCalls())
        EXPECT_NE("NtDeleteKey", call.name) << "the key is kept, not deleted and made again";

    // The same key for Windows Error Reporting, which ignores letter case; it keeps its letters.
    EXPECT_EQ(std::vector<std::wstring>{L"app.exe"}, reg64::Subkeys(KEY));
    const std::wstring path = ProgramKeyPath(L"app.exe");
    std::vector<std::wstring> values = reg64::ValueNames(path);
    std::sort(values.begin(), values.end());
    EXPECT_EQ(std::vector<std::wstring>({VALUE_DUMP_COUNT, VALUE_DUMP_TYPE, L"Unmanaged"}), values);
    EXPECT_EQ(2u, StoredDword(path, VALUE_DUMP_TYPE));
    EXPECT_EQ(7u, StoredDword(path, VALUE_DUMP_COUNT));
    EXPECT_EQ(L"other tool", reg64::GetString(path, L"Unmanaged"));
    EXPECT_EQ(std::vector<std::wstring>{L"child"}, reg64::Subkeys(path));
}

TEST_F(Commit, AFailedDeletionLeavesTheAdditionsUnwritten)
{
    StoreSettings(ProgramKeyPath(L"old.exe"), MakeSettings(nullptr, 1, -1));

    std::vector<ProgramEntry> entries = {MakeEntry(L"new.exe", MakeSettings(nullptr, 2, -1))};
    SeamRecorder seam;
    seam.FailCall("NtDeleteKey", 0, ERROR_ACCESS_DENIED);
    BoxCapture boxes;
    EXPECT_FALSE(CommitConfiguration(MakeSettings(nullptr, 1, -1), entries, CLEAR_NOT_ASKED));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(L"ERROR: Failed to remove registry key.\nHKLM\\" + ProgramKeyPath(L"old.exe") + L"\n\n(5) " + ErrorText(5),
              boxes.Boxes()[0].text);
    EXPECT_FALSE(reg64::KeyExists(ProgramKeyPath(L"new.exe")));
    EXPECT_EQ(1u, StoredDword(KEY, VALUE_DUMP_TYPE)) << "the global key was written before";
    EXPECT_EQ(0, seam.OpenKeys());
}

TEST_F(Commit, TwoEntriesOfTheSameNameEndWithTheLaterOneStored)
{
    StoreSettings(ProgramKeyPath(L"dup.exe"), MakeSettings(nullptr, 1, -1));
    std::vector<ProgramEntry> entries = {MakeEntry(L"dup.exe", MakeSettings(nullptr, 2, -1)),
                                         MakeEntry(L"dup.exe", MakeSettings(nullptr, -1, 7))};
    BoxCapture boxes;
    ASSERT_TRUE(CommitConfiguration(DumpSettings(), entries, CLEAR_NOT_ASKED));
    std::vector<ProgramEntry> stored = StoredEntries();
    ASSERT_EQ(1u, stored.size());
    EXPECT_TRUE(stored[0].settings.Equals(MakeSettings(nullptr, -1, 7))) << Describe(stored[0].settings);
    EXPECT_EQ(ENTRY_MATCHED, entries[0].matched);
    EXPECT_EQ(0u, entries[1].matched);
}

TEST_F(Commit, AGlobalFolderWithoutItsParentStopsBeforeAnyValue)
{
    TempFolder temp;
    const std::wstring folder = temp.Child(L"missing\\dumps");
    StoreSettings(KEY, MakeSettings(L"C:\\before", 1, 1));
    std::vector<ProgramEntry> entries = {MakeEntry(L"app.exe", MakeSettings(nullptr, 2, -1))};
    SeamRecorder seam;
    BoxCapture boxes;
    EXPECT_FALSE(CommitConfiguration(MakeSettings(folder.c_str(), 2, 5), entries, CLEAR_NOT_ASKED));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(FormatText(L"ERROR: Failed to create folder to store dump files:\n\n%s\n\n(%d) %s", folder.c_str(), 3,
                         ErrorText(3).c_str()),
              boxes.Boxes()[0].text);
    EXPECT_TRUE(ReadGlobalSettings().Equals(MakeSettings(L"C:\\before", 1, 1)));
    EXPECT_FALSE(reg64::KeyExists(ProgramKeyPath(L"app.exe")));
    EXPECT_FALSE(FolderExists(temp.Child(L"missing")));
    EXPECT_EQ(0, seam.OpenKeys());
}

TEST(EntryPairing, FirstUnpairedEntryOfExactlyTheSameNameInSequenceOrder)
{
    const size_t NONE = NO_PAIRED_ENTRY;
    struct Case {
        const char* what;
        std::vector<std::wstring> stored;
        std::vector<std::wstring> entries;
        std::vector<size_t> pairs;
    } cases[] = {
        {"same names in other orders", {L"a", L"b", L"c"}, {L"c", L"a", L"b"}, {1, 2, 0}},
        {"letter case differs", {L"app.exe"}, {L"App.exe"}, {NONE}},
        {"stored key without entry, entry without key", {L"a", L"b"}, {L"b", L"c"}, {NONE, 0}},
        {"duplicate entries: the first pairs", {L"d"}, {L"x", L"d", L"d"}, {1}},
        {"one entry pairs once", {L"d", L"d"}, {L"d"}, {0, NONE}},
        {"two of each pair in order", {L"d", L"d"}, {L"d", L"e", L"d"}, {0, 2}},
        {"nothing stored", {}, {L"a"}, {}},
    };
    for (const Case& c : cases) {
        std::vector<ProgramEntry> stored, entries;
        for (const std::wstring& name : c.stored)
            stored.push_back(MakeEntry(name, DumpSettings()));
        for (const std::wstring& name : c.entries) {
            entries.push_back(MakeEntry(name, DumpSettings()));
            entries.back().matched = 0xFF;  // left over from an earlier save
        }
        EXPECT_EQ(c.pairs, PairStoredKeys(stored, entries)) << c.what;
        for (size_t e = 0; e < entries.size(); ++e) {
            bool paired = std::find(c.pairs.begin(), c.pairs.end(), e) != c.pairs.end();
            EXPECT_EQ(paired ? ENTRY_MATCHED : 0u, entries[e].matched) << c.what << ", entry " << e;
        }
        for (size_t s = 0; s < stored.size(); ++s)
            EXPECT_EQ(c.pairs[s] != NONE ? ENTRY_MATCHED : 0u, stored[s].matched) << c.what << ", stored " << s;
    }
}

TEST_F(Commit, ValuesThatReadAsTheWindowHasThemStayByteForByte)
{
    TempFolder temp;
    const std::wstring folder = temp.Path();
    const wchar_t multiString[] = L"C:\\a\0C:\\b\0";
    struct Case {
        const char* what;
        std::function<void()> storeGlobals;
        DumpSettings global;  // as the window reads those values
    } cases[] = {
        {"expandable folder without a reference, REG_SZ count, REG_BINARY type",
         [&] {
             reg64::SetString(KEY, VALUE_DUMP_FOLDER, folder, REG_EXPAND_SZ);
             reg64::SetString(KEY, VALUE_DUMP_COUNT, L"5");
             reg64::SetRaw(KEY, VALUE_DUMP_TYPE, REG_BINARY, "\x02", 1);
         },
         MakeSettings(folder.c_str(), -1, -1)},
        {"REG_MULTI_SZ folder", [&] { reg64::SetRaw(KEY, VALUE_DUMP_FOLDER, REG_MULTI_SZ, multiString, sizeof(multiString)); },
         DumpSettings()},
        {"blanks around the folder", [&] { reg64::SetString(KEY, VALUE_DUMP_FOLDER, L" " + folder + L"\t"); },
         MakeSettings(folder.c_str(), -1, -1)},
    };
    for (const Case& c : cases) {
        reg64::DeleteTree(KEY);
        c.storeGlobals();
        StoreSettings(ProgramKeyPath(L"b.exe"), MakeSettings(nullptr, 1, -1));
        reg64::SetRaw(ProgramKeyPath(L"b.exe"), VALUE_DUMP_COUNT, REG_QWORD, "\x05\0\0\0\0\0\0\0", 8);
        const StoreSnapshot before = TakeSnapshot();

        // Only b.exe's type is edited, and a program is added.
        std::vector<ProgramEntry> entries = StoredEntries();
        entries[0].settings.dumpType = 2;
        entries.push_back(MakeEntry(L"new.exe", MakeSettings(nullptr, 1, -1)));
        BoxCapture boxes;
        ASSERT_TRUE(CommitConfiguration(c.global, entries, CLEAR_NOT_ASKED)) << c.what;

        const StoreSnapshot after = TakeSnapshot();
        EXPECT_TRUE(before.keys.at(L"") == after.keys.at(L"")) << c.what << "\n" << after.Describe();
        EXPECT_TRUE(before.keys.at(L"b.exe").at(VALUE_DUMP_COUNT) == after.keys.at(L"b.exe").at(VALUE_DUMP_COUNT))
            << c.what;
        EXPECT_EQ(2u, StoredDword(ProgramKeyPath(L"b.exe"), VALUE_DUMP_TYPE)) << c.what;
        EXPECT_TRUE(reg64::KeyExists(ProgramKeyPath(L"new.exe"))) << c.what;
    }
}

TEST_F(Commit, ARenamedEntryTakesEverythingItsKeyHeldOrLeavesTheKeyWhole)
{
    struct Case {
        const char* what;
        const char* failingCall;  // "" for none
        bool renamed;
        bool newRowOfOldName;
    } cases[] = {
        {"rename", "", true, false},
        {"rename beside a new row of the old name", "", true, true},
        {"copy fails", "RegCopyTreeW", false, false},
        {"a value of the new key fails", "RegSetValueExW", false, false},
    };
    for (const Case& c : cases) {
        reg64::DeleteTree(KEY);
        const std::wstring from = ProgramKeyPath(L"a.exe");
        StoreSettings(from, MakeSettings(nullptr, 0, -1));
        reg64::SetDword(from, L"CustomDumpFlags", 0x1234);
        reg64::SetDword(from + L"\\child", L"x", 1);
        std::vector<ProgramEntry> entries = StoredEntries();
        entries[0].processName = L"z.exe";
        entries[0].settings.hasDumpCount = TRUE;
        entries[0].settings.dumpCount = 3;
        if (c.newRowOfOldName)
            entries.insert(entries.begin(), MakeEntry(L"a.exe", MakeSettings(nullptr, 1, -1)));

        BoxCapture boxes;
        {
            SeamRecorder seam;
            if (*c.failingCall)
                seam.FailCall(c.failingCall, 0, ERROR_ACCESS_DENIED);
            EXPECT_EQ(c.renamed, CommitConfiguration(DumpSettings(), entries, CLEAR_NOT_ASKED)) << c.what;
            EXPECT_EQ(0, seam.OpenKeys()) << c.what;
        }
        const std::wstring kept = ProgramKeyPath(c.renamed ? L"z.exe" : L"a.exe");
        EXPECT_EQ(c.renamed && !c.newRowOfOldName, !reg64::KeyExists(from)) << c.what;
        EXPECT_EQ(c.renamed, reg64::KeyExists(ProgramKeyPath(L"z.exe"))) << c.what << ": no new key left behind";
        if (c.newRowOfOldName) {
            EXPECT_EQ(std::vector<std::wstring>{VALUE_DUMP_TYPE}, reg64::ValueNames(from)) << c.what;
            EXPECT_TRUE(reg64::Subkeys(from).empty()) << c.what;
        }
        EXPECT_EQ(0u, StoredDword(kept, VALUE_DUMP_TYPE)) << c.what;
        EXPECT_EQ(c.renamed ? 3u : 0xDEADBEEF, StoredDword(kept, VALUE_DUMP_COUNT)) << c.what;
        EXPECT_EQ(0x1234u, StoredDword(kept, L"CustomDumpFlags")) << c.what;
        EXPECT_EQ(1u, StoredDword(kept + L"\\child", L"x")) << c.what;
        if (c.renamed)
            continue;

        // A second save takes the old key again, not the part of it that reached the new name.
        ASSERT_TRUE(CommitConfiguration(DumpSettings(), entries, CLEAR_NOT_ASKED)) << c.what;
        EXPECT_EQ(std::vector<std::wstring>{L"z.exe"}, reg64::Subkeys(KEY)) << c.what;
        EXPECT_EQ(0x1234u, StoredDword(ProgramKeyPath(L"z.exe"), L"CustomDumpFlags")) << c.what;
    }
}

TEST_F(Commit, RegistryLinksAreDeletedAsLinksAndNeverMoved)
{
    const std::wstring target = L"SOFTWARE\\KestruneLinkTarget";
    reg64::SetDword(target + L"\\below", L"kept", 8);
    const struct {
        const char* what;
        const wchar_t* link;  // below LocalDumps
        bool rename;          // else the program key is removed
    } cases[] = {
        {"a program key holding a link, removed", L"a.exe\\link", false},
        {"a program key that is a link, removed", L"a.exe", false},
        {"a program key holding a link, renamed", L"a.exe\\link", true},
    };
    for (const auto& c : cases) {
        reg64::DeleteTree(KEY);
        if (std::wstring(c.link) != L"a.exe")
            StoreSettings(ProgramKeyPath(L"a.exe"), MakeSettings(nullptr, 1, -1));
        StoreLink(ProgramKeyPath(c.link), target);
        EXPECT_EQ(8u, StoredDword(ProgramKeyPath(c.link) + L"\\below", L"kept")) << c.what << ": a link to the target";
        std::vector<ProgramEntry> entries;
        if (c.rename) {
            entries = StoredEntries();
            entries[0].processName = L"z.exe";
        }
        BoxCapture boxes;
        EXPECT_EQ(!c.rename, CommitConfiguration(MakeSettings(nullptr, 1, -1), entries, CLEAR_NOT_ASKED)) << c.what;
        EXPECT_EQ(8u, StoredDword(target + L"\\below", L"kept")) << c.what;
        EXPECT_EQ(c.rename, reg64::KeyExists(ProgramKeyPath(L"a.exe"))) << c.what;
        EXPECT_FALSE(reg64::KeyExists(ProgramKeyPath(L"z.exe"))) << c.what << ": nothing written";
        const std::wstring box = boxes.Boxes().empty() ? L"" : boxes.Boxes()[0].text;
        EXPECT_EQ(c.rename, box.find(L"HKLM\\" + ProgramKeyPath(c.link)) != std::wstring::npos) << c.what;
        std::wstring text;  // the program's own deletion takes a link left over as a link
        EXPECT_EQ(0u, RegDeleteSettingsKey(ProgramKeyPath(L"a.exe").c_str(), text)) << Narrow(text);
    }
    reg64::DeleteTree(target);
}

TEST_F(Commit, NamesDifferentToTheRegistryAreTwoPrograms)
{
    const struct {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    } names[] = {
        {L"App.EXE", L"app.exe", true},        {L"\u00C4.exe", L"\u00E4.exe", true},
        {L"stra\u00DFe.exe", L"strasse.exe", false}, {L"a\u00ADb.exe", L"ab.exe", false},
    };
    for (const auto& n : names)
        EXPECT_EQ(n.same, SameProcessName(n.a, n.b)) << Narrow(n.a);

    StoreSettings(ProgramKeyPath(L"strasse.exe"), MakeSettings(nullptr, 1, -1));
    std::vector<ProgramEntry> entries = StoredEntries();
    entries.push_back(MakeEntry(L"stra\u00DFe.exe", MakeSettings(nullptr, 2, -1)));
    BoxCapture boxes;
    ASSERT_TRUE(CommitConfiguration(DumpSettings(), entries, CLEAR_NOT_ASKED));
    EXPECT_EQ(1u, StoredDword(ProgramKeyPath(L"strasse.exe"), VALUE_DUMP_TYPE));
    EXPECT_EQ(2u, StoredDword(ProgramKeyPath(L"stra\u00DFe.exe"), VALUE_DUMP_TYPE));
}
