#pragma once
// Runs the calling thread under the application manifest of another program (Kestrune.exe), so
// that the windows it makes use the same common-controls version as that program's.
#include <string>

bool ActivateManifestOf(const std::wstring& program);
