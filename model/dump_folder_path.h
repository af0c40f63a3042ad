#pragma once
// Where on disk a dump folder text points. The text is stored as entered, with its environment
// references (such as %LOCALAPPDATA%\CrashDumps), which Windows Error Reporting expands when it
// writes a dump; the folder itself is created and secured where the text points now.
#include <string>

// The text with its environment references expanded; references to variables that are not set stay
// as they are. A text that cannot be expanded is returned unchanged.
std::wstring DumpFolderOnDisk(const std::wstring& text);

// A full path: a drive letter with a colon and a separator ("C:\Dumps"), or a share
// ("\\server\share\Dumps"). "Dumps", "\Dumps", "D:Dumps" and "C:" depend on the current folder;
// a text in the device namespace ("\\?\C:\Dumps", "\\.\C:") names no folder path, and a colon
// after the drive's own ("C:\Dumps::$INDEX_ALLOCATION", "\\server\share\a:b") names a stream.
bool IsFullFolderPath(const std::wstring& path);

// The server and share names of a full share path ("\\server\share\Dumps"); false for a drive path.
bool ShareOfFolderPath(const std::wstring& path, std::wstring& server, std::wstring& share);

// A full path in the form used to compare folders: "." and ".." resolved, backslashes, the long
// names of the parts that exist, no "\\?\" prefix, and no separator at the end except after a
// drive root ("C:\").
std::wstring ComparableFolderPath(const std::wstring& fullPath);

// Whether two comparable paths name the same folder, or `path` lies in `place` or below it.
// Letter case is ignored, as Windows does for file names.
bool SameFolderPath(const std::wstring& a, const std::wstring& b);
bool FolderPathIsWithin(const std::wstring& path, const std::wstring& place);

// The comparable path of the folder that holds `path`, or "" for a drive or share root.
std::wstring ParentFolderPath(const std::wstring& comparablePath);

// A drive root ("C:\") or the root of a share ("\\server\share").
bool IsRootFolderPath(const std::wstring& comparablePath);
