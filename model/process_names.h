#pragma once
// Process names compared as the registry compares key names: character by character, with letter
// case folded by the system's simple upper-case table and no language rules. "straße.exe" and
// "strasse.exe" are two names, "App.exe" and "app.exe" one.
#include <string>

bool SameProcessName(const std::wstring& a, const std::wstring& b);

// Less than zero, zero or more than zero, in that comparison's order.
int CompareProcessNames(const std::wstring& a, const std::wstring& b);
