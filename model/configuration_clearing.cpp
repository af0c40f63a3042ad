#include <vector>

#include "model/commit_steps.h"
#include "model/error_text.h"
#include "model/program_keys.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/stored_values.h"
#include "model/text_utils.h"

namespace {

bool Fail(std::wstring& errorText, const wchar_t* format, DWORD code)
{
    errorText = FormatText(format, static_cast<int>(code), ErrorText(code).c_str());
    return false;
}

bool FailOnKey(std::wstring& errorText, const wchar_t* format, LONG code)
{
    errorText = FormatText(format, LOCALDUMPS_KEY_PATH, static_cast<int>(code),
                           ErrorText(static_cast<DWORD>(code)).c_str());
    return false;
}

bool CollectProgramKeyPaths(std::vector<std::wstring>& paths, std::wstring& errorText)
{
    EnumResult result = EnumerateProgramKeys(
        [&paths](HKEY, const wchar_t* name) { paths.push_back(ProgramKeyPathFor(name)); });
    switch (result.outcome) {
    case EnumOutcome::OpenFailed:
        return FailOnKey(errorText, L"ERROR: Failed to enumerate keys for removal:\nHKLM\\%s\n\n(%d) %s",
                         result.code);
    case EnumOutcome::EnumFailed:
        return FailOnKey(errorText, L"ERROR: Failure while enumerating keys for removal:\nHKLM\\%s\n\n(%d) %s",
                         result.code);
    default:
        return true;
    }
}

bool DeleteGlobalValues(std::wstring& errorText)
{
    for (const wchar_t* name : MANAGED_VALUE_NAMES) {
        if (!RegDeleteSettingValue(LOCALDUMPS_KEY_PATH, name))
            return Fail(errorText, L"ERROR: Failed to remove registry values\n\n(%d) %s", ::GetLastError());
    }
    return true;
}

// The LocalDumps key goes only when nothing is left in it, and alone: a subkey that another program
// adds meanwhile makes the registry refuse the deletion, and then it stays, with the key.
bool DeleteEmptyLocalDumpsKey(std::wstring& errorText)
{
    DWORD subkeys = 0;
    DWORD values = 0;
    if (!RegCountKeyContents(LOCALDUMPS_KEY_PATH, subkeys, values))
        return Fail(errorText, L"ERROR: Failed to query main registry key.\n\n(%d) %s", ::GetLastError());
    if (subkeys != 0 || values != 0)
        return true;
    std::wstring deletionError;
    if (RegDeleteEmptySettingsKey(LOCALDUMPS_KEY_PATH, deletionError) == ERROR_SUCCESS)
        return true;
    if (RegCountKeyContents(LOCALDUMPS_KEY_PATH, subkeys, values) && subkeys != 0)
        return true;
    errorText = deletionError;
    return false;
}

}  // namespace

bool ClearConfiguration(std::wstring& errorText)
{
    // Collected first and deleted afterwards: deleting while enumerating would shift the indexes.
    std::vector<std::wstring> paths;
    if (!CollectProgramKeyPaths(paths, errorText))
        return false;
    for (const std::wstring& path : paths) {
        if (RegDeleteSettingsKey(path.c_str(), errorText) != ERROR_SUCCESS)
            return false;
    }
    return DeleteGlobalValues(errorText) && DeleteEmptyLocalDumpsKey(errorText);
}
