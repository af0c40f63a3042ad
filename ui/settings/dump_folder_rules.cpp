#include "ui/settings/dump_folder_rules.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <userenv.h>

#include <vector>

#include "model/dump_folder_path.h"
#include "model/text_utils.h"

namespace {

struct Place {
    std::wstring path;  // comparable
    DumpFolderCheck kind;
};

void AddKnownFolder(std::vector<Place>& places, REFKNOWNFOLDERID id, DumpFolderCheck kind)
{
    PWSTR path = nullptr;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path && *path)
        places.push_back({ComparableFolderPath(path), kind});
    ::CoTaskMemFree(path);
}

void AddPath(std::vector<Place>& places, const std::wstring& path, DumpFolderCheck kind)
{
    if (!path.empty() && IsFullFolderPath(path))
        places.push_back({ComparableFolderPath(path), kind});
}

std::wstring ProfilesDirectory()
{
    DWORD size = 0;
    ::GetProfilesDirectoryW(nullptr, &size);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(size + 1, L'\0');
    return ::GetProfilesDirectoryW(buffer.data(), &size) ? std::wstring(buffer.data()) : std::wstring();
}

std::wstring EnvironmentValue(const wchar_t* name)
{
    std::wstring value;
    QuerySizedText([&](wchar_t* buffer, DWORD size) { return ::GetEnvironmentVariableW(name, buffer, size); }, value);
    return value;
}

// The places never opened to everyone, as this system names them. A 32-bit program sees the 32-bit
// program-files folder as FOLDERID_ProgramFiles; the native one is in ProgramW6432.
std::vector<Place> ProtectedPlaces()
{
    std::vector<Place> places;
    AddKnownFolder(places, FOLDERID_Windows, DumpFolderCheck::WindowsFolder);
    AddKnownFolder(places, FOLDERID_ProgramFiles, DumpFolderCheck::ProgramFiles);
    AddKnownFolder(places, FOLDERID_ProgramFilesX86, DumpFolderCheck::ProgramFiles);
    AddPath(places, EnvironmentValue(L"ProgramW6432"), DumpFolderCheck::ProgramFiles);
    AddPath(places, ProfilesDirectory(), DumpFolderCheck::UserProfile);
    // A user's folders may live elsewhere than in the profiles directory.
    AddKnownFolder(places, FOLDERID_Profile, DumpFolderCheck::UserProfile);
    AddKnownFolder(places, FOLDERID_LocalAppData, DumpFolderCheck::UserProfile);
    AddKnownFolder(places, FOLDERID_RoamingAppData, DumpFolderCheck::UserProfile);
    return places;
}

const wchar_t* PlaceDescription(DumpFolderCheck check)
{
    switch (check) {
    case DumpFolderCheck::DriveRoot:
        return L"the root of a drive";
    case DumpFolderCheck::WindowsFolder:
        return L"in the Windows folder";
    case DumpFolderCheck::ProgramFiles:
        return L"in a program files folder";
    case DumpFolderCheck::UserProfile:
        return L"in a user profile";
    default:
        return L"";
    }
}

}  // namespace

DumpFolderCheck CheckDumpFolder(const std::wstring& trimmedText, bool setAcl)
{
    if (trimmedText.empty())
        return DumpFolderCheck::Valid;
    const std::wstring onDisk = DumpFolderOnDisk(trimmedText);
    if (!IsFullFolderPath(onDisk))
        return DumpFolderCheck::NotFullPath;
    if (!setAcl)
        return DumpFolderCheck::Valid;

    const std::wstring path = ComparableFolderPath(onDisk);
    if (IsRootFolderPath(path))
        return DumpFolderCheck::DriveRoot;
    for (const Place& place : ProtectedPlaces()) {
        if (FolderPathIsWithin(path, place.path))
            return place.kind;
    }
    return DumpFolderCheck::Valid;
}

std::wstring DumpFolderMessage(DumpFolderCheck check, const std::wstring& trimmedText)
{
    switch (check) {
    case DumpFolderCheck::Valid:
        return std::wstring();
    case DumpFolderCheck::NotFullPath:
        return PANEL_MSG_FOLDER_NOT_FULL_PATH;
    default:
        return FormatText(PANEL_MSG_FOLDER_NOT_FOR_EVERYONE, PlaceDescription(check),
                          DumpFolderOnDisk(trimmedText).c_str());
    }
}
