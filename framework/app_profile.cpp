// The application profile: small named values per section under
// HKEY_CURRENT_USER\Software\<profile key name>\<application name>.
#include <algorithm>
#include <vector>

#include "framework/app_object.h"
#include "framework/system_calls.h"
#include "framework/unique_handles.h"

namespace {

unique_hkey OpenSectionForReading(const std::wstring& path)
{
    unique_hkey key;
    if (path.empty())
        return key;
    if (Sys().RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        key.release();
    return key;
}

LONG CreateSectionForWriting(const std::wstring& path, unique_hkey& key)
{
    if (path.empty())
        return ERROR_FILE_NOT_FOUND;
    LONG status = Sys().RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                        key.put(), nullptr);
    if (status != ERROR_SUCCESS)
        key.release();
    return status;
}

BOOL Failed(LONG status)
{
    ::SetLastError(static_cast<DWORD>(status));
    return FALSE;
}

} // namespace

std::wstring CAppObject::ProfileSectionPath(const wchar_t* section) const
{
    if (m_profileKeyName.empty() || m_appName.empty())
        return std::wstring();
    std::wstring path = L"Software\\" + m_profileKeyName + L"\\" + m_appName;
    if (section && *section) {
        path += L"\\";
        path += section;
    }
    return path;
}

std::wstring CAppObject::GetProfileString(const wchar_t* section, const wchar_t* name,
                                          const wchar_t* defaultValue) const
{
    const std::wstring fallback = defaultValue ? defaultValue : L"";
    unique_hkey key = OpenSectionForReading(ProfileSectionPath(section));
    if (!key)
        return fallback;

    // The data may change size between the two queries; try a few times.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (Sys().RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return fallback;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return fallback;

        // Room for one more character than the data holds: stored text need not end with a NUL.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LONG status = Sys().RegQueryValueExW(key.get(), name, nullptr, &type,
                                                   reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return fallback;
        const size_t characters = (std::min)(static_cast<size_t>(bytes / sizeof(wchar_t)),
                                             buffer.size() - 1);
        std::wstring text(buffer.data(), characters);
        const size_t end = text.find(L'\0');
        if (end != std::wstring::npos)
            text.erase(end);
        return text;
    }
    return fallback;
}

int CAppObject::GetProfileInt(const wchar_t* section, const wchar_t* name, int defaultValue) const
{
    unique_hkey key = OpenSectionForReading(ProfileSectionPath(section));
    if (!key)
        return defaultValue;

    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (Sys().RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                               &size) != ERROR_SUCCESS)
        return defaultValue;
    // Only a number stored as a number counts: shorter data or a text of four bytes would give
    // a value nobody wrote.
    if (type != REG_DWORD || size != sizeof(value))
        return defaultValue;
    return static_cast<int>(value);
}

BOOL CAppObject::WriteProfileString(const wchar_t* section, const wchar_t* name, const wchar_t* value)
{
    unique_hkey key;
    LONG status = CreateSectionForWriting(ProfileSectionPath(section), key);
    if (status != ERROR_SUCCESS)
        return Failed(status);
    const std::wstring text = value ? value : L"";
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    status = Sys().RegSetValueExW(key.get(), name, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    return status == ERROR_SUCCESS ? TRUE : Failed(status);
}

BOOL CAppObject::WriteProfileInt(const wchar_t* section, const wchar_t* name, int value)
{
    unique_hkey key;
    LONG status = CreateSectionForWriting(ProfileSectionPath(section), key);
    if (status != ERROR_SUCCESS)
        return Failed(status);
    const DWORD data = static_cast<DWORD>(value);
    status = Sys().RegSetValueExW(key.get(), name, 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&data), sizeof(data));
    return status == ERROR_SUCCESS ? TRUE : Failed(status);
}
