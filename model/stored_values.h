#pragma once
// The values that a settings key holds for Windows Error Reporting, exactly as stored: type
// and bytes. The main window keeps what it loaded in this form, so that a save can tell whether
// another program changed a value since, whatever its type, and the settings it shows are read
// from these very bytes.
#include <windows.h>

#include <string>
#include <vector>

#include "model/dump_settings.h"

struct StoredValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const StoredValue& other) const;
};

// "DumpFolder", "DumpType", "DumpCount" and "CustomDumpFlags", in this order.
const int MANAGED_VALUE_COUNT = 4;
extern const wchar_t* const MANAGED_VALUE_NAMES[MANAGED_VALUE_COUNT];

struct StoredValues {
    StoredValue values[MANAGED_VALUE_COUNT];
    bool operator==(const StoredValues& other) const;
};

// The managed values of an open key. A value that is absent or cannot be read counts as absent.
StoredValues ReadStoredValues(HKEY key);

// The settings as the program reads stored values: "DumpFolder" of REG_SZ or REG_EXPAND_SZ and
// non-zero size, up to its first NUL; "DumpType", "DumpCount" and "CustomDumpFlags" of REG_DWORD
// and four bytes.
// Anything else is not given. setAcl is false.
DumpSettings SettingsFromValues(const StoredValues& values);
