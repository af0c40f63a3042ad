#pragma once
// The access-control list given to dump folders, so that every user and every sandboxed
// application may write dump files there.
#include <windows.h>

// Full file access for Everyone, all application packages (listed twice: "AC" and its SID) and all
// restricted application packages. The mandatory label at the end is part of the text but is never
// applied: only the DACL is set.
#define DUMP_FOLDER_SDDL \
    L"D:(A;;FA;;;WD)(A;;FA;;;AC)(A;;FA;;;S-1-15-2-1)(A;;FA;;;S-1-15-2-2)S:(ML;;;;;S-1-16-0)"

// Sets the DACL of DUMP_FOLDER_SDDL on the folder; owner, group, SACL and the folder's inheritance
// setting stay as they are. On failure the last error holds the Win32 code (87 for an empty name).
bool ApplyDumpFolderAcl(const wchar_t* folder);
