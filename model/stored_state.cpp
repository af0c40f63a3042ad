#include "model/stored_state.h"

#include <algorithm>
#include <cwchar>
#include <utility>

#include "model/process_names.h"
#include "model/registry_layout.h"
#include "model/text_utils.h"

namespace {

const size_t NAMES_IN_QUESTION = 10;

void AddChangedValues(const std::wstring& key, const StoredValues& before, const StoredValues& now,
                      std::vector<OutsideChange>& changed)
{
    for (int i = 0; i < MANAGED_VALUE_COUNT; ++i) {
        if (!(before.values[i] == now.values[i]))
            changed.push_back({key, i, false, now});
    }
}

bool NameLess(const StoredKey* a, const StoredKey* b)
{
    return CompareProcessNames(a->name, b->name) < 0;
}

// What a save does to one changed name, seen against what is stored now.
enum SaveEffect { EFFECT_KEPT, EFFECT_STAYS_DELETED, EFFECT_REMOVED, EFFECT_COMES_BACK, EFFECT_SET_BACK, EFFECT_REPLACED };

const wchar_t* EffectText(SaveEffect effect)
{
    switch (effect) {
    case EFFECT_KEPT:
        return L"kept";
    case EFFECT_STAYS_DELETED:
        return L"stays deleted";
    case EFFECT_REMOVED:
        return L"removed";
    case EFFECT_COMES_BACK:
        return L"comes back";
    case EFFECT_SET_BACK:
        return L"set back";
    default:
        return L"replaced by your settings";
    }
}

bool IsValue(int index, const wchar_t* name)
{
    return std::wcscmp(MANAGED_VALUE_NAMES[index], name) == 0;
}

// Whether two records hold the same value of one managed setting, and whether a record gives it.
// A value that the save does not write is always the same.
bool SameSetting(int index, const DumpSettings& a, const DumpSettings& b)
{
    if (IsValue(index, VALUE_DUMP_FOLDER))
        return SameFolder(a, b);
    if (IsValue(index, VALUE_DUMP_TYPE))
        return SameDumpType(a, b);
    if (IsValue(index, VALUE_DUMP_COUNT))
        return SameDumpCount(a, b);
    // The flags are written only for a custom dump.
    if (IsValue(index, VALUE_CUSTOM_DUMP_FLAGS))
        return !a.IsCustomDump() || SameCustomDumpFlags(a, b);
    return true;
}

bool GivesSetting(int index, const DumpSettings& s)
{
    if (IsValue(index, VALUE_DUMP_FOLDER))
        return s.hasFolder != FALSE;
    if (IsValue(index, VALUE_DUMP_TYPE))
        return s.hasDumpType != FALSE;
    if (IsValue(index, VALUE_DUMP_COUNT))
        return s.hasDumpCount != FALSE;
    if (IsValue(index, VALUE_CUSTOM_DUMP_FLAGS))
        return s.IsCustomDump() && s.hasCustomDumpFlags;
    return false;
}

// The entry the save writes into a program key: the one of exactly that name, else one whose name
// differs only in letter case (which keeps the key); null when the key goes.
const ProgramEntry* EntryFor(const std::wstring& key, const DesiredConfiguration& desired)
{
    if (desired.clearing)
        return nullptr;
    const ProgramEntry* found = nullptr;
    for (const ProgramEntry& entry : desired.entries) {
        if (entry.processName == key)
            return &entry;
        if (!found && SameProcessName(entry.processName, key))
            found = &entry;
    }
    return found;
}

SaveEffect EffectOf(const OutsideChange& change, const DesiredConfiguration& desired)
{
    const ProgramEntry* entry = change.key.empty() ? nullptr : EntryFor(change.key, desired);
    if (change.value == WHOLE_KEY) {
        if (!change.keyAdded)
            return entry ? EFFECT_COMES_BACK : EFFECT_STAYS_DELETED;
        if (!entry)
            return EFFECT_REMOVED;
        ProgramEntry stored;
        stored.settings = SettingsFromValues(change.now);
        return NeedsWrite(*entry, stored) ? EFFECT_REPLACED : EFFECT_KEPT;
    }

    const bool present = change.now.values[change.value].exists;
    const DumpSettings* wanted = change.key.empty() ? (desired.clearing ? nullptr : &desired.global)
                                                    : (entry ? &entry->settings : nullptr);
    // No settings for the key: the values go with the cleared configuration or the deleted key.
    if (!wanted)
        return present ? EFFECT_REMOVED : EFFECT_STAYS_DELETED;
    if (SameSetting(change.value, *wanted, SettingsFromValues(change.now)))
        return present ? EFFECT_KEPT : EFFECT_STAYS_DELETED;
    if (!GivesSetting(change.value, *wanted))
        return EFFECT_REMOVED;
    return present ? EFFECT_SET_BACK : EFFECT_COMES_BACK;
}

std::wstring NameOf(const OutsideChange& change)
{
    if (change.value == WHOLE_KEY)
        return change.key + (change.keyAdded ? L" (added)" : L" (deleted)");
    return change.key.empty() ? std::wstring(MANAGED_VALUE_NAMES[change.value])
                              : change.key + L"\\" + MANAGED_VALUE_NAMES[change.value];
}

}  // namespace

StoredState ReadStoredState()
{
    StoredState state;
    state.global = ReadGlobalValues();
    state.status = ReadProgramKeyValues([&state](const wchar_t* name, StoredValues& values) {
        state.programs.push_back({name, std::move(values)});
    }, &state.keyExists);
    state.code = state.status == READ_OK ? ERROR_SUCCESS : ::GetLastError();
    return state;
}

std::vector<OutsideChange> ChangedSettings(const StoredState& before, const StoredState& now)
{
    std::vector<OutsideChange> changed;
    AddChangedValues(L"", before.global, now.global, changed);

    // The keys loaded, by name, each found at most once.
    std::vector<const StoredKey*> loaded;
    for (const StoredKey& key : before.programs)
        loaded.push_back(&key);
    std::sort(loaded.begin(), loaded.end(), NameLess);
    std::vector<char> found(loaded.size(), 0);

    for (const StoredKey& key : now.programs) {
        auto match = std::lower_bound(loaded.begin(), loaded.end(), &key, NameLess);
        if (match == loaded.end() || !SameProcessName((*match)->name, key.name)) {
            changed.push_back({key.name, WHOLE_KEY, true, key.values});
            continue;
        }
        found[static_cast<size_t>(match - loaded.begin())] = 1;
        AddChangedValues(key.name, (*match)->values, key.values, changed);
    }
    for (size_t i = 0; i < loaded.size(); ++i) {
        if (!found[i])
            changed.push_back({loaded[i]->name, WHOLE_KEY, false, StoredValues()});
    }
    return changed;
}

std::wstring OutsideChangeQuestion(const std::vector<OutsideChange>& changes, const DesiredConfiguration& desired,
                                   bool again)
{
    std::wstring lines;
    for (size_t i = 0; i < changes.size() && i < NAMES_IN_QUESTION; ++i)
        lines += NameOf(changes[i]) + L": " + EffectText(EffectOf(changes[i], desired)) + L"\n";
    if (changes.size() > NAMES_IN_QUESTION)
        lines += FormatText(L"and %d more\n", static_cast<int>(changes.size() - NAMES_IN_QUESTION));
    return std::wstring(L"The following settings were changed by another program ") +
           (again ? L"while Kestrune was asking" : L"after Kestrune loaded them") +
           L". What saving does to each:\n\n" + lines + L"\nDo you want to save your settings over them?";
}
