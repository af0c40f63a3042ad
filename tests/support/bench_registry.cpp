#include "tests/support/bench_registry.h"

#include <cwchar>

#include "app/platform_values.h"
#include "framework/system_calls.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/stored_values.h"

double BenchSeconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring BenchProgramName(int i)
{
    wchar_t name[32];
    swprintf(name, 32, L"program%05d.exe", i);
    return name;
}

std::wstring BenchProgramPath(const std::wstring& name)
{
    return std::wstring(LOCALDUMPS_KEY_PATH) + L"\\" + name;
}

void DeleteLocalDumps()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, 0, KEY_ALL_ACCESS | g_registryView, &key) ==
        ERROR_SUCCESS) {
        ::RegDeleteTreeW(key, nullptr);
        ::RegCloseKey(key);
    }
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, g_registryView, 0);
}

void SetBenchValues(const SystemCalls& calls, HKEY key, const std::wstring& folder, DWORD type, DWORD count)
{
    calls.RegSetValueExW(key, VALUE_DUMP_FOLDER, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                         static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    calls.RegSetValueExW(key, VALUE_DUMP_TYPE, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&type), sizeof(type));
    calls.RegSetValueExW(key, VALUE_DUMP_COUNT, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                         sizeof(count));
}

void StoreProgramKeys(int count, const std::wstring& folder)
{
    DeleteLocalDumps();
    for (int i = 0; i < count; ++i) {
        HKEY key = nullptr;
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, BenchProgramPath(BenchProgramName(i)).c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS | g_registryView, nullptr, &key, nullptr);
        SetBenchValues(RealSystemCalls(), key, folder, 1, 5);
        ::RegCloseKey(key);
    }
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, 0, nullptr, 0, KEY_ALL_ACCESS | g_registryView,
                      nullptr, &key, nullptr);
    DWORD type = 1;
    ::RegSetValueExW(key, VALUE_DUMP_TYPE, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&type), sizeof(type));
    ::RegCloseKey(key);
}

void BareReadLoop(std::vector<std::wstring>& names)
{
    names.clear();
    HKEY root = nullptr;
    if (Sys().RegOpenKeyExW(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, 0, ReadAccess(), &root) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (Sys().RegEnumKeyExW(root, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY key = nullptr;
        if (Sys().RegOpenKeyExW(root, name, 0, ReadAccess(), &key) == ERROR_SUCCESS) {
            // Every value the program manages, each in one query into a buffer that holds a
            // folder of a full path (the store's common case).
            for (const wchar_t* value : MANAGED_VALUE_NAMES) {
                BYTE data[(MAX_PATH + 1) * sizeof(wchar_t)];
                DWORD type = REG_NONE;
                DWORD size = sizeof(data);
                Sys().RegQueryValueExW(key, value, nullptr, &type, data, &size);
            }
            Sys().RegCloseKey(key);
        }
        names.push_back(name);
    }
    Sys().RegCloseKey(root);
}
