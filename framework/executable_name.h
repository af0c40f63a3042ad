#pragma once
// The name of the running program as the user sees it: the executable's file name without its
// folder and without its extension ("C:\Tools\Kestrune.exe" gives "Kestrune").
#include <string>

std::wstring ExecutableBaseName();

// The same reduction applied to any path; exposed for the tests.
std::wstring BaseNameOfPath(const std::wstring& path);
