#pragma once
// The access-control entries given to dump folders, so that every user and every sandboxed
// application may write dump files there and recycle old ones.
#include <windows.h>

// Read, write, traverse and delete-child (0x1201FF: FILE_GENERIC_READ | FILE_GENERIC_WRITE |
// FILE_TRAVERSE | FILE_DELETE_CHILD) for Everyone, all application packages (listed twice: "AC" and
// its SID) and all restricted application packages; no right to change the permissions, to take
// ownership or to delete the folder itself. The mandatory label at the end is part of the text but
// is never applied: only DACL entries are added.
#define DUMP_FOLDER_SDDL                                                                             \
    L"D:(A;;0x1201ff;;;WD)(A;;0x1201ff;;;AC)(A;;0x1201ff;;;S-1-15-2-1)(A;;0x1201ff;;;S-1-15-2-2)" \
    L"S:(ML;;;;;S-1-16-0)"

// The code of a refusal to secure a folder that is reached through a link (a junction, a symbolic
// link, a mount point): the folder itself is one, or its final path is not the path asked for.
const DWORD ERROR_FOLDER_THROUGH_LINK = ERROR_CANT_ACCESS_FILE;

// Adds the entries of DUMP_FOLDER_SDDL that the folder's own list lacks, through one handle to the
// folder itself: a folder that is a link, or whose final path differs from `folder` (a link in a
// parent), is refused with ERROR_FOLDER_THROUGH_LINK; a file with ERROR_DIRECTORY. The folder's
// other entries, owner, group, label and inheritance stay as they are, and nothing below it is
// touched. On failure the last error holds the Win32 code (87 for an empty name).
bool ApplyDumpFolderAcl(const wchar_t* folder);

// Before a folder to be secured is created: the folder that will hold it must be reached without
// a link, so that no folder is made inside a link's target. A missing parent is no failure here
// (creating the folder reports it). On failure the last error holds the Win32 code.
bool CheckDumpFolderParent(const wchar_t* folder);
