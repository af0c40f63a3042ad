#pragma once
// Small text helpers shared by the store and the dialogs.
#include <functional>
#include <string>

// Removes white space (as iswspace classifies it) from both ends.
std::wstring TrimWhitespace(const std::wstring& text);

// printf-style formatting into a wide string.
std::wstring FormatText(const wchar_t* format, ...);

// Trims " \t\r\n" from both ends and, unless the result is empty or already ends in a slash or a
// backslash, appends one backslash. A null text counts as empty.
std::wstring WithTrailingSeparator(const wchar_t* text);

// Runs a system call that answers the size it needs (terminator included) when the buffer is too
// small and the length it wrote otherwise, as GetFullPathNameW, GetLongPathNameW and
// GetEnvironmentVariableW do: asks for the size, then fills a buffer of that size. False when the
// call fails or the text grew in between.
bool QuerySizedText(const std::function<unsigned long(wchar_t* buffer, unsigned long size)>& call,
                    std::wstring& text);
