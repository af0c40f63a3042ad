#pragma once
// Renumbering after records leave a sequence: a record that stays moves down by the number of
// records that left from below it.
#include <cstddef>
#include <vector>

// For every old index i, how many flagged records lie below i; one more element at the end holds
// the number of all flagged records.
std::vector<int> CountFlaggedBelow(const std::vector<char>& flagged);
