#pragma once
// Saving: bringing the registry to a desired configuration, writing only what differs from what is
// stored at this moment.
#include <windows.h>

#include <string>
#include <vector>

#include "model/dump_settings.h"

// Whether the user asked to remove the whole configuration (Clear Global Settings) since the
// settings were last loaded or saved. Only such a request lets a save delete the LocalDumps key:
// the key alone, even empty, makes Windows write a dump of every crashing program.
enum ClearRequest {
    CLEAR_NOT_ASKED,
    CLEAR_ASKED,
};

// Whether a save clears the whole configuration: clearing was asked for, the global settings are
// empty and there are no entries.
bool ClearsConfiguration(const DumpSettings& global, const std::vector<ProgramEntry>& entries, ClearRequest clear);

// A save that clears deletes every program key and the global values, then the LocalDumps key when
// nothing else is left in it. Any other save writes the global key (without creating it when there
// is nothing to write), then pairs stored program keys with the entries by exact name: changed
// pairs are rewritten, keys without an entry deleted, entries without a key added, in that order.
// The first failure stops the save, keeps what was written and puts one message into errorText;
// the result is then false. Only the `matched` marks of `entries` are changed.
bool SaveConfiguration(const DumpSettings& global, std::vector<ProgramEntry>& entries, ClearRequest clear,
                       std::wstring& errorText);

// The same save, showing the message of a failure in an error box.
bool CommitConfiguration(const DumpSettings& global, std::vector<ProgramEntry>& entries, ClearRequest clear);
