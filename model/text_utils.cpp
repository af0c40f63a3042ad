#include "model/text_utils.h"

#include <cstdarg>
#include <cwchar>
#include <stdio.h>
#include <cwctype>
#include <vector>

std::wstring TrimWhitespace(const std::wstring& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::iswspace(text[begin]))
        ++begin;
    while (end > begin && std::iswspace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::wstring FormatText(const wchar_t* format, ...)
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        // The runtime's own formatter, for which "%s" in a wide format is a wide string.
        int written = _vsnwprintf(buffer.data(), buffer.size() - 1, format, args);
        va_end(args);
        if (written >= 0 && static_cast<size_t>(written) < buffer.size())
            return std::wstring(buffer.data(), static_cast<size_t>(written));
        if (buffer.size() >= (1u << 20))
            return std::wstring();
        buffer.resize(buffer.size() * 4);
    }
}

std::wstring WithTrailingSeparator(const wchar_t* text)
{
    std::wstring result = text ? text : L"";
    const wchar_t* blanks = L" \t\r\n";
    size_t last = result.find_last_not_of(blanks);
    if (last == std::wstring::npos)
        return std::wstring();
    result.erase(last + 1);
    result.erase(0, result.find_first_not_of(blanks));
    wchar_t end = result.back();
    if (end != L'/' && end != L'\\')
        result += L'\\';
    return result;
}

bool QuerySizedText(const std::function<unsigned long(wchar_t* buffer, unsigned long size)>& call,
                    std::wstring& text)
{
    const unsigned long needed = call(nullptr, 0);
    if (needed == 0)
        return false;
    std::vector<wchar_t> buffer(needed, L'\0');
    const unsigned long written = call(buffer.data(), needed);
    if (written == 0 || written >= needed)
        return false;
    text.assign(buffer.data(), written);
    return true;
}
