#include "tests/support/program_manifest.h"

#include <windows.h>

bool ActivateManifestOf(const std::wstring& program)
{
    ACTCTXW context = {};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = program.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(1);
    const HANDLE activation = ::CreateActCtxW(&context);
    ULONG_PTR cookie = 0;
    return activation != INVALID_HANDLE_VALUE && ::ActivateActCtx(activation, &cookie);
}
