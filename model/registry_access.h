#pragma once
// The registry operations of the dump settings store. Each one opens the key it needs in the
// registry view of the platform, does one thing and closes the key again. Before returning, each
// leaves the Win32 code of its last registry call as the thread's last error (0 when that call
// succeeded), for the caller's message. Key paths are relative to HKEY_LOCAL_MACHINE unless an
// open parent key is given.
#include <windows.h>

#include <functional>
#include <string>

#include "framework/unique_handles.h"

// KEY_READ / KEY_WRITE / both, each with the platform's registry view.
REGSAM ReadAccess();
REGSAM WriteAccess();
REGSAM ReadWriteAccess();

// A REG_DWORD of exactly four bytes. The value is written only on success.
bool RegReadDword(HKEY parent, const wchar_t* path, const wchar_t* name, DWORD& value);

// "DumpFolder" as REG_SZ or REG_EXPAND_SZ of non-zero size: the text up to its first NUL, or all
// of it when it holds none. Fails with 66 for another type, 13 when the value changed between the
// size probe and the read.
bool RegReadDumpFolder(HKEY parent, const wchar_t* path, std::wstring& folder);

// The number of subkeys and values of a key; an absent key counts as empty. Both counts are
// written in every case.
bool RegCountKeyContents(const wchar_t* path, DWORD& subkeys, DWORD& values);

// Whether a folder text holds an environment reference: a '%', one or more other characters, '%'.
bool HasEnvironmentReference(const wchar_t* text);

// Create the key if needed and write "DumpFolder" / a REG_DWORD value. The folder is written as
// REG_EXPAND_SZ when it holds an environment reference, else as REG_SZ.
bool RegWriteDumpFolder(const wchar_t* path, const wchar_t* folder);
bool RegWriteDword(const wchar_t* path, const wchar_t* name, DWORD value);

// Calls `handle` with the name of each subkey of an open key, in the order the registry lists
// them, up to 255 characters each. Returns 0 when the walk reached its end (ERROR_NO_MORE_ITEMS),
// else the code that broke it off; the names before the break were handed over.
LONG RegEnumSubkeys(HKEY key, const std::function<void(const wchar_t* name)>& handle);

// Copies a key's values and everything below it into the key at `to`, created if needed
// (`madeNew` tells whether this call made it). The source is opened as itself and searched first:
// when it or a key below it is a registry link, nothing is written and `link` gets that key's
// path. Returns 0 or the Win32 code of the call that failed.
LONG RegCopySettingsKey(const wchar_t* from, const wchar_t* to, std::wstring& link, bool& madeNew);

// Deletes one value; an absent key or value is no failure.
bool RegDeleteSettingValue(const wchar_t* path, const wchar_t* name);

// Deletes a key with its values and everything below it. Each key is opened through its parent's
// handle as itself and deleted through its own handle, so a registry link, the key itself or one
// below it, is deleted as the link and its target is never touched. An absent key is no failure.
// Returns 0 or the Win32 code and, on failure, puts the complete message, which names the key,
// into errorText (left alone on success).
DWORD RegDeleteSettingsKey(const wchar_t* path, std::wstring& errorText);

// Deletes a key that has no subkeys (the registry refuses one that has); results as above.
DWORD RegDeleteEmptySettingsKey(const wchar_t* path, std::wstring& errorText);

// Opens the key `name` below the open `parent` as itself: a registry link is opened as the link,
// never followed to its target.
LONG RegOpenKeyAsItself(HKEY parent, const wchar_t* name, REGSAM access, unique_hkey& key);

// Whether a key opened as itself is a registry link: it carries the link's REG_LINK value.
LONG RegCheckLink(HKEY key, bool& link);

// True for the codes that mean "the key or value is not there".
bool IsAbsent(LONG code);

// The same reads and changes on a key the caller holds open, so that one operation can handle a
// whole settings key through one handle. Results and last errors as above.
LONG RegOpenSettingsKey(HKEY parent, const wchar_t* path, REGSAM access, unique_hkey& key);
LONG RegCreateSettingsKey(const wchar_t* path, unique_hkey& key);  // read and write access
bool RegQueryDword(HKEY key, const wchar_t* name, DWORD& value);
bool RegQueryDumpFolder(HKEY key, std::wstring& folder);
bool RegSetDumpFolder(HKEY key, const wchar_t* folder);
bool RegSetDword(HKEY key, const wchar_t* name, DWORD value);
bool RegRemoveValue(HKEY key, const wchar_t* name);  // an absent value is no failure
