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

// Size first, then the bytes; a value that grows in between is asked for again, a few times.
StoredValue ReadStoredValue(HKEY key, const wchar_t* name)
{
    StoredValue value;
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (Sys().RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
            break;
        value.data.assign(size, 0);
        LONG code = Sys().RegQueryValueExW(key, name, nullptr, &value.type, value.data.empty() ? nullptr : value.data.data(),
                                           &size);
        if (code == ERROR_MORE_DATA)
            continue;
        if (code != ERROR_SUCCESS)
            break;
        value.data.resize(size);
        value.exists = true;
        return value;
    }
    return StoredValue();
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
    // The text ends at its first NUL, or with the data when it holds none.
    const size_t characters = value.data.size() / sizeof(wchar_t);
    std::wstring text(characters, L'\0');
    std::memcpy(&text[0], value.data.data(), characters * sizeof(wchar_t));
    folder = text.substr(0, text.find(L'\0'));
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
