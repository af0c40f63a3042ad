#pragma once
// What the registry held when the main window loaded: the managed values of the global key and of
// every program key, as stored, and the set of program keys. A save compares it with what is
// stored at that moment, so that it never silently undoes what another program changed since.
#include <windows.h>

#include <string>
#include <vector>

#include "model/dump_settings.h"
#include "model/stored_settings.h"
#include "model/stored_values.h"

struct StoredKey {
    std::wstring name;
    StoredValues values;
};

struct StoredState {
    StoredValues global;
    std::vector<StoredKey> programs;  // in the order the registry lists them
    ReadStatus status = READ_OK;      // whether every program key was read
    DWORD code = ERROR_SUCCESS;       // the failing call's code when not
    bool keyExists = false;           // the LocalDumps key is there: Windows writes dumps
};

StoredState ReadStoredState();

// One difference between two readings: a managed value of the global key or of a program key, or a
// program key added or deleted as a whole. Values are compared as stored, type and bytes.
const int WHOLE_KEY = -1;
struct OutsideChange {
    std::wstring key;         // "" for the global key, else the program key's name
    int value = WHOLE_KEY;    // index into MANAGED_VALUE_NAMES, or WHOLE_KEY
    bool keyAdded = false;    // for WHOLE_KEY: added (true) or deleted (false)
    StoredValues now;         // the key's values in the later reading (all absent when deleted)
};

// What differs between two readings. Key names are matched as the registry matches them.
std::vector<OutsideChange> ChangedSettings(const StoredState& before, const StoredState& now);

// The configuration a save is about to write, and whether it clears everything (see commit.h).
struct DesiredConfiguration {
    const DumpSettings& global;
    const std::vector<ProgramEntry>& entries;
    bool clearing;
};

// The question that names the changes, one line each with what saving does to it: "DumpType: set
// back", "app.exe (added): removed", "app.exe (deleted): comes back", "app.exe\DumpType: kept".
// At most ten lines, then "and N more". `again` asks about changes made while an earlier question
// was open.
std::wstring OutsideChangeQuestion(const std::vector<OutsideChange>& changes, const DesiredConfiguration& desired,
                                   bool again);
