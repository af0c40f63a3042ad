// The shell's folder browser, opened at the folder the edit names.
#include "ui/settings/dump_settings_panel.h"

#include <objbase.h>
#include <shlobj.h>

#include "app/platform_values.h"
#include "framework/message_box.h"

namespace {

// Selects the given folder once the browser is up. On Windows 7 and later the tree is filled
// after initialisation, so the selection is asked for again a moment later.
int CALLBACK PickFolderCallback(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED) {
        ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
        if (g_osWin7OrLater) {
            ::Sleep(100);
            ::PostMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
        }
    }
    return 0;
}

} // namespace

int PickFolder(HWND owner, std::wstring& path)
{
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.lpszTitle = L"Select folder to save generated minidump files:";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    if (!path.empty()) {
        browse.lpfn = PickFolderCallback;
        browse.lParam = reinterpret_cast<LPARAM>(path.c_str());
    }

    PIDLIST_ABSOLUTE item = ::SHBrowseForFolderW(&browse);
    if (!item)
        return 0;

    wchar_t chosen[MAX_PATH] = {};
    const BOOL converted = ::SHGetPathFromIDListW(item, chosen);
    ::CoTaskMemFree(item);
    if (!converted) {
        AppMessageBox(PANEL_MSG_CANNOT_USE_LOCATION, MB_OK | MB_ICONERROR);
        return -1;
    }

    // No separator at the end, except after a drive: "C:" alone would mean the current folder of C.
    path = chosen;
    const bool driveRoot = path.size() == 3 && path[1] == L':';
    if (!path.empty() && !driveRoot && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return 1;
}
