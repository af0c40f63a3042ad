#pragma once
// Which dump folders the settings dialogs accept. A folder text must be a full path once its
// environment references are expanded: Windows Error Reporting resolves it in its own context, and
// a relative text would be created relative to this program's current folder. With the ACL check box
// on, the save opens the folder to every user, so places whose contents belong to the system or to
// one user are refused: a drive root, the Windows folder, the program-files folders, and anything
// in a user profile (references such as %LOCALAPPDATA% expand to the administrator's own profile).
#include <string>

enum class DumpFolderCheck {
    Valid,
    NotFullPath,
    DriveRoot,
    WindowsFolder,
    ProgramFiles,
    UserProfile,
};

// `trimmedText` as entered (an empty text means no folder and is valid).
DumpFolderCheck CheckDumpFolder(const std::wstring& trimmedText, bool setAcl);

// The message for a failed check, naming the folder with its references expanded; empty for Valid.
std::wstring DumpFolderMessage(DumpFolderCheck check, const std::wstring& trimmedText);

#define PANEL_MSG_FOLDER_NOT_FULL_PATH \
    L"'Dump files folder' must be a full path, such as C:\\CrashDumps or \\\\server\\share\\CrashDumps"
#define PANEL_MSG_FOLDER_NOT_FOR_EVERYONE                                                                  \
    L"The ACL check box would give every user access to this folder, which is %s:\n\n%s\n\n"              \
    L"Choose another folder, or clear the check box to keep the folder's own permissions."
