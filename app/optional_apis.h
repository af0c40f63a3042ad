#pragma once
// Two system functions that older Windows versions lack, looked up once at start.
#include <windows.h>

typedef LONG(WINAPI* RegDeleteKeyExFn)(HKEY key, LPCWSTR subKey, REGSAM view, DWORD reserved);
typedef HRESULT(WINAPI* LoadIconWithScaleDownFn)(HINSTANCE module, PCWSTR name, int cx, int cy, HICON* icon);

// Null where the system lacks the function.
extern RegDeleteKeyExFn g_pfnRegDeleteKeyEx;
extern LoadIconWithScaleDownFn g_pfnLoadIconWithScaleDown;

// Loads Comctl32.dll (by bare name, so that the manifest's common-controls version is chosen) and
// Advapi32.dll from the system directory, and resolves the two functions; frees both modules
// when destroyed. The program has exactly one, a static object.
class OptionalApis {
public:
    OptionalApis();
    ~OptionalApis();
    OptionalApis(const OptionalApis&) = delete;
    OptionalApis& operator=(const OptionalApis&) = delete;

private:
    HMODULE m_comctl32 = nullptr;
    HMODULE m_advapi32 = nullptr;
};
