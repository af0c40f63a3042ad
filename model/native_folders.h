#pragma once
// The folders as the native error reporting service sees them. Kestrune is a 32-bit program: on a
// 64-bit Windows its environment names the 32-bit program-files folders, and its file calls under
// System32 are redirected to SysWOW64, while the service expands and writes in the 64-bit world.
#include <windows.h>

#include <string>

// The native program-files folders as the system records them (not as the process environment
// says, which a caller can change): "ProgramW6432Dir" / "CommonW6432Dir", or where a system lacks
// those, "ProgramFilesDir" / "CommonFilesDir", under HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion
// in the registry view of the dump settings (the 64-bit one on a 64-bit Windows). Empty when the
// value cannot be read.
std::wstring NativeProgramFilesFolder();
std::wstring NativeCommonFilesFolder();

// For its lifetime, file calls of this thread reach the native System32 instead of SysWOW64 (under
// WOW64 only; elsewhere it does nothing).
class NativeFileSystemScope {
public:
    NativeFileSystemScope();
    ~NativeFileSystemScope();
    NativeFileSystemScope(const NativeFileSystemScope&) = delete;
    NativeFileSystemScope& operator=(const NativeFileSystemScope&) = delete;

private:
    void* m_oldValue = nullptr;
    bool m_disabled = false;
};

// Runs one file-system call in the native file system and hands its result through; the call's
// last error survives.
template <typename Call>
auto InNativeFileSystem(Call call) -> decltype(call())
{
    NativeFileSystemScope native;
    return call();
}
