#pragma once
// The access-control entries given to dump folders, so that every user and every sandboxed
// application may write dump files there and recycle old ones.
#include <windows.h>

#include <string>

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
// through one handle to the folder itself (in the native file system): a folder that is a link, or
// whose final path differs from `folder` (a link in a parent), is refused with
// ERROR_FOLDER_THROUGH_LINK; a file with ERROR_DIRECTORY; a folder that lacks an entry and may not
// be opened to everyone (dump_folder_judgement.h) with that judgement's code. An entry of the list
// that cannot be read or copied fails it, and nothing is applied. The folder's other entries,
// owner, group, label and inheritance stay as they are, and nothing below it is touched. A folder
// `madeNow` by the caller is removed again when it is refused. On failure the last error holds the
// Win32 code (87 for an empty name).
bool ApplyDumpFolderAcl(const wchar_t* folder, bool madeNow = false);

// The judgement of ApplyDumpFolderAcl without changing anything, for the settings dialogs:
// ERROR_SUCCESS when the save would secure the folder, ERROR_FOLDER_HOLDS_OTHER_FILES or
// ERROR_FOLDER_FOREIGN_OWNER (then `ownerAccount` names the owner) when it would refuse it, or the
// code of a folder that cannot be judged (missing, unreadable, a link), which the save reports.
DWORD JudgeDumpFolder(const wchar_t* folder, std::wstring& ownerAccount);

// Before a folder to be secured is created: the folder that will hold it must be reached without
// a link, so that no folder is made inside a link's target. A missing parent is no failure here
// (creating the folder reports it). On failure the last error holds the Win32 code.
bool CheckDumpFolderParent(const wchar_t* folder);
