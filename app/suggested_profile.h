#pragma once
// The suggested settings, kept in the per-user application profile under "Settings\Suggested" and
// seeded with built-in defaults at every start.
#include <windows.h>

#include <string>

#define PROFILE_SECTION_SETTINGS L"Settings"
#define PROFILE_SECTION_SUGGESTED L"Settings\\Suggested"

struct SuggestedSettings {
    std::wstring folder;  // environment references allowed, kept unexpanded
    LONG dumpCount = 0;
    LONG dumpType = 0;
    LONG setAcl = 0;      // nonzero: check the set-ACL box
};

// <drive of the Windows directory>:\CrashDumps, 100 files, full dumps, ACL on.
SuggestedSettings BuiltInSuggestedDefaults();

// Reads each suggested value with its default and writes it back, so that a first run creates
// them and later runs keep what the user set.
void InitSuggestedProfile();

SuggestedSettings ReadSuggestedSettings();
