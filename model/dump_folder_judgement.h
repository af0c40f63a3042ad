#pragma once
// Whether an existing folder may be opened to every user. Once everyone may add and delete files
// there, whatever the folder holds can be replaced by any user, and whoever owns it may change its
// permissions: a folder of some installed tool, or one that a standard user made in advance, is
// therefore never opened. A place can hold dump files only when it is empty or holds nothing but
// dump files (*.dmp, none of them a link), and belongs to Administrators, SYSTEM, TrustedInstaller or the user running
// this program.
#include <windows.h>

#include <string>

// The codes of a folder that must not be opened to everyone.
const DWORD ERROR_FOLDER_HOLDS_OTHER_FILES = ERROR_DIR_NOT_EMPTY;
const DWORD ERROR_FOLDER_FOREIGN_OWNER = ERROR_INVALID_OWNER;

// Judges the open folder with the owner read from it, and with `contents` what it holds (listed
// through the handle, which then needs FILE_LIST_DIRECTORY): ERROR_SUCCESS, one of the two codes
// above, or the code of a failed listing.
DWORD JudgeOpenFolder(HANDLE folder, PSID owner, bool contents);

// Administrators, SYSTEM, TrustedInstaller or the user running this program.
bool IsTrustedOwner(PSID owner);

// Whether a SID is the one written as `text` ("S-1-1-0").
bool IsSid(PSID sid, const wchar_t* text);

// The SID of the account running this program as text, or an empty text when it cannot be read.
std::wstring CurrentUserSidText();

// "DOMAIN\name" of an account, or its SID text when the name cannot be found.
std::wstring AccountName(PSID sid);
