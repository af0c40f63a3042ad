#include "model/process_names.h"

#include <windows.h>

int CompareProcessNames(const std::wstring& a, const std::wstring& b)
{
    const int result = ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                              static_cast<int>(b.size()), TRUE);
    return result - CSTR_EQUAL;
}

bool SameProcessName(const std::wstring& a, const std::wstring& b)
{
    return CompareProcessNames(a, b) == 0;
}
