#pragma once
// What the registry held when the main window loaded: the managed values of the global key and of
// every program key, as stored, and the set of program keys. A save compares it with what is
// stored at that moment, so that it never silently undoes what another program changed since.
#include <windows.h>

#include <string>
#include <vector>

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

// What differs between two readings, one name each: "DumpFolder" for a global value,
// "app.exe\DumpType" for a value of a program key, "app.exe (added)" and "app.exe (deleted)" for
// program keys. Key names are matched as the registry matches them.
std::vector<std::wstring> ChangedSettings(const StoredState& before, const StoredState& now);

// The question that names them: at most ten names, then "and N more".
std::wstring OutsideChangeQuestion(const std::vector<std::wstring>& changed);
