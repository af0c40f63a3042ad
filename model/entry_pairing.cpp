#include "model/entry_pairing.h"

#include "model/process_names.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

std::vector<size_t> PairStoredKeys(std::vector<ProgramEntry>& stored, std::vector<ProgramEntry>& entries)
{
    // For every name the first entry not paired yet, and behind each entry the next one of the same
    // name, in sequence order. The names stay in `entries`, which the pairing does not rename.
    std::unordered_map<std::wstring_view, size_t> firstUnpaired;
    firstUnpaired.reserve(entries.size());
    std::unordered_set<std::wstring_view> claimed;  // keys that a renamed entry was read from
    std::vector<size_t> nextOfSameName(entries.size(), NO_PAIRED_ENTRY);
    for (size_t i = entries.size(); i-- > 0;) {
        entries[i].matched = 0;
        // A renamed entry belongs to the key it was read from (PairKeysWithTheirEntries), even
        // where a key of its new name is stored too: a copy left by an earlier save that failed
        // half way, say, which must not take the place of the original.
        if (!entries[i].keyName.empty() && entries[i].keyName != entries[i].processName) {
            claimed.insert(entries[i].keyName);
            continue;
        }
        auto slot = firstUnpaired.emplace(entries[i].processName, NO_PAIRED_ENTRY).first;
        nextOfSameName[i] = slot->second;
        slot->second = i;
    }

    std::vector<size_t> pairs(stored.size(), NO_PAIRED_ENTRY);
    for (size_t s = 0; s < stored.size(); ++s) {
        // The key a renamed entry was read from goes with that entry, even beside a new row that
        // took the old name.
        if (claimed.count(stored[s].processName))
            continue;
        auto found = firstUnpaired.find(stored[s].processName);
        if (found == firstUnpaired.end() || found->second == NO_PAIRED_ENTRY)
            continue;
        size_t e = found->second;
        found->second = nextOfSameName[e];
        entries[e].matched |= ENTRY_MATCHED;
        stored[s].matched |= ENTRY_MATCHED;
        pairs[s] = e;
    }
    return pairs;
}

namespace {

// Pairs each stored record left over with the first entry left over that `belongs` to it. Renames
// are rare and few: a plain search over the entries left over is enough.
template <typename Belongs>
std::vector<size_t> PairLeftOver(std::vector<ProgramEntry>& stored, std::vector<ProgramEntry>& entries,
                                 Belongs belongs)
{
    std::vector<size_t> renames(stored.size(), NO_PAIRED_ENTRY);
    for (size_t s = 0; s < stored.size(); ++s) {
        if (stored[s].matched & ENTRY_MATCHED)
            continue;
        for (size_t e = 0; e < entries.size(); ++e) {
            if ((entries[e].matched & ENTRY_MATCHED) || !belongs(entries[e], stored[s]))
                continue;
            entries[e].matched |= ENTRY_MATCHED;
            stored[s].matched |= ENTRY_MATCHED;
            renames[s] = e;
            break;
        }
    }
    return renames;
}

}  // namespace

std::vector<size_t> PairKeysWithTheirEntries(std::vector<ProgramEntry>& stored, std::vector<ProgramEntry>& entries)
{
    return PairLeftOver(stored, entries, [](const ProgramEntry& entry, const ProgramEntry& key) {
        return !entry.keyName.empty() && entry.keyName == key.processName;
    });
}

std::vector<size_t> PairRenamedKeys(std::vector<ProgramEntry>& stored, std::vector<ProgramEntry>& entries)
{
    return PairLeftOver(stored, entries, [](const ProgramEntry& entry, const ProgramEntry& key) {
        return SameProcessName(entry.processName, key.processName);
    });
}
