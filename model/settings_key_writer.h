#pragma once
// Writing one settings key: the key, its dump folder with the folder's ACL on request, and each of
// the values that differs from what the key holds (a setting that is not given is deleted). The
// custom dump flags are written or deleted only for a custom dump; beside another type they stay.
#include <windows.h>

#include <string>

#include "model/dump_settings.h"

// keyPath is relative to HKEY_LOCAL_MACHINE. The order is fixed: key, folder, ACL, "DumpFolder",
// "DumpType", "DumpCount", "CustomDumpFlags"; the first failure stops the write, keeps what was
// done before it and puts one complete message into errorText (left alone on success). A value that reads as the
// desired setting already is left byte for byte. The folder is created (only its last level) and
// secured where the text points with its environment references expanded, whenever the folder
// value is written or the settings ask for the ACL; the value keeps the text as entered.
bool WriteSettingsKey(const wchar_t* keyPath, const DumpSettings& settings, std::wstring& errorText);
