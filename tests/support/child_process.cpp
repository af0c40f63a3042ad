#include "tests/support/child_process.h"

#include <vector>

#include "app/platform_values.h"

int EncodePlatformValues()
{
    return ((g_osBitness + 1) & 3) | (g_notSupported ? 0x10 : 0) | (g_osWin7OrLater ? 0x20 : 0) |
           (g_registryView == KEY_WOW64_64KEY ? 0x100 : 0);
}

static std::wstring SelfPath()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring SelfExeName()
{
    std::wstring path = SelfPath();
    return path.substr(path.find_last_of(L"\\/") + 1);
}

int RunSelf(const std::wstring& arguments, DWORD timeoutMs)
{
    std::wstring command = L"\"" + SelfPath() + L"\" " + arguments;
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

void SetWineAppVersion(const std::wstring& exeName, const std::wstring& version)
{
    std::wstring path = L"Software\\Wine\\AppDefaults\\" + exeName;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (version.empty())
        RegDeleteValueW(key, L"Version");
    else
        RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                       static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}
