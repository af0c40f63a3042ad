#pragma once
// Helpers of the store tests: real folders under a temporary directory, captured error boxes,
// and snapshots of the LocalDumps tree and folders.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/dump_settings.h"
#include "tests/support/registry_fixture.h"

// A fresh directory under the user's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring Child(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

bool FolderExists(const std::wstring& path);
void MakeFolder(const std::wstring& path);
void RemoveFolderTree(const std::wstring& path);

// Sets the current directory for the life of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::wstring& path);
    ~CurrentDirectory();

private:
    std::wstring m_saved;
};

// Collects every application message box instead of showing it.
struct CapturedBox {
    std::wstring text;
    UINT type;
};
class BoxCapture {
public:
    BoxCapture();
    ~BoxCapture();
    const std::vector<CapturedBox>& Boxes() const { return m_boxes; }

private:
    std::vector<CapturedBox> m_boxes;
};

// Every key below LocalDumps (path relative to it, "" for the key itself) with its raw values, and
// which of a set of folders exist.
struct StoreSnapshot {
    bool localDumpsExists = false;
    std::map<std::wstring, std::map<std::wstring, RawValue>> keys;
    std::map<std::wstring, bool> folders;
    bool operator==(const StoreSnapshot& other) const;
    std::string Describe() const;
};
bool operator==(const RawValue& a, const RawValue& b);
StoreSnapshot TakeSnapshot(const std::vector<std::wstring>& folders = {});

// A record from literal values: a null folder, a negative type or a negative count is not given.
DumpSettings MakeSettings(const wchar_t* folder, int dumpType, long long dumpCount, bool setAcl = false);
ProgramEntry MakeEntry(const std::wstring& name, const DumpSettings& settings);

// Stores a settings record as the program writes it (only given values).
void StoreSettings(const std::wstring& path, const DumpSettings& settings);

// A registry link at `path` (64-bit view) to the key `target` under HKLM.
void StoreLink(const std::wstring& path, const std::wstring& target);

// A stored REG_DWORD-sized value, or 0xDEADBEEF when there is none of four bytes.
DWORD StoredDword(const std::wstring& path, const wchar_t* name);

// Readable descriptions for failure output.
std::string Narrow(const std::wstring& text);
std::string Describe(const DumpSettings& settings);
