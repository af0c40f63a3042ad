#include "tests/support/ui_owned_dialog.h"

#include <string>

namespace {

struct Search {
    HWND owner;
    HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window) &&
        ::GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindOwnedDialogWindow(HWND owner)
{
    Search search = {owner, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), CheckWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
