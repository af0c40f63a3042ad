#include "framework/system_calls.h"

#include <sddl.h>

const SystemCalls& RealSystemCalls()
{
    static const SystemCalls real = {
        ::RegOpenKeyExW,
        ::RegCreateKeyExW,
        ::RegCloseKey,
        ::RegQueryValueExW,
        ::RegSetValueExW,
        ::RegDeleteValueW,
        ::RegDeleteKeyW,
        ::RegEnumKeyExW,
        ::RegEnumValueW,
        ::RegQueryInfoKeyW,
        ::RegCopyTreeW,
        ::CreateDirectoryW,
        ::RemoveDirectoryW,
        ::GetFileAttributesW,
        ::GetSystemDirectoryW,
        ::GetWindowsDirectoryW,
        ::CreateFileW,
        ::GetFileInformationByHandle,
        ::GetFinalPathNameByHandleW,
        ::GetFileInformationByHandleEx,
        ::SetFileInformationByHandle,
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW,
        ::GetSecurityDescriptorDacl,
        ::GetSecurityInfo,
        ::GetAce,
        ::AddAce,
        ::SetKernelObjectSecurity,
        ::LocalFree,
        ::GetModuleHandleW,
        ::GetModuleFileNameW,
        ::LoadLibraryW,
        ::FreeLibrary,
        ::GetProcAddress,
        ::GetNativeSystemInfo,
        ::GetVersionExW,
        ::FormatMessageW,
    };
    return real;
}

SystemCalls& Sys()
{
    static SystemCalls current = RealSystemCalls();
    return current;
}
