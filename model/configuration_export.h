#pragma once
// Exporting the stored configuration as a registry file, for administrators who carry it to other
// machines with reg import, Group Policy or a deployment script. The file replaces the whole
// LocalDumps key: its first entry deletes the key, then the key follows with every value and every
// subkey below it, values of other tools included, each in its stored type.
#include <windows.h>

#include <string>
#include <vector>

struct ExportedValue {
    std::wstring name;  // empty for the key's default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct ExportedKey {
    std::wstring path;  // below HKEY_LOCAL_MACHINE
    std::vector<ExportedValue> values;
    std::vector<ExportedKey> subkeys;
};

// Reads the LocalDumps key with everything below it, in the platform's registry view. `exists` is
// false when there is no LocalDumps key (no failure). On failure errorText holds one complete
// message that names the key that could not be read.
bool ReadConfigurationTree(ExportedKey& tree, bool& exists, std::wstring& errorText);

// The registry file's text: "Windows Registry Editor Version 5.00", comment lines that tell how to
// import it, the deletion of the LocalDumps key, then the tree when there is one. Lines end in
// CRLF.
std::wstring FormatRegistryFile(const ExportedKey* tree);

// Writes the text as UTF-16 with a byte-order mark, replacing the file. A file that cannot be
// written to the end is deleted again. On failure errorText names the file.
bool WriteRegistryFile(const std::wstring& path, const std::wstring& text, std::wstring& errorText);

// Reads the stored configuration and writes it to `path`; false with errorText on failure.
bool ExportConfiguration(const std::wstring& path, std::wstring& errorText);
