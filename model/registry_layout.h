#pragma once
// Where Windows Error Reporting keeps its local-dump settings, under HKEY_LOCAL_MACHINE. The values
// in the LocalDumps key are the global settings; each subkey, named after a process image name,
// holds the same values for that program only.

#define WER_KEY_PATH L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting"
#define LOCALDUMPS_KEY_PATH WER_KEY_PATH L"\\LocalDumps"

#define VALUE_DUMP_FOLDER L"DumpFolder"
#define VALUE_DUMP_TYPE L"DumpType"
#define VALUE_DUMP_COUNT L"DumpCount"
// The MINIDUMP_TYPE flags of a custom dump; read by Windows only while "DumpType" is 0.
#define VALUE_CUSTOM_DUMP_FLAGS L"CustomDumpFlags"

// Dump type codes.
#define DUMP_TYPE_CUSTOM 0u
#define DUMP_TYPE_MINI 1u
#define DUMP_TYPE_FULL 2u

// What Windows writes into a custom dump without "CustomDumpFlags": MiniDumpWithDataSegs |
// MiniDumpWithUnloadedModules | MiniDumpWithProcessThreadData.
#define DEFAULT_CUSTOM_DUMP_FLAGS 0x121u

// Subkey names are handled up to 255 characters; the enumeration buffer holds one more.
#define PROGRAM_KEY_NAME_CAPACITY 256
