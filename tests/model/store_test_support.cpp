#include "tests/model/store_test_support.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/optional_apis.h"
#include "framework/message_box.h"
#include "model/registry_layout.h"
#include "tests/support/seam_recorder.h"

// ---------------------------------------------------------------- folders

bool FolderExists(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFolder(const std::wstring& path)
{
    ASSERT_TRUE(Real().CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS)
        << Narrow(path);
}

void RemoveFolderTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(child);
            else
                ::DeleteFileW(child.c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    Real().RemoveDirectoryW(path.c_str());
}

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    for (;;) {
        m_path = std::wstring(temp) + L"kestrune-store-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++serial);
        if (Real().CreateDirectoryW(m_path.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder()
{
    RemoveFolderTree(m_path);
}

CurrentDirectory::CurrentDirectory(const std::wstring& path)
{
    wchar_t saved[MAX_PATH] = L"";
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    m_saved = saved;
    ::SetCurrentDirectoryW(path.c_str());
}

CurrentDirectory::~CurrentDirectory()
{
    ::SetCurrentDirectoryW(m_saved.c_str());
}

// ---------------------------------------------------------------- message boxes

BoxCapture::BoxCapture()
{
    SetMessageBoxHook([this](HWND, const std::wstring& text, const std::wstring&, UINT type) {
        m_boxes.push_back({text, type});
        return IDOK;
    });
}

BoxCapture::~BoxCapture()
{
    SetMessageBoxHook(nullptr);
}

// ---------------------------------------------------------------- snapshots

bool operator==(const RawValue& a, const RawValue& b)
{
    return a.exists == b.exists && a.type == b.type && a.data == b.data;
}

bool StoreSnapshot::operator==(const StoreSnapshot& other) const
{
    return localDumpsExists == other.localDumpsExists && keys == other.keys && folders == other.folders;
}

std::string StoreSnapshot::Describe() const
{
    std::ostringstream out;
    out << (localDumpsExists ? "LocalDumps present" : "LocalDumps absent") << "\n";
    for (const auto& key : keys) {
        out << "  [" << Narrow(key.first) << "]";
        for (const auto& value : key.second)
            out << " " << Narrow(value.first) << "(type " << value.second.type << ", " << value.second.data.size()
                << " bytes)";
        out << "\n";
    }
    for (const auto& folder : folders)
        out << "  folder " << Narrow(folder.first) << (folder.second ? " exists" : " absent") << "\n";
    return out.str();
}

namespace {

void SnapshotKey(const std::wstring& relative, StoreSnapshot& snapshot)
{
    std::wstring path = relative.empty() ? std::wstring(LOCALDUMPS_KEY_PATH)
                                         : std::wstring(LOCALDUMPS_KEY_PATH) + L"\\" + relative;
    auto& values = snapshot.keys[relative];
    for (const std::wstring& name : reg64::ValueNames(path))
        values[name] = reg64::Get(path, name);
    for (const std::wstring& child : reg64::Subkeys(path))
        SnapshotKey(relative.empty() ? child : relative + L"\\" + child, snapshot);
}

}  // namespace

StoreSnapshot TakeSnapshot(const std::vector<std::wstring>& folders)
{
    StoreSnapshot snapshot;
    snapshot.localDumpsExists = reg64::KeyExists(LOCALDUMPS_KEY_PATH);
    if (snapshot.localDumpsExists)
        SnapshotKey(L"", snapshot);
    for (const std::wstring& folder : folders)
        snapshot.folders[folder] = FolderExists(folder);
    return snapshot;
}

// ---------------------------------------------------------------- records

DumpSettings MakeSettings(const wchar_t* folder, int dumpType, long long dumpCount, bool setAcl)
{
    DumpSettings s;
    if (folder) {
        s.hasFolder = TRUE;
        s.folder = folder;
    }
    if (dumpType >= 0) {
        s.hasDumpType = TRUE;
        s.dumpType = static_cast<DWORD>(dumpType);
    }
    if (dumpCount >= 0) {
        s.hasDumpCount = TRUE;
        s.dumpCount = static_cast<LONG>(dumpCount);
    }
    s.setAcl = setAcl ? TRUE : FALSE;
    return s;
}

ProgramEntry MakeEntry(const std::wstring& name, const DumpSettings& settings)
{
    ProgramEntry entry;
    entry.processName = name;
    entry.settings = settings;
    return entry;
}

void StoreLink(const std::wstring& path, const std::wstring& target)
{
    HKEY link = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                                               KEY_ALL_ACCESS | KEY_CREATE_LINK | KEY_WOW64_64KEY, nullptr, &link,
                                               nullptr));
    const std::wstring native = L"\\Registry\\Machine\\" + target;
    ::RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(native.c_str()),
                     static_cast<DWORD>(native.size() * sizeof(wchar_t)));
    ::RegCloseKey(link);
}

void StoreSettings(const std::wstring& path, const DumpSettings& settings)
{
    reg64::CreateKey(path);
    if (settings.hasFolder)
        reg64::SetString(path, VALUE_DUMP_FOLDER, settings.folder);
    if (settings.hasDumpType)
        reg64::SetDword(path, VALUE_DUMP_TYPE, settings.dumpType);
    if (settings.hasDumpCount)
        reg64::SetDword(path, VALUE_DUMP_COUNT, static_cast<DWORD>(settings.dumpCount));
}

DWORD StoredDword(const std::wstring& path, const wchar_t* name)
{
    RawValue value = reg64::Get(path, name);
    return value.data.size() == 4 ? *reinterpret_cast<const DWORD*>(value.data.data()) : 0xDEADBEEF;
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += (c < 128) ? static_cast<char>(c) : '?';
    return out;
}

std::string Describe(const DumpSettings& settings)
{
    std::ostringstream out;
    out << "{folder " << (settings.hasFolder ? "\"" + Narrow(settings.folder) + "\"" : std::string("-"));
    out << ", type " << (settings.hasDumpType ? std::to_string(settings.dumpType) : std::string("-"));
    out << ", count " << (settings.hasDumpCount ? std::to_string(settings.dumpCount) : std::string("-"));
    out << (settings.setAcl ? ", acl}" : "}");
    return out.str();
}
