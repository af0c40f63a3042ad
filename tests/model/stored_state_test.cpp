// What a save says about changes another program made after loading: each change once, found in
// the stored type and bytes, with what saving the loaded configuration does to it.
#include <gtest/gtest.h>

#include <functional>

#include "model/registry_layout.h"
#include "model/stored_state.h"
#include "tests/model/store_test_support.h"
#include "tests/support/registry_fixture.h"

class OutsideChanges : public LocalDumpsTest {};

TEST_F(OutsideChanges, EachChangeIsNamedWithWhatSavingDoesToIt)
{
    const std::wstring KEY = LOCALDUMPS_KEY_PATH;
    struct Case {
        const char* what;
        std::function<void()> change;
        const wchar_t* line;  // the question's one line, or null for no change
    } cases[] = {
        {"the type alone, REG_EXPAND_SZ to REG_SZ", [&] { reg64::SetString(KEY, VALUE_DUMP_FOLDER, L"C:\\d"); },
         L"DumpFolder: kept"},
        {"the same bytes written again", [&] { reg64::SetDword(KEY, VALUE_DUMP_TYPE, 1); }, nullptr},
        {"another type", [&] { reg64::SetDword(KEY, VALUE_DUMP_TYPE, 2); }, L"DumpType: set back"},
        {"a count added", [&] { reg64::SetDword(KEY, VALUE_DUMP_COUNT, 4); }, L"DumpCount: removed"},
        {"a program's type", [] { reg64::SetDword(ProgramKeyPath(L"a.exe"), VALUE_DUMP_TYPE, 2); },
         L"a.exe\\DumpType: set back"},
        {"a program key added", [] { reg64::CreateKey(ProgramKeyPath(L"c.exe")); }, L"c.exe (added): removed"},
        {"a program key deleted", [] { reg64::DeleteTree(ProgramKeyPath(L"b.exe")); }, L"b.exe (deleted): comes back"},
    };
    for (const Case& c : cases) {
        reg64::DeleteTree(KEY);
        reg64::SetString(KEY, VALUE_DUMP_FOLDER, L"C:\\d", REG_EXPAND_SZ);
        reg64::SetDword(KEY, VALUE_DUMP_TYPE, 1);
        reg64::SetDword(ProgramKeyPath(L"a.exe"), VALUE_DUMP_TYPE, 1);
        reg64::CreateKey(ProgramKeyPath(L"b.exe"));
        const StoredState loaded = ReadStoredState();
        std::vector<ProgramEntry> entries;
        for (const StoredKey& key : loaded.programs)
            entries.push_back(MakeEntry(key.name, SettingsFromValues(key.values)));

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
