#pragma once
// The access-control entries given to dump folders, so that every user and every sandboxed
// application may write dump files there and recycle old ones.
#include <windows.h>

#include <string>

#include "framework/unique_handles.h"

#include "model/dump_folder_judgement.h"

// Read, write, traverse and delete-child (0x1201FF: FILE_GENERIC_READ | FILE_GENERIC_WRITE |
// FILE_TRAVERSE | FILE_DELETE_CHILD) for Everyone (S-1-1-0), all application packages (S-1-15-2-1)
// and all restricted application packages (S-1-15-2-2), each once and named by its SID, which every
// Windows from Vista on reads (the short aliases of the packages are newer); no right to change the
// permissions, to take ownership or to delete the folder itself. The mandatory label at the end is
// part of the text but is never applied: only DACL entries are added.
#define DUMP_FOLDER_SDDL                                                                                \
    L"D:(A;;0x1201ff;;;S-1-1-0)(A;;0x1201ff;;;S-1-15-2-1)(A;;0x1201ff;;;S-1-15-2-2)S:(ML;;;;;S-1-16-0)"

// The code of a refusal to secure a folder that is reached through a link (a junction, a symbolic
// link, a mount point): the folder itself is one, or its final path is not the path asked for.
const DWORD ERROR_FOLDER_THROUGH_LINK = ERROR_CANT_ACCESS_FILE;

// Adds the entries of DUMP_FOLDER_SDDL that the folder's own list lacks, after its last own entry,
// through one handle to the folder itself (in the native file system): the folder `made` by this
// save (MakeDumpFolder), else the folder opened by its path. A folder that is a link, or whose final
// path differs from `folder` (a link in a parent), is refused with ERROR_FOLDER_THROUGH_LINK; a file
// with ERROR_DIRECTORY; a folder that may not be opened to everyone (dump_folder_judgement.h) with
// that judgement's code: its owner is judged in every case, what it holds only when its own list
// lacks an entry. An entry of the list that cannot be read or copied fails it, and nothing is
// applied. The folder's other entries, owner, group, label and inheritance stay as they are, and
// nothing below it is touched. A `made` folder that is refused is taken back through its handle.
// On failure the last error holds the Win32 code (87 for an empty name).
bool ApplyDumpFolderAcl(const wchar_t* folder, HANDLE made = nullptr);

// The judgement of ApplyDumpFolderAcl without changing anything, for the settings dialogs:
// ERROR_SUCCESS when the save would secure the folder, ERROR_FOLDER_HOLDS_OTHER_FILES or
// ERROR_FOLDER_FOREIGN_OWNER (then `ownerAccount` names the owner) when it would refuse it, or the
// code of a folder that cannot be judged (missing, unreadable, a link), which the save reports.
DWORD JudgeDumpFolder(const wchar_t* folder, std::wstring& ownerAccount);

// The owner alone of an existing folder, reached as Windows resolves the path (links followed):
// ERROR_SUCCESS for Administrators, SYSTEM, TrustedInstaller or the user running this program,
// ERROR_FOLDER_FOREIGN_OWNER (then `ownerAccount` names the owner), or the code of a folder that
// cannot be read (a missing one: ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND).
DWORD JudgeDumpFolderOwner(const wchar_t* folder, std::wstring& ownerAccount);

// Makes the last level of `folder`, in the native file system, through a handle to the folder that
// holds it, and hands over the new folder's handle in `made` (for ApplyDumpFolderAcl and
// TakeBackDumpFolder). With `parentWithoutLink`, that parent must be reached without a link
// (ERROR_FOLDER_THROUGH_LINK otherwise), so that no folder is made inside a link's target; whatever
// is put at the parent's path after that check, the folder is made in the parent that was checked.
// Returns ERROR_SUCCESS, ERROR_ALREADY_EXISTS for anything already there by that name (a link
// included, which is not followed), ERROR_PATH_NOT_FOUND for a missing parent, or another code;
// `parentFailed` tells a failure to open or check the parent that is there.
DWORD MakeDumpFolder(const wchar_t* folder, bool parentWithoutLink, unique_hfile& made, bool& parentFailed);

// Takes back a folder made by MakeDumpFolder when it is still empty, through its handle; it goes
// when the handle closes.
void TakeBackDumpFolder(HANDLE made);
