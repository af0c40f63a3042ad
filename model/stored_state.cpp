#include "model/stored_state.h"

#include <algorithm>

#include "model/process_names.h"
#include "model/text_utils.h"

namespace {

const size_t NAMES_IN_QUESTION = 10;

void AddChangedValues(const std::wstring& prefix, const StoredValues& before, const StoredValues& now,
                      std::vector<std::wstring>& changed)
{
    for (int i = 0; i < MANAGED_VALUE_COUNT; ++i) {
        if (!(before.values[i] == now.values[i]))
            changed.push_back(prefix + MANAGED_VALUE_NAMES[i]);
    }
}

bool NameLess(const StoredKey* a, const StoredKey* b)
{
    return CompareProcessNames(a->name, b->name) < 0;
}

}  // namespace

StoredState ReadStoredState()
{
    StoredState state;
    state.global = ReadGlobalValues();
    state.status = ReadProgramKeyValues([&state](const wchar_t* name, const StoredValues& values) {
        state.programs.push_back({name, values});
    }, &state.keyExists);
    state.code = state.status == READ_OK ? ERROR_SUCCESS : ::GetLastError();
    return state;
}

std::vector<std::wstring> ChangedSettings(const StoredState& before, const StoredState& now)
{
    std::vector<std::wstring> changed;
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
            changed.push_back(key.name + L" (added)");
            continue;
        }
        found[static_cast<size_t>(match - loaded.begin())] = 1;
        AddChangedValues(key.name + L"\\", (*match)->values, key.values, changed);
    }
    for (size_t i = 0; i < loaded.size(); ++i) {
        if (!found[i])
            changed.push_back(loaded[i]->name + L" (deleted)");
    }
    return changed;
}

std::wstring OutsideChangeQuestion(const std::vector<std::wstring>& changed)
{
    std::wstring names;
    for (size_t i = 0; i < changed.size() && i < NAMES_IN_QUESTION; ++i)
        names += changed[i] + L"\n";
    if (changed.size() > NAMES_IN_QUESTION)
        names += FormatText(L"and %d more\n", static_cast<int>(changed.size() - NAMES_IN_QUESTION));
    return L"The following settings were changed by another program after Kestrune loaded them:\n\n" + names +
           L"\nDo you want to save your settings over them?";
}
