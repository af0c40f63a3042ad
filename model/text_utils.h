#pragma once
// Small text helpers shared by the store and the dialogs.
#include <string>

// Removes white space (as iswspace classifies it) from both ends.
std::wstring TrimWhitespace(const std::wstring& text);

// printf-style formatting into a wide string.
std::wstring FormatText(const wchar_t* format, ...);

// Trims " \t\r\n" from both ends and, unless the result is empty or already ends in a slash or a
// backslash, appends one backslash. A null text counts as empty.
std::wstring WithTrailingSeparator(const wchar_t* text);
