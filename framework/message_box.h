#pragma once
// The application's standard message box: owned by the active window, captioned with the
// application name.
#include <windows.h>

#include <functional>
#include <string>

int AppMessageBox(const std::wstring& text, UINT type);

// Replaces the real box, for the tests: the hook receives owner, text, caption and type and
// returns the button "pressed". An empty hook restores MessageBoxW.
using MessageBoxHook = std::function<int(HWND, const std::wstring&, const std::wstring&, UINT)>;
void SetMessageBoxHook(MessageBoxHook hook);
