#include "model/stored_settings.h"

#include "framework/unique_handles.h"
#include "model/program_keys.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"

namespace {

// The three values of one open settings key; each flag is set exactly when its read succeeds.
DumpSettings ReadSettingsValues(HKEY key)
{
    DumpSettings settings;
    settings.hasFolder = RegQueryDumpFolder(key, settings.folder);
    DWORD value = 0;
    if (RegQueryDword(key, VALUE_DUMP_TYPE, value)) {
        settings.hasDumpType = TRUE;
        settings.dumpType = value;
    }
    if (RegQueryDword(key, VALUE_DUMP_COUNT, value)) {
        settings.hasDumpCount = TRUE;
        settings.dumpCount = static_cast<LONG>(value);
    }
    return settings;
}

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

DumpSettings ReadGlobalSettings()
{
    unique_hkey key;
    if (RegOpenSettingsKey(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, ReadAccess(), key) != ERROR_SUCCESS)
        return DumpSettings();
    return ReadSettingsValues(key.get());
}

ReadStatus ReadProgramKeys(const ProgramKeyConsumer& consumer)
{
    EnumResult result = EnumerateProgramKeys([&consumer](HKEY localDumps, const wchar_t* name) {
        ProgramEntry stored;
        stored.processName = name;
        unique_hkey key;
        if (RegOpenSettingsKey(localDumps, name, ReadAccess(), key) == ERROR_SUCCESS) {
            stored.settings = ReadSettingsValues(key.get());
            key.reset();
        }
        consumer(stored);
    });
    ReadStatus status = StatusOf(result.outcome);
    ::SetLastError(status == READ_OK ? ERROR_SUCCESS : static_cast<DWORD>(result.code));
    return status;
}
