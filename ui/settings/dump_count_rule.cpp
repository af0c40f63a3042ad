#include "ui/settings/dump_count_rule.h"

#include <cwchar>

#include "model/text_utils.h"

bool ParseDumpCount(const std::wstring& text, LONG& value)
{
    // long is 32 bits on Windows, so wcstol already clamps to the range of LONG.
    value = std::wcstol(text.c_str(), nullptr, 10);
    return value >= 1 && FormatText(L"%d", static_cast<int>(value)) == text;
}
