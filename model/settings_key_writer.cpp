#include "model/settings_key_writer.h"

#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "model/dump_folder_acl.h"
#include "model/dump_folder_path.h"
#include "model/error_text.h"
#include "model/native_folders.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/stored_values.h"
#include "model/text_utils.h"

namespace {

const wchar_t* const MSG_WRITE_FAILED = L"ERROR: Failed to write into registry.\n\n(%d) %s";
const wchar_t* const MSG_REMOVE_FAILED = L"ERROR: Failed to remove registry value.\n\n(%d) %s";
const wchar_t* const MSG_FOLDER_FAILED = L"ERROR: Failed to create folder to store dump files:\n\n%s\n\n(%d) %s";
const wchar_t* const MSG_ACL_FAILED = L"ERROR: Failed to set ACL on folder:\n\n%s\n\n(%d) %s";

// Fills a message with the code and its text, and leaves the code as the last error.
bool Fail(std::wstring& errorText, const wchar_t* format, DWORD code)
{
    errorText = FormatText(format, static_cast<int>(code), ErrorText(code).c_str());
    ::SetLastError(code);
    return false;
}

bool FailOnFolder(std::wstring& errorText, const wchar_t* format, const std::wstring& folder, DWORD code)
{
    errorText = FormatText(format, folder.c_str(), static_cast<int>(code), ErrorText(code).c_str());
    ::SetLastError(code);
    return false;
}

// Makes sure the folder exists where its text points and, on request, carries the dump-folder ACL.
// A folder this call makes is made through a handle to the folder that holds it and stays open in
// `made`, so that securing it and taking it back reach that folder and nothing else. Messages name
// the folder as stored. A folder to be secured is never made or secured through a link: its parent
// is checked before it is made.
bool ProvideFolder(const DumpSettings& settings, const std::wstring& onDisk, unique_hfile& made,
                   std::wstring& errorText)
{
    bool parentFailed = false;
    const DWORD code = MakeDumpFolder(onDisk.c_str(), settings.setAcl != FALSE, made, parentFailed);
    // With the ACL asked for, the parent's check belongs to securing the folder.
    if (parentFailed && settings.setAcl)
        return FailOnFolder(errorText, MSG_ACL_FAILED, settings.folder, code);
    if (code != ERROR_SUCCESS && code != ERROR_ALREADY_EXISTS)
        return FailOnFolder(errorText, MSG_FOLDER_FAILED, settings.folder, code);
    if (code == ERROR_ALREADY_EXISTS) {
        // The same answer comes for a file of that name: no place for dump files, and not a
        // thing whose ACL may be opened to everyone.
        DWORD attributes = InNativeFileSystem([&]() { return Sys().GetFileAttributesW(onDisk.c_str()); });
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return FailOnFolder(errorText, MSG_FOLDER_FAILED, settings.folder, code);
    }
    if (settings.setAcl && !ApplyDumpFolderAcl(onDisk.c_str(), made.get()))
        return FailOnFolder(errorText, MSG_ACL_FAILED, settings.folder, ::GetLastError());
    return true;
}

// The folder first, then the value that names it, with the text as entered.
bool WriteFolderValue(HKEY key, const DumpSettings& settings, std::wstring& errorText)
{
    const std::wstring onDisk = DumpFolderOnDisk(settings.folder);
    unique_hfile made;
    if (!ProvideFolder(settings, onDisk, made, errorText))
        return false;
    if (RegSetDumpFolder(key, settings.folder.c_str()))
        return true;

    DWORD code = ::GetLastError();
    // Take back a folder that this write made and nothing has used yet; a folder that was there
    // before is never removed, and a folder that is not empty cannot be.
    TakeBackDumpFolder(made.get());
    return Fail(errorText, MSG_WRITE_FAILED, code);
}

bool WriteDwordValue(HKEY key, const wchar_t* name, BOOL given, DWORD value, std::wstring& errorText)
{
    if (given)
        return RegSetDword(key, name, value) || Fail(errorText, MSG_WRITE_FAILED, ::GetLastError());
    return RegRemoveValue(key, name) || Fail(errorText, MSG_REMOVE_FAILED, ::GetLastError());
}

}  // namespace

bool WriteSettingsKey(const wchar_t* keyPath, const DumpSettings& settings, std::wstring& errorText)
{
    unique_hkey key;
    LONG code = RegCreateSettingsKey(keyPath, key);
    if (code != ERROR_SUCCESS)
        return Fail(errorText, MSG_WRITE_FAILED, static_cast<DWORD>(code));

    // A value that already reads as the desired one stays exactly as stored, whatever its type: a
    // value the program cannot read beside a setting that is not given, or an expandable folder
    // beside the same text.
    const DumpSettings stored = SettingsFromValues(ReadStoredValues(key.get()));
    if (!SameFolder(settings, stored)) {
        if (settings.hasFolder) {
            if (!WriteFolderValue(key.get(), settings, errorText))
                return false;
        } else if (!RegRemoveValue(key.get(), VALUE_DUMP_FOLDER)) {
            return Fail(errorText, MSG_REMOVE_FAILED, ::GetLastError());
        }
    } else if (settings.hasFolder && settings.setAcl) {
        unique_hfile made;
        if (!ProvideFolder(settings, DumpFolderOnDisk(settings.folder), made, errorText))
            return false;
    }
    // The custom dump flags only with a custom dump: beside another type Windows ignores them, and
    // they stay as stored for the day the type is custom again.
    return (SameDumpType(settings, stored) ||
            WriteDwordValue(key.get(), VALUE_DUMP_TYPE, settings.hasDumpType, settings.dumpType, errorText)) &&
           (SameDumpCount(settings, stored) ||
            WriteDwordValue(key.get(), VALUE_DUMP_COUNT, settings.hasDumpCount,
                            static_cast<DWORD>(settings.dumpCount), errorText)) &&
           (!settings.IsCustomDump() || SameCustomDumpFlags(settings, stored) ||
            WriteDwordValue(key.get(), VALUE_CUSTOM_DUMP_FLAGS, settings.hasCustomDumpFlags,
                            settings.customDumpFlags, errorText));
}
