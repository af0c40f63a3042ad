#pragma once
// Where on disk a dump folder text points. The text is stored as entered, with its environment
// references (such as %LOCALAPPDATA%\CrashDumps), which Windows Error Reporting expands when it
// writes a dump; the folder itself is created and secured where the text points now.
#include <string>

// The text with its environment references expanded; references to variables that are not set stay
// as they are. A text that cannot be expanded is returned unchanged.
std::wstring DumpFolderOnDisk(const std::wstring& text);
