#pragma once
// Direct access to the test prefix's registry, in the 64-bit view, bypassing the seam: for setting
// up stored states and checking what the program left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/registry_layout.h"

struct RawValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

namespace reg64 {

bool KeyExists(const std::wstring& path, REGSAM view = KEY_WOW64_64KEY);
void CreateKey(const std::wstring& path);
void DeleteTree(const std::wstring& path);
void SetRaw(const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD size);
void SetString(const std::wstring& path, const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ);
void SetDword(const std::wstring& path, const std::wstring& name, DWORD value);
RawValue Get(const std::wstring& path, const std::wstring& name, REGSAM view = KEY_WOW64_64KEY);
std::wstring GetString(const std::wstring& path, const std::wstring& name);
std::vector<std::wstring> Subkeys(const std::wstring& path);
std::vector<std::wstring> ValueNames(const std::wstring& path);

}  // namespace reg64

std::wstring ProgramKeyPath(const std::wstring& name);

// A configuration to show in pictures of the main window: global values and the program keys
// explorer.exe, game.exe and service.exe, each with some of its values. The program saves it as
// it stands (the global folder C:\CrashDumps with the ACL box on, as it is at every start).
void StoreSampleConfiguration();

// Every test starts without a LocalDumps key and leaves none behind.
class LocalDumpsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
