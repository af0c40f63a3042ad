#pragma once
// The one seam between Kestrune and the registry, file-system, security and module-lookup calls
// of Windows. In the shipped program every entry points straight at the system function; a test
// may replace single entries to make one call fail with a chosen Win32 code, to count handles, or
// to make a function look absent. Code that needs one of these calls uses Sys().Name(...).
#include <windows.h>
#include <aclapi.h>

struct SystemCalls {
    // Registry
    decltype(&::RegOpenKeyExW) RegOpenKeyExW;
    decltype(&::RegCreateKeyExW) RegCreateKeyExW;
    decltype(&::RegCloseKey) RegCloseKey;
    decltype(&::RegQueryValueExW) RegQueryValueExW;
    decltype(&::RegSetValueExW) RegSetValueExW;
    decltype(&::RegDeleteValueW) RegDeleteValueW;
    decltype(&::RegDeleteKeyW) RegDeleteKeyW;
    decltype(&::RegEnumKeyExW) RegEnumKeyExW;
    decltype(&::RegEnumValueW) RegEnumValueW;
    decltype(&::RegQueryInfoKeyW) RegQueryInfoKeyW;
    decltype(&::RegCopyTreeW) RegCopyTreeW;

    // File system
    decltype(&::CreateDirectoryW) CreateDirectoryW;
    decltype(&::RemoveDirectoryW) RemoveDirectoryW;
    decltype(&::GetFileAttributesW) GetFileAttributesW;
    decltype(&::GetSystemDirectoryW) GetSystemDirectoryW;
    decltype(&::GetWindowsDirectoryW) GetWindowsDirectoryW;
    decltype(&::CreateFileW) CreateFileW;
    decltype(&::GetFileInformationByHandle) GetFileInformationByHandle;
    decltype(&::GetFinalPathNameByHandleW) GetFinalPathNameByHandleW;
    decltype(&::GetFileInformationByHandleEx) GetFileInformationByHandleEx;
    decltype(&::SetFileInformationByHandle) SetFileInformationByHandle;

    // Security
    BOOL(WINAPI* ConvertStringSecurityDescriptorToSecurityDescriptorW)(LPCWSTR, DWORD,
                                                                      PSECURITY_DESCRIPTOR*, PULONG);
    decltype(&::GetSecurityDescriptorDacl) GetSecurityDescriptorDacl;
    decltype(&::GetSecurityInfo) GetSecurityInfo;
    decltype(&::GetAce) GetAce;
    decltype(&::AddAce) AddAce;
    decltype(&::SetKernelObjectSecurity) SetKernelObjectSecurity;
    decltype(&::LocalFree) LocalFree;

    // Modules and system information
    decltype(&::GetModuleHandleW) GetModuleHandleW;
    decltype(&::GetModuleFileNameW) GetModuleFileNameW;
    decltype(&::LoadLibraryW) LoadLibraryW;
    decltype(&::FreeLibrary) FreeLibrary;
    decltype(&::GetProcAddress) GetProcAddress;
    decltype(&::GetNativeSystemInfo) GetNativeSystemInfo;
    decltype(&::GetVersionExW) GetVersionExW;
    decltype(&::FormatMessageW) FormatMessageW;
};

// The calls in force. Tests swap entries and put them back (see tests/support).
SystemCalls& Sys();

// The table bound to the system's own functions.
const SystemCalls& RealSystemCalls();
