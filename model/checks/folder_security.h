#pragma once
// The security of an existing dump folder, as the checks read it: its owner and its access list,
// inherited entries included.
#include <windows.h>

#include <string>

#include "framework/unique_handles.h"

struct FolderSecurity {
    unique_local_mem descriptor;
    PSID owner = nullptr;
    PACL dacl = nullptr;  // null: no list at all, everyone may do everything
};

// Reads an existing folder's owner and list, in the native file system, following links as the
// service does. Returns 0, or the Win32 code (a missing folder, a file, no access).
DWORD ReadFolderSecurity(const std::wstring& path, FolderSecurity& security);

// Whether the list lets Everyone, Users or Authenticated Users add files: an allow entry with that
// right which no earlier deny entry for any of the three takes away (a standard user is in all three).
bool StandardUsersMayAddFiles(PACL dacl);
