#pragma once
// The rule for a typed maximum number of dump files.
#include <windows.h>

#include <string>

// `text` is the trimmed count text. The value is what wcstol makes of it (sign, leading digits,
// clamped to the 32-bit range); the count is valid when that value, written back with "%d",
// gives the same text and is at least 1: a plain run of digits without a leading zero, from 1 to
// 2147483647. `value` is set either way.
bool ParseDumpCount(const std::wstring& text, LONG& value);
