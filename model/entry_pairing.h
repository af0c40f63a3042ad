#pragma once
// Pairing the program keys stored now with the desired entries, by exact process name.
#include <cstddef>
#include <vector>

#include "model/dump_settings.h"

const size_t NO_PAIRED_ENTRY = static_cast<size_t>(-1);

// For each stored record, in order, the index of its entry: the first entry in sequence order that
// is not paired yet, was not renamed (its keyName is empty or its name), and whose name equals the
// stored name exactly (case-sensitive), or NO_PAIRED_ENTRY. A stored key that a renamed entry was
// read from is left for that entry (PairKeysWithTheirEntries). Clears the marks of the entries first, then sets the matched bit of both sides
// of every pair. Linear in the number of records on average.
std::vector<size_t> PairStoredKeys(std::vector<ProgramEntry>& stored, std::vector<ProgramEntry>& entries);

// For each stored record that found no entry, in order, the first entry not paired yet that was
// read from that key (its keyName is the stored name exactly), or NO_PAIRED_ENTRY: the entry is
// that key under the name it has now. Sets the matched bit of both sides of every such pair. Run
// after PairStoredKeys.
std::vector<size_t> PairKeysWithTheirEntries(std::vector<ProgramEntry>& stored, std::vector<ProgramEntry>& entries);

// For each stored record that found no entry, in order, the first entry not paired yet whose name
// differs from the stored name only in letter case (SameProcessName: the registry's view of key names), or
// NO_PAIRED_ENTRY: the entry was renamed from that key. Sets the matched bit of both sides of
// every such pair. Run after PairKeysWithTheirEntries.
std::vector<size_t> PairRenamedKeys(std::vector<ProgramEntry>& stored, std::vector<ProgramEntry>& entries);
