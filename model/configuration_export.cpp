#include "model/configuration_export.h"

#include <cstring>

#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "model/error_text.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/text_utils.h"

namespace {

const DWORD VALUE_NAME_CAPACITY = 16384;  // the registry's longest value name and its NUL
const size_t HEX_LINE_WIDTH = 76;         // hex data wraps after this column, as registry files do
const wchar_t* const MACHINE_ROOT = L"HKEY_LOCAL_MACHINE\\";
const wchar_t* const MSG_READ_FAILED = L"ERROR: Failed to read registry key for export:\nHKLM\\%s\n\n(%d) %s";
const wchar_t* const MSG_LINK =
    L"ERROR: Cannot export a registry link:\nHKLM\\%s\n\n"
    L"Nothing was written. A registry file cannot hold a link: remove it, or put a key of its own in its place.";
const wchar_t* const MSG_WRITE_FAILED = L"ERROR: Failed to write export file:\n\n%s\n\n(%d) %s";

bool FailOnKey(std::wstring& errorText, const std::wstring& path, LONG code)
{
    errorText = FormatText(MSG_READ_FAILED, path.c_str(), static_cast<int>(code),
                           ErrorText(static_cast<DWORD>(code)).c_str());
    ::SetLastError(static_cast<DWORD>(code));
    return false;
}

// One value by index: the size first, then the bytes; a value that grows in between is asked for
// again, a few times.
LONG ReadValueAt(HKEY key, DWORD index, std::vector<wchar_t>& name, ExportedValue& value)
{
    std::vector<BYTE> data;
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD nameLength = VALUE_NAME_CAPACITY;
        DWORD size = static_cast<DWORD>(data.size());
        const bool learning = data.empty();
        LONG code = Sys().RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &value.type,
                                        learning ? nullptr : data.data(), &size);
        if (code == ERROR_MORE_DATA || (code == ERROR_SUCCESS && learning && size > 0)) {
            data.assign(size, 0);
            continue;
        }
        if (code != ERROR_SUCCESS)
            return code;
        data.resize(size);
        value.name.assign(name.data(), nameLength);
        value.data = std::move(data);
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

bool ReadKey(HKEY key, const std::wstring& path, ExportedKey& tree, std::wstring& errorText)
{
    tree.path = path;
    std::vector<wchar_t> name(VALUE_NAME_CAPACITY, L'\0');
    for (DWORD index = 0;; ++index) {
        ExportedValue value;
        const LONG code = ReadValueAt(key, index, name, value);
        if (code == ERROR_NO_MORE_ITEMS)
            break;
        if (code != ERROR_SUCCESS)
            return FailOnKey(errorText, path, code);
        tree.values.push_back(std::move(value));
    }

    std::vector<std::wstring> names;
    const LONG code = RegEnumSubkeys(key, [&names](const wchar_t* subkey) { names.emplace_back(subkey); });
    if (code != ERROR_SUCCESS)
        return FailOnKey(errorText, path, code);
    for (const std::wstring& subkeyName : names) {
        const std::wstring subkeyPath = path + L"\\" + subkeyName;
        // Each key is opened as itself: a registry link below LocalDumps would lead the export
        // elsewhere in the registry (or round in a circle), and a registry file cannot hold one.
        unique_hkey subkey;
        bool link = false;
        LONG opened = RegOpenKeyAsItself(key, subkeyName.c_str(), KEY_READ, subkey);
        if (opened == ERROR_SUCCESS)
            opened = RegCheckLink(subkey.get(), link);
        if (opened != ERROR_SUCCESS)
            return FailOnKey(errorText, subkeyPath, opened);
        if (link) {
            errorText = FormatText(MSG_LINK, subkeyPath.c_str());
            return false;
        }
        tree.subkeys.emplace_back();
        if (!ReadKey(subkey.get(), subkeyPath, tree.subkeys.back(), errorText))
            return false;
    }
    return true;
}

// A name or a text between double quotes, with backslashes and quotes escaped.
std::wstring Quoted(const std::wstring& text)
{
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"')
            quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

// A REG_SZ that the quoted form gives back byte for byte: one text, one closing NUL, no line break.
bool IsPlainString(const ExportedValue& value, std::wstring& text)
{
    const size_t size = value.data.size();
    if (value.type != REG_SZ || size < sizeof(wchar_t) || size % sizeof(wchar_t) != 0)
        return false;
    text.assign(size / sizeof(wchar_t), L'\0');
    std::memcpy(&text[0], value.data.data(), size);
    if (text.back() != L'\0')
        return false;
    text.pop_back();
    return text.find_first_of(std::wstring(L"\0\r\n", 3)) == std::wstring::npos;
}

// "hex(N):" and the bytes, wrapped with a backslash at the end of each full line.
std::wstring HexValue(const std::wstring& prefix, const std::vector<BYTE>& data)
{
    std::wstring text = prefix;
    size_t lineStart = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        text += FormatText(L"%02x", data[i]);
        if (i + 1 == data.size())
            break;
        text += L',';
        if (text.size() - lineStart >= HEX_LINE_WIDTH) {
            text += L"\\\r\n  ";
            lineStart = text.size() - 2;
        }
    }
    return text;
}

std::wstring ValueLine(const ExportedValue& value)
{
    const std::wstring name = value.name.empty() ? L"@=" : Quoted(value.name) + L"=";
    std::wstring text;
    if (IsPlainString(value, text))
        return name + Quoted(text);
    if (value.type == REG_DWORD && value.data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, value.data.data(), sizeof(number));
        return name + FormatText(L"dword:%08x", number);
    }
    const std::wstring type = value.type == REG_BINARY ? L"hex:" : FormatText(L"hex(%x):", value.type);
    return HexValue(name + type, value.data);
}

void AppendKey(const ExportedKey& key, std::wstring& text)
{
    text += L"[" + std::wstring(MACHINE_ROOT) + key.path + L"]\r\n";
    for (const ExportedValue& value : key.values)
        text += ValueLine(value) + L"\r\n";
    text += L"\r\n";
    for (const ExportedKey& subkey : key.subkeys)
        AppendKey(subkey, text);
}

}  // namespace

bool ReadConfigurationTree(ExportedKey& tree, bool& exists, std::wstring& errorText)
{
    exists = false;
    tree = ExportedKey();
    unique_hkey key;
    const LONG code = RegOpenSettingsKey(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, ReadAccess(), key);
    if (IsAbsent(code))
        return true;
    if (code != ERROR_SUCCESS)
        return FailOnKey(errorText, LOCALDUMPS_KEY_PATH, code);
    exists = true;
    return ReadKey(key.get(), LOCALDUMPS_KEY_PATH, tree, errorText);
}

std::wstring FormatRegistryFile(const ExportedKey* tree)
{
    std::wstring text = L"Windows Registry Editor Version 5.00\r\n\r\n";
    text += L"; Windows Error Reporting local dump settings, exported by Kestrune.\r\n";
    text += L"; Import as administrator with: reg import <file> /reg:64\r\n";
    text += L"; The first entry deletes the LocalDumps key, so that the machine ends with exactly these "
            L"settings.\r\n\r\n";
    text += L"[-" + std::wstring(MACHINE_ROOT) + LOCALDUMPS_KEY_PATH + L"]\r\n\r\n";
    if (tree)
        AppendKey(*tree, text);
    return text;
}

bool WriteRegistryFile(const std::wstring& path, const std::wstring& text, std::wstring& errorText)
{
    const std::wstring content = L"\xFEFF" + text;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(content.data());
    DWORD left = static_cast<DWORD>(content.size() * sizeof(wchar_t));

    const HANDLE opened =
        Sys().CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD code = opened == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
    if (opened != INVALID_HANDLE_VALUE) {
        unique_hfile file(opened);
        while (left > 0) {
            DWORD written = 0;
            if (!Sys().WriteFile(file.get(), bytes, left, &written, nullptr)) {
                code = ::GetLastError();
                break;
            }
            if (written == 0) {
                code = ERROR_WRITE_FAULT;
                break;
            }
            bytes += written;
            left -= written;
        }
        file.reset();
        // A file cut short would import half a configuration: it goes.
        if (code != ERROR_SUCCESS)
            Sys().DeleteFileW(path.c_str());
    }
    if (code == ERROR_SUCCESS)
        return true;
    errorText = FormatText(MSG_WRITE_FAILED, path.c_str(), static_cast<int>(code), ErrorText(code).c_str());
    ::SetLastError(code);
    return false;
}

bool ExportConfiguration(const std::wstring& path, std::wstring& errorText)
{
    ExportedKey tree;
    bool exists = false;
    if (!ReadConfigurationTree(tree, exists, errorText))
        return false;
    return WriteRegistryFile(path, FormatRegistryFile(exists ? &tree : nullptr), errorText);
}
