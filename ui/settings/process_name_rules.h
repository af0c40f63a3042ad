#pragma once
// What a process name may look like: the image file name of a program ("file.exe"), which
// Windows Error Reporting matches against a key name, so no folder part and none of the
// characters that file names cannot hold.
#include <string>

enum class ProcessNameCheck {
    Valid,
    Empty,              // nothing but blanks
    NotFileNameOnly,    // a backslash or a slash: a path was given
    InvalidCharacters,  // one of : * ? " < > |
    TooLong,            // more characters than a registry key name can hold
};

// Checks a name that has already been trimmed. A path is reported as such even when it also
// holds other invalid characters (a drive colon, say). The name becomes a registry key name, which
// holds at most 255 characters, while the edit takes a path-sized 260.
ProcessNameCheck CheckProcessName(const std::wstring& trimmedName);

// The message shown for a failed check; empty for Valid.
const wchar_t* ProcessNameMessage(ProcessNameCheck check);

#define PROCESS_MSG_SPECIFY_NAME L"Specify process name"
#define PROCESS_MSG_FILE_NAME_ONLY L"Process name must be file name only"
#define PROCESS_MSG_INVALID_CHARACTERS \
    L"Process name contains invalid characters.\n\nDon't use any of the following:\n\n\\ / : * ? \" < > |"
#define PROCESS_MSG_TOO_LONG L"Process name must not be longer than 255 characters"
#define PROCESS_MSG_ALREADY_EXISTS L"Settings for the following process name already exist:\n\n%s"
