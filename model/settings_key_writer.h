#pragma once
// Writing one settings key in full: the key, its dump folder with the folder's ACL on request, and
// the three values (a setting that is not given is deleted).
#include <windows.h>

#include <string>

#include "model/dump_settings.h"

// keyPath is relative to HKEY_LOCAL_MACHINE. The order is fixed: key, folder, ACL, "DumpFolder",
// "DumpType", "DumpCount"; the first failure stops the write, keeps what was done before it and
// puts one complete message into errorText (left alone on success). The folder is created (only its
// last level) and secured where the text points with its environment references expanded; the
// value keeps the text as entered.
bool WriteSettingsKey(const wchar_t* keyPath, const DumpSettings& settings, std::wstring& errorText);
