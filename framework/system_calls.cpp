#include "framework/system_calls.h"

#include <sddl.h>

namespace {

FARPROC NtdllFunction(const char* name)
{
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll ? ::GetProcAddress(ntdll, name) : nullptr;
}

template <typename Fn>
Fn NtdllFunctionAs(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(NtdllFunction(name)));
}

LONG WINAPI DeleteOpenKey(HKEY key)
{
    typedef NTSTATUS(NTAPI * DeleteKeyFn)(HANDLE);
    typedef ULONG(NTAPI * StatusToErrorFn)(NTSTATUS);
    static const DeleteKeyFn deleteKey = NtdllFunctionAs<DeleteKeyFn>("NtDeleteKey");
    static const StatusToErrorFn toError = NtdllFunctionAs<StatusToErrorFn>("RtlNtStatusToDosError");
    if (!deleteKey || !toError)
        return ERROR_NOT_SUPPORTED;
    const NTSTATUS status = deleteKey(key);
    return status == 0 ? ERROR_SUCCESS : static_cast<LONG>(toError(status));
}

NTSTATUS NTAPI CreateFileNative(PHANDLE file, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes, PIO_STATUS_BLOCK io,
                                PLARGE_INTEGER size, ULONG fileAttributes, ULONG share, ULONG disposition,
                                ULONG options, PVOID ea, ULONG eaLength)
{
    typedef NTSTATUS(NTAPI * CreateFileFn)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                           PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
    static const CreateFileFn create = NtdllFunctionAs<CreateFileFn>("NtCreateFile");
    if (!create)
        return static_cast<NTSTATUS>(0xC0000002L);  // STATUS_NOT_IMPLEMENTED
    return create(file, access, attributes, io, size, fileAttributes, share, disposition, options, ea, eaLength);
}

}  // namespace

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
        DeleteOpenKey,
        ::CreateDirectoryW,
        ::RemoveDirectoryW,
        ::GetFileAttributesW,
        ::GetSystemDirectoryW,
        ::GetWindowsDirectoryW,
        ::CreateFileW,
        ::WriteFile,
        ::DeleteFileW,
        ::GetFileInformationByHandle,
        ::GetFinalPathNameByHandleW,
        ::GetFileInformationByHandleEx,
        ::SetFileInformationByHandle,
        CreateFileNative,
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
