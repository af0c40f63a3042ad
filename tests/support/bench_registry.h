#pragma once
// What the benchmarks share: a clock, a registry filled with many program keys, and the bare loop of
// only the registry calls that reading them needs, to compare the program's own work with.
#include <windows.h>

#include <string>
#include <vector>

double BenchSeconds();

std::wstring BenchProgramName(int i);  // "program00042.exe"
std::wstring BenchProgramPath(const std::wstring& name);

// Removes the whole LocalDumps key, in the platform's registry view.
void DeleteLocalDumps();

// Writes the three values into an open key through the given calls.
void SetBenchValues(const struct SystemCalls& calls, HKEY key, const std::wstring& folder, DWORD type, DWORD count);

// A fresh LocalDumps key with `count` program keys, each with a folder, a type and a count, and a
// global dump type.
void StoreProgramKeys(int count, const std::wstring& folder);

// Only the calls a read needs: enumerate, open, one query for each value the program manages
// (MANAGED_VALUE_NAMES, the same values the program reads), close. Like the store, it goes through
// the seam. Hands back the names it met.
void BareReadLoop(std::vector<std::wstring>& names);
