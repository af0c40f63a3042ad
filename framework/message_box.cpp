#include "framework/message_box.h"

#include "framework/app_object.h"
#include "framework/executable_name.h"

namespace {
MessageBoxHook& CurrentHook()
{
    static MessageBoxHook hook;
    return hook;
}
} // namespace

void SetMessageBoxHook(MessageBoxHook hook)
{
    CurrentHook() = std::move(hook);
}

int AppMessageBox(const std::wstring& text, UINT type)
{
    const HWND owner = ::GetActiveWindow();
    const CAppObject* app = CurrentApp();
    const std::wstring caption = app ? app->AppName() : ExecutableBaseName();
    if (const MessageBoxHook& hook = CurrentHook())
        return hook(owner, text, caption, type);
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}
