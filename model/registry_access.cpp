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

LONG RegOpenKeyAsItself(HKEY parent, const wchar_t* name, REGSAM access, unique_hkey& key)
{
    return Sys().RegOpenKeyExW(parent, name, REG_OPTION_OPEN_LINK, access | g_registryView, key.put());
}

LONG RegCheckLink(HKEY key, bool& link)
{
    DWORD type = REG_NONE;
    const LONG code = Sys().RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr);
    link = code == ERROR_SUCCESS && type == REG_LINK;
    return code == ERROR_SUCCESS || IsAbsent(code) ? ERROR_SUCCESS : code;
}

namespace {

// Opens the key that holds `path` (by its path, as every other operation does) and names the last
// part of the path, which the caller opens through that handle.
LONG OpenParentOf(const wchar_t* path, unique_hkey& parent, std::wstring& leaf)
{
    const std::wstring full(path);
    const size_t split = full.rfind(L'\\');
    const std::wstring parentPath = split == std::wstring::npos ? std::wstring() : full.substr(0, split);
    leaf = split == std::wstring::npos ? full : full.substr(split + 1);
    return OpenKey(HKEY_LOCAL_MACHINE, parentPath.c_str(), ReadAccess(), parent);
}

// The path of the first registry link in the tree of an open key (the key itself included),
// every key opened as itself; `found` stays empty when there is none.
LONG FindLink(HKEY key, const std::wstring& path, std::wstring& found)
{
    bool link = false;
    LONG code = RegCheckLink(key, link);
    if (code != ERROR_SUCCESS || link) {
        found = link ? path : found;
        return code;
    }
    std::vector<std::wstring> subkeys;
    code = RegEnumSubkeys(key, [&subkeys](const wchar_t* name) { subkeys.emplace_back(name); });
    for (size_t i = 0; code == ERROR_SUCCESS && found.empty() && i < subkeys.size(); ++i) {
        unique_hkey child;
        code = RegOpenKeyAsItself(key, subkeys[i].c_str(), KEY_READ, child);
        if (code == ERROR_SUCCESS)
            code = FindLink(child.get(), path + L"\\" + subkeys[i], found);
        else if (IsAbsent(code))
            code = ERROR_SUCCESS;  // gone meanwhile
    }
    return code;
}

// The key `name` below the open `parent` with everything below it, deepest first, each deleted
// through its own handle, opened through its parent's. Every key is opened as itself, so a link
// goes as the link; a link holds no subkeys, so nothing behind it is ever reached.
LONG DeleteKeyTree(HKEY parent, const std::wstring& name)
{
    unique_hkey key;
    LONG code = RegOpenKeyAsItself(parent, name.c_str(), KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE, key);
    if (code != ERROR_SUCCESS)
        return code;
    // All listed before any is deleted: a deletion during the walk would shift the indexes.
    std::vector<std::wstring> subkeys;
    code = RegEnumSubkeys(key.get(), [&subkeys](const wchar_t* subkey) { subkeys.emplace_back(subkey); });
    for (size_t i = 0; code == ERROR_SUCCESS && i < subkeys.size(); ++i) {
        code = DeleteKeyTree(key.get(), subkeys[i]);
        if (IsAbsent(code))
            code = ERROR_SUCCESS;
    }
    return code == ERROR_SUCCESS ? Sys().NtDeleteKey(key.get()) : code;
}

// Without RegDeleteKeyExW a key cannot be deleted in the other view.
bool HasDeletionInView(std::wstring& errorText)
{
    if (g_pfnRegDeleteKeyEx || g_registryView == 0)
        return true;
    errorText = L"Required 64-bit API is missing";
    return false;
}

DWORD ReportDeletion(const wchar_t* path, LONG code, std::wstring& errorText)
{
    if (code == ERROR_SUCCESS || IsAbsent(code))
        return ERROR_SUCCESS;
    errorText = FormatText(L"ERROR: Failed to remove registry key.\nHKLM\\%s\n\n(%d) %s", path, static_cast<int>(code),
                           ErrorText(static_cast<DWORD>(code)).c_str());
    return static_cast<DWORD>(code);
}

}  // namespace

LONG RegCopySettingsKey(const wchar_t* from, const wchar_t* to, std::wstring& link, bool& madeNew)
{
    link.clear();
    madeNew = false;
    unique_hkey parent;
    std::wstring leaf;
    LONG code = OpenParentOf(from, parent, leaf);
    unique_hkey source;
    if (code == ERROR_SUCCESS)
        code = RegOpenKeyAsItself(parent.get(), leaf.c_str(), KEY_READ, source);
    if (code == ERROR_SUCCESS)
        code = FindLink(source.get(), from, link);
    if (code != ERROR_SUCCESS || !link.empty())
        return code;

    unique_hkey target;
    DWORD disposition = 0;
    code = Sys().RegCreateKeyExW(HKEY_LOCAL_MACHINE, to, 0, nullptr, REG_OPTION_NON_VOLATILE, WriteAccess(), nullptr,
                                 target.put(), &disposition);
    if (code != ERROR_SUCCESS)
        return code;
    madeNew = disposition == REG_CREATED_NEW_KEY;
    return Sys().RegCopyTreeW(source.get(), nullptr, target.get());
}

DWORD RegDeleteSettingsKey(const wchar_t* path, std::wstring& errorText)
{
    if (!HasDeletionInView(errorText))
        return ERROR_NOT_SUPPORTED;
    unique_hkey parent;
    std::wstring leaf;
    LONG code = OpenParentOf(path, parent, leaf);
    if (code == ERROR_SUCCESS)
        code = DeleteKeyTree(parent.get(), leaf);
    return ReportDeletion(path, code, errorText);
}

DWORD RegDeleteEmptySettingsKey(const wchar_t* path, std::wstring& errorText)
{
    if (!HasDeletionInView(errorText))
        return ERROR_NOT_SUPPORTED;
    const LONG code = g_pfnRegDeleteKeyEx ? g_pfnRegDeleteKeyEx(HKEY_LOCAL_MACHINE, path, g_registryView, 0)
                                          : Sys().RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
    return ReportDeletion(path, code, errorText);
}
