#include "tests/support/registry_fixture.h"

#include "framework/unique_handles.h"
#include "tests/support/seam_recorder.h"

namespace reg64 {

namespace {

HKEY Open(const std::wstring& path, REGSAM access)
{
    HKEY key = nullptr;
    if (Real().RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

}  // namespace

bool KeyExists(const std::wstring& path, REGSAM view)
{
    HKEY key = Open(path, KEY_READ | view);
    if (key)
        Real().RegCloseKey(key);
    return key != nullptr;
}

void CreateKey(const std::wstring& path)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Real().RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                                    KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr));
    Real().RegCloseKey(key);
}

void DeleteTree(const std::wstring& path)
{
    HKEY key = Open(path, KEY_ALL_ACCESS | KEY_WOW64_64KEY);
    if (!key)
        return;
    RegDeleteTreeW(key, nullptr);
    Real().RegCloseKey(key);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
}

void SetRaw(const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Real().RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                                    KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr));
    LONG code = Real().RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    Real().RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, code);
}

void SetString(const std::wstring& path, const std::wstring& name, const std::wstring& text, DWORD type)
{
    SetRaw(path, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void SetDword(const std::wstring& path, const std::wstring& name, DWORD value)
{
    SetRaw(path, name, REG_DWORD, &value, sizeof(value));
}

RawValue Get(const std::wstring& path, const std::wstring& name, REGSAM view)
{
    RawValue value;
    HKEY key = Open(path, KEY_READ | view);
    if (!key)
        return value;
    DWORD size = 0;
    if (Real().RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        if (Real().RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.data.data(), &size) ==
            ERROR_SUCCESS) {
            value.exists = true;
            value.data.resize(size);
        }
    }
    Real().RegCloseKey(key);
    return value;
}

std::wstring GetString(const std::wstring& path, const std::wstring& name)
{
    RawValue value = Get(path, name);
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

namespace {

// Collects the names an enumeration function hands out, index by index, until it fails.
template <typename EnumerateFn>
std::vector<std::wstring> Names(const std::wstring& path, EnumerateFn enumerate)
{
    std::vector<std::wstring> names;
    HKEY key = Open(path, KEY_READ | KEY_WOW64_64KEY);
    if (!key)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (enumerate(key, i, name, &length) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    Real().RegCloseKey(key);
    return names;
}

}  // namespace

std::vector<std::wstring> Subkeys(const std::wstring& path)
{
    return Names(path, [](HKEY key, DWORD i, wchar_t* name, DWORD* length) {
        return Real().RegEnumKeyExW(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

std::vector<std::wstring> ValueNames(const std::wstring& path)
{
    return Names(path, [](HKEY key, DWORD i, wchar_t* name, DWORD* length) {
        return RegEnumValueW(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

}  // namespace reg64

std::wstring ProgramKeyPath(const std::wstring& name)
{
    return std::wstring(LOCALDUMPS_KEY_PATH) + L"\\" + name;
}

void LocalDumpsTest::SetUp()
{
    reg64::DeleteTree(LOCALDUMPS_KEY_PATH);
    reg64::DeleteTree(LOCALDUMPS_KEY_PATH);  // the 32-bit view too, in case a test wrote there
    HKEY key = nullptr;
    if (Real().RegOpenKeyExW(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) ==
        ERROR_SUCCESS) {
        RegDeleteTreeW(key, nullptr);
        Real().RegCloseKey(key);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, KEY_WOW64_32KEY, 0);
    }
}

void LocalDumpsTest::TearDown()
{
    SetUp();
}

void StoreSampleConfiguration()
{
    reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"C:\\CrashDumps", REG_EXPAND_SZ);
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, 1);
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 10);
    reg64::SetDword(ProgramKeyPath(L"explorer.exe"), VALUE_DUMP_TYPE, 1);
    reg64::SetString(ProgramKeyPath(L"game.exe"), VALUE_DUMP_FOLDER, L"D:\\Dumps\\Game");
    reg64::SetDword(ProgramKeyPath(L"game.exe"), VALUE_DUMP_TYPE, 2);
    reg64::SetDword(ProgramKeyPath(L"game.exe"), VALUE_DUMP_COUNT, 3);
    reg64::SetDword(ProgramKeyPath(L"service.exe"), VALUE_DUMP_COUNT, 25);
}
