#pragma once
// The MINIDUMP_TYPE flags that make sense for a crash dump, as the contents dialog of a custom dump
// offers them: each with a short name and one line on what it adds and what it costs in size.
#include <windows.h>

#include <string>

struct CustomDumpFlag {
    DWORD bit;
    const wchar_t* name;
    const wchar_t* effect;
};

extern const CustomDumpFlag CUSTOM_DUMP_FLAGS[];
extern const size_t CUSTOM_DUMP_FLAG_COUNT;

// The bits of the table; every other bit of a stored value is kept as it is.
DWORD KnownCustomDumpFlags();

// The flags after the user's choice: the checked known bits, and the unknown bits of `original`.
DWORD ChooseCustomDumpFlags(DWORD original, DWORD checkedKnownBits);

// The line under the list: the value, whether it is Windows' default and not stored, and the
// unknown bits that are kept.
std::wstring CustomDumpFlagsText(DWORD flags, bool stored);
