#pragma once
// The two branches of a save. Each stops at its first failure with the message in errorText.
#include <string>
#include <vector>

#include "model/dump_settings.h"

// Deletes every program key and the global values, and the LocalDumps key itself when nothing the
// program does not manage is left in it.
bool ClearConfiguration(std::wstring& errorText);

// Writes the global key, then rewrites, deletes and adds program keys.
bool WriteConfiguration(const DumpSettings& global, std::vector<ProgramEntry>& entries, std::wstring& errorText);
