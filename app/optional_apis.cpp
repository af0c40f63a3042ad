#include "app/optional_apis.h"

#include <string>

#include "framework/system_calls.h"

RegDeleteKeyExFn g_pfnRegDeleteKeyEx = nullptr;
LoadIconWithScaleDownFn g_pfnLoadIconWithScaleDown = nullptr;

namespace {

// The system directory with a trailing separator, or an empty text when it cannot be read.
std::wstring SystemDirectoryWithSeparator()
{
    wchar_t buffer[MAX_PATH] = L"";
    UINT length = Sys().GetSystemDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring path(buffer, length);
    wchar_t last = path.back();
    if (last != L'\\' && last != L'/')
        path += L'\\';
    return path;
}

template <typename Fn>
Fn LookUp(HMODULE module, const char* name)
{
    FARPROC proc = module ? Sys().GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

}  // namespace

OptionalApis::OptionalApis()
{
    m_comctl32 = Sys().LoadLibraryW(L"Comctl32.dll");
    g_pfnLoadIconWithScaleDown = LookUp<LoadIconWithScaleDownFn>(m_comctl32, "LoadIconWithScaleDown");

    std::wstring advapi32 = SystemDirectoryWithSeparator() + L"Advapi32.dll";
    m_advapi32 = Sys().LoadLibraryW(advapi32.c_str());
    g_pfnRegDeleteKeyEx = LookUp<RegDeleteKeyExFn>(m_advapi32, "RegDeleteKeyExW");
}

OptionalApis::~OptionalApis()
{
    // The pointers die with the modules that hold them.
    g_pfnLoadIconWithScaleDown = nullptr;
    g_pfnRegDeleteKeyEx = nullptr;
    if (m_comctl32) {
        Sys().FreeLibrary(m_comctl32);
        m_comctl32 = nullptr;
    }
    if (m_advapi32) {
        Sys().FreeLibrary(m_advapi32);
        m_advapi32 = nullptr;
    }
}
