#include "model/checks/check_reads.h"

#include <sddl.h>

#include "app/platform_values.h"
#include "framework/system_calls.h"
#include "model/registry_access.h"
#include "model/text_utils.h"

namespace {

const size_t NAMES_LISTED = 10;
const DWORD VALUE_NAME_CAPACITY = 16384;  // the longest value name the registry allows, and one

}  // namespace

const wchar_t* const PARAGRAPH = L"\r\n\r\n";

bool OpenKeyToCheck(HKEY root, const std::wstring& path, REGSAM view, unique_hkey& key)
{
    return Sys().RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

bool QueryTextValue(HKEY key, const wchar_t* name, std::wstring& text)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (Sys().RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD capacity = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (Sys().RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &capacity) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    text = buffer.substr(0, buffer.find(L'\0'));
    return true;
}

std::vector<std::wstring> ValueNamesOf(HKEY key)
{
    std::vector<std::wstring> names;
    std::vector<wchar_t> name(VALUE_NAME_CAPACITY);
    for (DWORD index = 0;; ++index) {
        DWORD length = VALUE_NAME_CAPACITY;
        if (Sys().RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

std::vector<std::wstring> SubkeyNamesOf(HKEY key)
{
    std::vector<std::wstring> names;
    RegEnumSubkeys(key, [&names](const wchar_t* name) { names.push_back(name); });
    return names;
}

std::wstring RegViewSwitch()
{
    return g_osBitness == 1 ? L" /reg:64" : L"";
}

std::wstring NameList(const std::vector<std::wstring>& names)
{
    const size_t shown = names.size() > NAMES_LISTED ? NAMES_LISTED : names.size();
    std::wstring list;
    for (size_t i = 0; i < shown; ++i) {
        if (i > 0)
            list += (i + 1 == shown && names.size() == shown) ? L" and " : L", ";
        list += names[i];
    }
    if (names.size() > shown)
        list += FormatText(L" and %d more", static_cast<int>(names.size() - shown));
    return list;
}
