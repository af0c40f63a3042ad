#pragma once
// Saving: bringing the registry to a desired configuration, writing only what differs from what is
// stored at this moment.
#include <windows.h>

#include <vector>

#include "model/dump_settings.h"

// Empty global settings and no entries clear the whole configuration; otherwise the global key is
// written, then stored program keys are paired with the entries by exact name: changed pairs are
// rewritten, keys without an entry deleted, entries without a key added, in that order. The first
// failure stops the save, keeps what was written and shows one error box; the result is then false.
// Only the `matched` marks of `entries` are changed.
bool CommitConfiguration(const DumpSettings& global, std::vector<ProgramEntry>& entries);
