#include "model/native_folders.h"

#include <vector>

#include "app/platform_values.h"
#include "framework/system_calls.h"
#include "framework/unique_handles.h"

namespace {

const wchar_t* const CURRENT_VERSION_KEY = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// A REG_SZ value of the key, or "" when it is missing or of another type.
std::wstring ReadFolderValue(HKEY key, const wchar_t* name)
{
    std::vector<wchar_t> buffer(MAX_PATH * 4, L'\0');
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (Sys().RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::wstring();
    return std::wstring(buffer.data());
}

std::wstring ReadNativeFolder(const wchar_t* nativeName, const wchar_t* plainName)
{
    unique_hkey key;
    if (Sys().RegOpenKeyExW(HKEY_LOCAL_MACHINE, CURRENT_VERSION_KEY, 0, KEY_QUERY_VALUE | g_registryView,
                            key.put()) != ERROR_SUCCESS)
        return std::wstring();
    std::wstring folder = ReadFolderValue(key.get(), nativeName);
    return folder.empty() ? ReadFolderValue(key.get(), plainName) : folder;
}

typedef BOOL(WINAPI* RedirectionFn)(PVOID* oldValue);
typedef BOOL(WINAPI* RevertFn)(PVOID oldValue);

}  // namespace

std::wstring NativeProgramFilesFolder()
{
    return ReadNativeFolder(L"ProgramW6432Dir", L"ProgramFilesDir");
}

std::wstring NativeCommonFilesFolder()
{
    return ReadNativeFolder(L"CommonW6432Dir", L"CommonFilesDir");
}

NativeFileSystemScope::NativeFileSystemScope()
{
    if (g_osBitness != 1)
        return;
    if (FARPROC proc = Kernel32Function("Wow64DisableWow64FsRedirection"))
        m_disabled = reinterpret_cast<RedirectionFn>(reinterpret_cast<void*>(proc))(&m_oldValue) != FALSE;
}

NativeFileSystemScope::~NativeFileSystemScope()
{
    if (!m_disabled)
        return;
    const DWORD code = ::GetLastError();
    if (FARPROC proc = Kernel32Function("Wow64RevertWow64FsRedirection"))
        reinterpret_cast<RevertFn>(reinterpret_cast<void*>(proc))(m_oldValue);
    ::SetLastError(code);
}
