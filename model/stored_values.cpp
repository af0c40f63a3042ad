#include "model/stored_values.h"

#include <cstring>

#include "framework/system_calls.h"
#include "model/registry_layout.h"

const wchar_t* const MANAGED_VALUE_NAMES[MANAGED_VALUE_COUNT] = {VALUE_DUMP_FOLDER, VALUE_DUMP_TYPE,
                                                                 VALUE_DUMP_COUNT, VALUE_CUSTOM_DUMP_FLAGS};

namespace {

const int FOLDER_VALUE = 0;
const int TYPE_VALUE = 1;
const int COUNT_VALUE = 2;
const int CUSTOM_FLAGS_VALUE = 3;

// A buffer that holds the common value whole: a DWORD, or a folder of a full path.
const DWORD COMMON_VALUE_BYTES = (MAX_PATH + 1) * sizeof(wchar_t);

// One query into that buffer; only a larger value costs another, of the size the first one named
// (asked for again, a few times, while the value keeps growing in between).
StoredValue ReadStoredValue(HKEY key, const wchar_t* name)
{
    StoredValue value;
    BYTE buffer[COMMON_VALUE_BYTES];
    DWORD size = sizeof(buffer);
    LONG code = Sys().RegQueryValueExW(key, name, nullptr, &value.type, buffer, &size);
    if (code == ERROR_SUCCESS) {
        value.data.assign(buffer, buffer + size);
        value.exists = true;
        return value;
    }
    for (int attempt = 0; attempt < 4 && code == ERROR_MORE_DATA; ++attempt) {
        value.data.assign(size, 0);
        code = Sys().RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
    }
    if (code != ERROR_SUCCESS)
        return StoredValue();
    value.data.resize(size);
    value.exists = true;
    return value;
}

bool ReadDword(const StoredValue& value, DWORD& number)
{
    if (!value.exists || value.type != REG_DWORD || value.data.size() != sizeof(DWORD))
        return false;
    std::memcpy(&number, value.data.data(), sizeof(DWORD));
    return true;
}

bool ReadFolder(const StoredValue& value, std::wstring& folder)
{
    if (!value.exists || (value.type != REG_SZ && value.type != REG_EXPAND_SZ) || value.data.empty())
        return false;
    // The text ends at its first NUL, or with the data when it holds none. The bytes need not be
    // aligned for a wchar_t: the characters are taken two bytes at a time.
    const size_t characters = value.data.size() / sizeof(wchar_t);
    const BYTE* bytes = value.data.data();
    size_t length = 0;
    while (length < characters && (bytes[2 * length] != 0 || bytes[2 * length + 1] != 0))
        ++length;
    folder.resize(length);
    if (length > 0)
        std::memcpy(&folder[0], bytes, length * sizeof(wchar_t));
    return true;
}

}  // namespace

bool StoredValue::operator==(const StoredValue& other) const
{
    if (exists != other.exists)
        return false;
    return !exists || (type == other.type && data == other.data);
}

bool StoredValues::operator==(const StoredValues& other) const
{
    for (int i = 0; i < MANAGED_VALUE_COUNT; ++i) {
        if (!(values[i] == other.values[i]))
            return false;
    }
    return true;
}

StoredValues ReadStoredValues(HKEY key)
{
    StoredValues stored;
    for (int i = 0; i < MANAGED_VALUE_COUNT; ++i)
        stored.values[i] = ReadStoredValue(key, MANAGED_VALUE_NAMES[i]);
    return stored;
}

DumpSettings SettingsFromValues(const StoredValues& stored)
{
    DumpSettings settings;
    settings.hasFolder = ReadFolder(stored.values[FOLDER_VALUE], settings.folder);
    DWORD number = 0;
    if (ReadDword(stored.values[TYPE_VALUE], number)) {
        settings.hasDumpType = TRUE;
        settings.dumpType = number;
    }
    if (ReadDword(stored.values[COUNT_VALUE], number)) {
        settings.hasDumpCount = TRUE;
        settings.dumpCount = static_cast<LONG>(number);
    }
    if (ReadDword(stored.values[CUSTOM_FLAGS_VALUE], number)) {
        settings.hasCustomDumpFlags = TRUE;
        settings.customDumpFlags = number;
    }
    return settings;
}
