#pragma once
// Reading what the registry holds now: the global settings, and one record per program key.
// Reading never reports anything to the user; whatever cannot be read counts as not given.
#include <windows.h>

#include <functional>

#include "model/dump_settings.h"
#include "model/stored_values.h"

// How the walk over the program keys ended. With the two failures the Win32 code of the failing
// call is left as the thread's last error.
enum ReadStatus {
    READ_OK,           // every subkey was walked; also when the LocalDumps key does not exist
    READ_OPEN_FAILED,  // the LocalDumps key exists but cannot be opened; nothing was handed over
    READ_ENUM_FAILED,  // the walk broke off; the subkeys before the break were handed over
};

// The record and the values are the consumer's to keep: it may move them away.
using ProgramKeyConsumer = std::function<void(ProgramEntry& stored)>;
using StoredKeyConsumer = std::function<void(const wchar_t* name, StoredValues& values)>;

// The values directly in the LocalDumps key. setAcl is never set: it is not stored.
DumpSettings ReadGlobalSettings();
// The same values as stored; all absent when the key cannot be opened.
StoredValues ReadGlobalValues();

// Hands every program key to `consumer`, in the order the registry lists them, as a record with the
// key's name (as processName and keyName) and values (modified, matched and setAcl false). A key
// that cannot be opened yields a record with only its name, and the walk goes on.
ReadStatus ReadProgramKeys(const ProgramKeyConsumer& consumer);

// The same walk, handing over each key's name and its managed values as stored. `keyFound`, when
// given, tells whether the LocalDumps key exists (also when it cannot be opened).
ReadStatus ReadProgramKeyValues(const StoredKeyConsumer& consumer, bool* keyFound = nullptr);
