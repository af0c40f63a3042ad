#pragma once
// The settings records: one set of crash-dump settings, and the settings of one program.
#include <windows.h>

#include <string>

// One set of crash-dump settings. A setting that is not given is marked by its own flag only;
// the value beside a false flag is ignored by every comparison and never written.
struct DumpSettings {
    BOOL hasFolder = FALSE;
    std::wstring folder;      // as entered; environment references stay unexpanded
    BOOL hasDumpType = FALSE;
    DWORD dumpType = 0;       // DUMP_TYPE_* code
    BOOL hasDumpCount = FALSE;
    LONG dumpCount = 0;       // files kept before old ones are recycled
    BOOL hasCustomDumpFlags = FALSE;
    DWORD customDumpFlags = 0;  // MINIDUMP_TYPE flags; written only for a custom dump
    BOOL setAcl = FALSE;      // give the folder the dump-folder ACL at the next save; never stored

    // Nothing that would be written: no non-blank folder, no given type, no positive count.
    bool IsEmpty() const;
    // "DumpType" 0: Windows writes what the custom dump flags ask for.
    bool IsCustomDump() const;
    bool Equals(const DumpSettings& other) const;
};

// The settings of one program, keyed by its process image name ("file.exe").
struct ProgramEntry {
    std::wstring processName;
    DumpSettings settings;
    // The key this entry was read from, as stored; empty for an entry added in the window. Tells a
    // save that an entry whose name was changed comes from that key.
    std::wstring keyName;
    BOOL modified = FALSE;  // added or changed since the main window opened
    DWORD matched = 0;      // bit 0: paired with a stored key during a save

    // Process name (case-sensitive) and settings; the marks are not compared.
    bool Equals(const ProgramEntry& other) const;
};

const DWORD ENTRY_MATCHED = 0x1;

// Whether two records hold the same value of one setting: both not given, or both given alike.
// Folders compare without the white space around them, and an empty folder as one not given.
bool SameFolder(const DumpSettings& a, const DumpSettings& b);
bool SameDumpType(const DumpSettings& a, const DumpSettings& b);
bool SameDumpCount(const DumpSettings& a, const DumpSettings& b);
bool SameCustomDumpFlags(const DumpSettings& a, const DumpSettings& b);

// Whether the stored key must be rewritten to hold the desired entry's settings. An entry that asks
// for the folder ACL is always written, so that the folder and its ACL are set again.
bool NeedsWrite(const ProgramEntry& desired, const ProgramEntry& stored);

// The label of a dump type in the program list: "Custom dump", "Mini dump", "Full dump", or "<?>".
const wchar_t* DumpTypeLabel(DWORD code);
