#include "tests/ui/suggested_profile_store.h"

#include <gtest/gtest.h>

#include "app/suggested_profile.h"
#include "framework/app_object.h"

namespace suggested_store {

std::wstring SectionPath()
{
    return CurrentApp()->ProfileSectionPath(PROFILE_SECTION_SUGGESTED);
}

void DeleteSection()
{
    const std::wstring path = SectionPath();
    ASSERT_FALSE(path.empty());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
}

void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath().c_str(), 0, nullptr, 0,
                                               KEY_SET_VALUE, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    ::RegCloseKey(key);
}

void SetString(const wchar_t* name, const std::wstring& text)
{
    SetRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void SetDword(const wchar_t* name, DWORD value)
{
    SetRaw(name, REG_DWORD, &value, sizeof(value));
}

Value Get(const wchar_t* name)
{
    Value value;
    BYTE buffer[4096];
    DWORD size = sizeof(buffer);
    if (::RegGetValueW(HKEY_CURRENT_USER, SectionPath().c_str(), name, RRF_RT_ANY | RRF_NOEXPAND,
                       &value.type, buffer, &size) == ERROR_SUCCESS) {
        value.exists = true;
        value.data.assign(buffer, buffer + size);
    }
    return value;
}

std::wstring GetString(const wchar_t* name)
{
    const Value value = Get(name);
    if (!value.exists)
        return L"<missing>";
    if (value.type != REG_SZ)
        return L"<type " + std::to_wstring(value.type) + L">";
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

long long GetDword(const wchar_t* name)
{
    const Value value = Get(name);
    if (!value.exists || value.type != REG_DWORD || value.data.size() != 4)
        return -999999;
    DWORD number = 0;
    memcpy(&number, value.data.data(), 4);
    return static_cast<long long>(static_cast<LONG>(number));
}

} // namespace suggested_store
