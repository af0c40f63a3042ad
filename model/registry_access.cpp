#include "model/registry_access.h"

#include <cwchar>
#include <functional>
#include <vector>

#include "app/optional_apis.h"
#include "app/platform_values.h"
#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "model/error_text.h"
#include "model/registry_layout.h"
#include "model/text_utils.h"

namespace {

// Leaves the code as the last error and hands the verdict through.
bool Report(LONG code, bool result)
{
    ::SetLastError(static_cast<DWORD>(code));
    return result;
}

// Closes the key without letting the close disturb the last error of the call before it.
bool KeepLastErrorOver(unique_hkey& key, bool result)
{
    DWORD code = ::GetLastError();
    key.reset();
    ::SetLastError(code);
    return result;
}

bool IsFolderType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

LONG OpenKey(HKEY parent, const wchar_t* path, REGSAM access, unique_hkey& key)
{
    return Sys().RegOpenKeyExW(parent, path, 0, access, key.put());
}

LONG CreateKey(const wchar_t* path, unique_hkey& key, REGSAM access = WriteAccess())
{
    return Sys().RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                 key.put(), nullptr);
}

// Reads the folder text from an open key, in two steps: learn type and size, then read.
LONG QueryDumpFolder(HKEY key, std::wstring& folder, bool& found)
{
    found = false;
    DWORD type = REG_NONE;
    BYTE probe = 0;
    DWORD size = 0;
    LONG code = Sys().RegQueryValueExW(key, VALUE_DUMP_FOLDER, nullptr, &type, &probe, &size);
    if (code != ERROR_MORE_DATA)
        return code;  // 0 here means a value of zero bytes: not given
    if (!IsFolderType(type))
        return ERROR_BAD_DEV_TYPE;

    std::vector<wchar_t> buffer(size / 2 + 1, L'\0');
    DWORD firstSize = size;
    DWORD capacity = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    code = Sys().RegQueryValueExW(key, VALUE_DUMP_FOLDER, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                                  &capacity);
    if (code != ERROR_SUCCESS)
        return code;
    if (!IsFolderType(type) || capacity > firstSize)
        return ERROR_INVALID_DATA;

    // The text ends at its first NUL, or with the data when it holds none.
    size_t characters = capacity / sizeof(wchar_t);
    size_t length = 0;
    while (length < characters && buffer[length] != L'\0')
        ++length;
    folder.assign(buffer.data(), length);
    found = true;
    return ERROR_SUCCESS;
}

}  // namespace

REGSAM ReadAccess()
{
    return KEY_READ | g_registryView;
}

REGSAM WriteAccess()
{
    return KEY_WRITE | g_registryView;
}

REGSAM ReadWriteAccess()
{
    return KEY_READ | KEY_WRITE | g_registryView;
}

bool IsAbsent(LONG code)
{
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

LONG RegOpenSettingsKey(HKEY parent, const wchar_t* path, REGSAM access, unique_hkey& key)
{
    return OpenKey(parent, path, access, key);
}

LONG RegCreateSettingsKey(const wchar_t* path, unique_hkey& key)
{
    return CreateKey(path, key, ReadWriteAccess());
}

bool RegQueryDword(HKEY key, const wchar_t* name, DWORD& value)
{
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof(data);
    LONG code = Sys().RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (code != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data))
        return Report(code, false);
    value = data;
    return Report(code, true);
}

bool RegQueryDumpFolder(HKEY key, std::wstring& folder)
{
    bool found = false;
    LONG code = QueryDumpFolder(key, folder, found);
    return Report(code, found);
}

bool RegReadDword(HKEY parent, const wchar_t* path, const wchar_t* name, DWORD& value)
{
    unique_hkey key;
    LONG code = OpenKey(parent, path, ReadAccess(), key);
    if (code != ERROR_SUCCESS)
        return Report(code, false);
    bool read = RegQueryDword(key.get(), name, value);
    return KeepLastErrorOver(key, read);
}

bool RegReadDumpFolder(HKEY parent, const wchar_t* path, std::wstring& folder)
{
    unique_hkey key;
    LONG code = OpenKey(parent, path, ReadAccess(), key);
    if (code != ERROR_SUCCESS)
        return Report(code, false);
    bool read = RegQueryDumpFolder(key.get(), folder);
    return KeepLastErrorOver(key, read);
}

bool RegCountKeyContents(const wchar_t* path, DWORD& subkeys, DWORD& values)
{
    subkeys = 0;
    values = 0;
    unique_hkey key;
    LONG code = OpenKey(HKEY_LOCAL_MACHINE, path, ReadAccess(), key);
    if (IsAbsent(code))
        return Report(code, true);
    if (code != ERROR_SUCCESS)
        return Report(code, false);

    DWORD subkeyCount = 0;
    DWORD valueCount = 0;
    code = Sys().RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr, &valueCount,
                                  nullptr, nullptr, nullptr, nullptr);
    key.reset();
    if (code == ERROR_SUCCESS) {
        subkeys = subkeyCount;
        values = valueCount;
    }
    return Report(code, code == ERROR_SUCCESS);
}

bool HasEnvironmentReference(const wchar_t* text)
{
    const wchar_t* open = ::wcschr(text, L'%');
    while (open) {
        const wchar_t* close = ::wcschr(open + 1, L'%');
        if (!close)
            return false;
        if (close > open + 1)
            return true;
        open = close;  // "%%" names nothing: the second one may open a reference
    }
    return false;
}

bool RegSetDumpFolder(HKEY key, const wchar_t* folder)
{
    DWORD bytes = static_cast<DWORD>((::lstrlenW(folder) + 1) * sizeof(wchar_t));
    // Windows Error Reporting expands a REG_EXPAND_SZ folder; a reference in a REG_SZ would be
    // taken literally by readers that honour the type.
    DWORD type = HasEnvironmentReference(folder) ? REG_EXPAND_SZ : REG_SZ;
    LONG code = Sys().RegSetValueExW(key, VALUE_DUMP_FOLDER, 0, type, reinterpret_cast<const BYTE*>(folder), bytes);
    return Report(code, code == ERROR_SUCCESS);
}

bool RegSetDword(HKEY key, const wchar_t* name, DWORD value)
{
    LONG code = Sys().RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    return Report(code, code == ERROR_SUCCESS);
}

bool RegRemoveValue(HKEY key, const wchar_t* name)
{
    LONG code = Sys().RegDeleteValueW(key, name);
    return Report(code, code == ERROR_SUCCESS || IsAbsent(code));
}

bool RegWriteDumpFolder(const wchar_t* path, const wchar_t* folder)
{
    unique_hkey key;
    LONG code = CreateKey(path, key);
    if (code != ERROR_SUCCESS)
        return Report(code, false);
    bool written = RegSetDumpFolder(key.get(), folder);
    return KeepLastErrorOver(key, written);
}

LONG RegEnumSubkeys(HKEY key, const std::function<void(const wchar_t* name)>& handle)
{
    LONG code;
    for (DWORD index = 0;; ++index) {
        wchar_t name[PROGRAM_KEY_NAME_CAPACITY];
        DWORD capacity = PROGRAM_KEY_NAME_CAPACITY;
        code = Sys().RegEnumKeyExW(key, index, name, &capacity, nullptr, nullptr, nullptr, nullptr);
        name[PROGRAM_KEY_NAME_CAPACITY - 1] = L'\0';
        if (code != ERROR_SUCCESS)
            break;
        handle(name);
    }
    return code == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : code;
}

bool RegCopySettingsKey(const wchar_t* from, const wchar_t* to)
{
    unique_hkey source;
    LONG code = OpenKey(HKEY_LOCAL_MACHINE, from, ReadAccess(), source);
    if (code != ERROR_SUCCESS)
        return Report(code, false);
    unique_hkey target;
    code = CreateKey(to, target);
    if (code == ERROR_SUCCESS)
        code = Sys().RegCopyTreeW(source.get(), nullptr, target.get());
    return Report(code, code == ERROR_SUCCESS);
}

bool RegWriteDword(const wchar_t* path, const wchar_t* name, DWORD value)
{
    unique_hkey key;
    LONG code = CreateKey(path, key);
    if (code != ERROR_SUCCESS)
        return Report(code, false);
    bool written = RegSetDword(key.get(), name, value);
    return KeepLastErrorOver(key, written);
}

bool RegDeleteSettingValue(const wchar_t* path, const wchar_t* name)
{
    unique_hkey key;
    LONG code = OpenKey(HKEY_LOCAL_MACHINE, path, WriteAccess(), key);
    if (IsAbsent(code))
        return Report(code, true);
    if (code != ERROR_SUCCESS)
        return Report(code, false);
    bool removed = RegRemoveValue(key.get(), name);
    return KeepLastErrorOver(key, removed);
}

namespace {

// Deletes one key that has no subkeys, in the platform's view.
LONG DeleteOneKey(const std::wstring& path)
{
    if (g_pfnRegDeleteKeyEx)
        return g_pfnRegDeleteKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), g_registryView, 0);
    return Sys().RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
}

// The names of a key's subkeys, all listed before any is deleted, since a deletion during the walk
// would shift the indexes.
LONG ListSubkeys(const std::wstring& path, std::vector<std::wstring>& names)
{
    unique_hkey key;
    LONG code = OpenKey(HKEY_LOCAL_MACHINE, path.c_str(), ReadAccess(), key);
    if (code != ERROR_SUCCESS)
        return code;
    return RegEnumSubkeys(key.get(), [&names](const wchar_t* name) { names.emplace_back(name); });
}

// A key with everything below it, deepest first; the registry deletes a key's values with it.
LONG DeleteKeyTree(const std::wstring& path)
{
    std::vector<std::wstring> subkeys;
    LONG code = ListSubkeys(path, subkeys);
    if (code != ERROR_SUCCESS && !IsAbsent(code))
        return code;
    for (const std::wstring& name : subkeys) {
        code = DeleteKeyTree(path + L"\\" + name);
        if (code != ERROR_SUCCESS && !IsAbsent(code))
            return code;
    }
    return DeleteOneKey(path);
}

}  // namespace

DWORD RegDeleteSettingsKey(const wchar_t* path, std::wstring& errorText)
{
    // Without RegDeleteKeyExW a key cannot be deleted in the other view.
    if (!g_pfnRegDeleteKeyEx && g_registryView != 0) {
        errorText = L"Required 64-bit API is missing";
        return ERROR_NOT_SUPPORTED;
    }

    LONG code = DeleteKeyTree(path);
    if (code == ERROR_SUCCESS || IsAbsent(code))
        return ERROR_SUCCESS;
    errorText = FormatText(L"ERROR: Failed to remove registry key.\nHKLM\\%s\n\n(%d) %s", path, static_cast<int>(code),
                           ErrorText(static_cast<DWORD>(code)).c_str());
    return static_cast<DWORD>(code);
}
