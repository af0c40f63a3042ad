#include "model/program_keys.h"

#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/text_utils.h"

EnumResult EnumerateProgramKeys(const std::function<void(HKEY localDumps, const wchar_t* name)>& handle)
{
    unique_hkey key;
    LONG code = Sys().RegOpenKeyExW(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, 0, ReadAccess(), key.put());
    if (IsAbsent(code))
        return {EnumOutcome::KeyAbsent, code};
    if (code != ERROR_SUCCESS)
        return {EnumOutcome::OpenFailed, code};

    const HKEY localDumps = key.get();
    code = RegEnumSubkeys(localDumps, [&](const wchar_t* name) { handle(localDumps, name); });
    if (code == ERROR_SUCCESS)
        return {EnumOutcome::Completed, ERROR_SUCCESS};
    return {EnumOutcome::EnumFailed, code};
}

std::wstring ProgramKeyPathFor(const wchar_t* processName)
{
    return FormatText(L"%s\\%s", LOCALDUMPS_KEY_PATH, processName);
}
