#pragma once
// Walking the program keys: the subkeys of the LocalDumps key, in the order the registry lists them.
#include <windows.h>

#include <functional>
#include <string>

enum class EnumOutcome {
    Completed,   // every subkey was handed over (also when the LocalDumps key does not exist)
    KeyAbsent,   // the LocalDumps key does not exist; nothing was handed over
    OpenFailed,  // the LocalDumps key exists but cannot be opened for reading
    EnumFailed,  // the walk broke off; the subkeys before the break were handed over
};

struct EnumResult {
    EnumOutcome outcome;
    LONG code;  // the Win32 code of the failing call, else 0
};

// Calls `handle` with the open LocalDumps key and the name of each subkey.
EnumResult EnumerateProgramKeys(const std::function<void(HKEY localDumps, const wchar_t* name)>& handle);

// The path of a program's key below HKEY_LOCAL_MACHINE: the LocalDumps path, a backslash, the name.
std::wstring ProgramKeyPathFor(const wchar_t* processName);
