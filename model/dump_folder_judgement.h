#pragma once
// Whether an existing folder may be opened to every user. Once everyone may add and delete files
// there, whatever the folder holds can be replaced by any user, and whoever owns it may change its
// permissions: a folder of some installed tool, or one that a standard user made in advance, is
// therefore never opened. A place can hold dump files only when it is empty or holds nothing but
// dump files (*.dmp), and belongs to Administrators, SYSTEM, TrustedInstaller or the user running
// this program.
#include <windows.h>

#include <string>

// The codes of a folder that must not be opened to everyone.
const DWORD ERROR_FOLDER_HOLDS_OTHER_FILES = ERROR_DIR_NOT_EMPTY;
const DWORD ERROR_FOLDER_FOREIGN_OWNER = ERROR_INVALID_OWNER;

// Judges the open folder (listed through the handle, which needs FILE_LIST_DIRECTORY) with the
// owner read from it: ERROR_SUCCESS, one of the two codes above, or the code of a failed listing.
DWORD JudgeOpenFolder(HANDLE folder, PSID owner);

// Administrators, SYSTEM, TrustedInstaller or the user running this program.
bool IsTrustedOwner(PSID owner);

// "DOMAIN\name" of an account, or its SID text when the name cannot be found.
std::wstring AccountName(PSID sid);
