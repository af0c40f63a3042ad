#include "model/entry_pairing.h"

#include <deque>
#include <string>
#include <unordered_map>

std::vector<size_t> PairStoredKeys(std::vector<ProgramEntry>& stored, std::vector<ProgramEntry>& entries)
{
    // Entry indexes by name, in sequence order: the front of a queue is the first unpaired entry.
    std::unordered_map<std::wstring, std::deque<size_t>> unpaired;
    unpaired.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].matched = 0;
        unpaired[entries[i].processName].push_back(i);
    }

    std::vector<size_t> pairs(stored.size(), NO_PAIRED_ENTRY);
    for (size_t s = 0; s < stored.size(); ++s) {
        auto found = unpaired.find(stored[s].processName);
        if (found == unpaired.end() || found->second.empty())
            continue;
        size_t e = found->second.front();
        found->second.pop_front();
        entries[e].matched |= ENTRY_MATCHED;
        stored[s].matched |= ENTRY_MATCHED;
        pairs[s] = e;
    }
    return pairs;
}
