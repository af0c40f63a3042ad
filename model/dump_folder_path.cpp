#include "model/dump_folder_path.h"

#include <windows.h>

#include <vector>

std::wstring DumpFolderOnDisk(const std::wstring& text)
{
    if (text.find(L'%') == std::wstring::npos)
        return text;
    // The first call tells the size, terminator included; the variables may change in between,
    // so a second shortfall keeps the text as it is.
    DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0)
        return text;
    std::vector<wchar_t> buffer(needed, L'\0');
    DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed);
    if (written == 0 || written > needed)
        return text;
    return std::wstring(buffer.data());
}
