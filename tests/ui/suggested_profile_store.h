#pragma once
// Direct access to the suggested-settings section of the test application's profile in the real
// HKEY_CURRENT_USER of the prefix, for setting up stored states and checking what was written.
#include <windows.h>

#include <string>
#include <vector>

namespace suggested_store {

struct Value {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Software\<maker>\Kestrune\Settings\Suggested
std::wstring SectionPath();
void DeleteSection();
void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size);
void SetString(const wchar_t* name, const std::wstring& text);
void SetDword(const wchar_t* name, DWORD value);
Value Get(const wchar_t* name);
// The value as text (REG_SZ data up to its NUL); "<missing>" or "<type N>" otherwise.
std::wstring GetString(const wchar_t* name);
// The value as a number; -999999 when it is not a 4-byte REG_DWORD.
long long GetDword(const wchar_t* name);

} // namespace suggested_store
