#include "model/stored_settings.h"

#include "framework/unique_handles.h"
#include "model/program_keys.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/stored_values.h"

namespace {

ReadStatus StatusOf(EnumOutcome outcome)
{
    switch (outcome) {
    case EnumOutcome::OpenFailed:
        return READ_OPEN_FAILED;
    case EnumOutcome::EnumFailed:
        return READ_ENUM_FAILED;
    default:
        return READ_OK;
    }
}

}  // namespace

StoredValues ReadGlobalValues()
{
    unique_hkey key;
    if (RegOpenSettingsKey(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, ReadAccess(), key) != ERROR_SUCCESS)
        return StoredValues();
    return ReadStoredValues(key.get());
}

DumpSettings ReadGlobalSettings()
{
    return SettingsFromValues(ReadGlobalValues());
}

ReadStatus ReadProgramKeyValues(const StoredKeyConsumer& consumer, bool* keyFound)
{
    EnumResult result = EnumerateProgramKeys([&consumer](HKEY localDumps, const wchar_t* name) {
        StoredValues values;
        unique_hkey key;
        if (RegOpenSettingsKey(localDumps, name, ReadAccess(), key) == ERROR_SUCCESS) {
            values = ReadStoredValues(key.get());
            key.reset();
        }
        consumer(name, values);
    });
    if (keyFound)
        *keyFound = result.outcome != EnumOutcome::KeyAbsent;
    ReadStatus status = StatusOf(result.outcome);
    ::SetLastError(status == READ_OK ? ERROR_SUCCESS : static_cast<DWORD>(result.code));
    return status;
}

ReadStatus ReadProgramKeys(const ProgramKeyConsumer& consumer)
{
    return ReadProgramKeyValues([&consumer](const wchar_t* name, StoredValues& values) {
        ProgramEntry stored;
        stored.processName = name;
        stored.keyName = stored.processName;
        stored.settings = SettingsFromValues(values);
        consumer(stored);
    });
}
