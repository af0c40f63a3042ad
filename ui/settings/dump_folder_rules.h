#pragma once
// Which dump folders the settings dialogs accept. A folder text must be a full path once its
// environment references are expanded: Windows Error Reporting resolves it in its own context, and
// a relative text would be created relative to this program's current folder. With the ACL check box
// on, the save opens the folder to every user, so places whose contents belong to the system or to
// one user are refused: a drive root, the Windows folder, the program-files folders, the all-users
// Start Menu, the ProgramData folder itself, anything in a user profile (references such as
// %LOCALAPPDATA% expand to the administrator's own profile), any place reached through a share of
// this computer or an administrative share (the same folders under other names), and an existing
// folder that the save would refuse for what it holds or for its owner.
#include <string>

enum class DumpFolderCheck {
    Valid,
    NotFullPath,
    DriveRoot,
    WindowsFolder,
    ProgramFiles,
    UserProfile,
    StartMenu,
    ProgramData,
    LocalShare,
    AdministrativeShare,
    HoldsOtherFiles,
    ForeignOwner,
};

// `trimmedText` as entered (an empty text means no folder and is valid).
DumpFolderCheck CheckDumpFolder(const std::wstring& trimmedText, bool setAcl);

// The message for a folder that fails the check, naming the reason and the folder with its
// references expanded; empty for a valid one.
std::wstring DumpFolderMessage(const std::wstring& trimmedText, bool setAcl);

// With the ACL check box off, the owner of an existing folder that belongs to another account than
// Administrators, SYSTEM, TrustedInstaller or the user running this program: that account can read
// every dump written there (and change who else may), so the folder is taken only when the user
// confirms. Empty when there is nothing to ask: no folder, the box on (the owner is then a refusal),
// a folder that does not exist yet, or one that cannot be read.
std::wstring FolderOwnerToConfirm(const std::wstring& trimmedText, bool setAcl);

#define PANEL_MSG_FOLDER_FOREIGN_OWNER                                                                    \
    L"The folder\n\n%s\n\nbelongs to %s. This account can read every dump file written there, and dump "   \
    L"files hold the memory of the programs that crashed.\n\nUse this folder anyway?"
#define PANEL_MSG_FOLDER_NOT_FULL_PATH \
    L"'Dump files folder' must be a full path, such as C:\\CrashDumps or \\\\server\\share\\CrashDumps"
#define PANEL_MSG_FOLDER_NOT_FOR_EVERYONE                                                                  \
    L"The ACL check box would give every user access to this folder, which %s:\n\n%s\n\n"                 \
    L"Choose another folder, or clear the check box to keep the folder's own permissions."
