#pragma once
// What the checks read, and how they name it. Every read goes through the seam and reports no
// failure: a key or value that cannot be read counts as absent.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/unique_handles.h"

// Opens a key for reading in a registry view (KEY_WOW64_64KEY, KEY_WOW64_32KEY or 0).
bool OpenKeyToCheck(HKEY root, const std::wstring& path, REGSAM view, unique_hkey& key);

// A REG_SZ or REG_EXPAND_SZ value as stored, up to its first NUL.
bool QueryTextValue(HKEY key, const wchar_t* name, std::wstring& text);

// The names of an open key's values and subkeys, in the order the registry lists them.
std::vector<std::wstring> ValueNamesOf(HKEY key);
std::vector<std::wstring> SubkeyNamesOf(HKEY key);

// " /reg:64" on a 64-bit Windows, for the reg commands that the explanations give; else nothing.
std::wstring RegViewSwitch();

// "a.exe, b.exe and c.exe": at most ten names, then "and N more".
std::wstring NameList(const std::vector<std::wstring>& names);

// Paragraphs of an explanation, as a read-only edit shows them.
extern const wchar_t* const PARAGRAPH;
