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

    for (DWORD index = 0;; ++index) {
        wchar_t name[PROGRAM_KEY_NAME_CAPACITY];
        DWORD capacity = PROGRAM_KEY_NAME_CAPACITY;
        code = Sys().RegEnumKeyExW(key.get(), index, name, &capacity, nullptr, nullptr, nullptr, nullptr);
        name[PROGRAM_KEY_NAME_CAPACITY - 1] = L'\0';
        if (code != ERROR_SUCCESS)
            break;
        handle(key.get(), name);
    }
    if (code == ERROR_NO_MORE_ITEMS)
        return {EnumOutcome::Completed, ERROR_SUCCESS};
    return {EnumOutcome::EnumFailed, code};
}

std::wstring ProgramKeyPathFor(const wchar_t* processName)
{
    return FormatText(L"%s\\%s", LOCALDUMPS_KEY_PATH, processName);
}
