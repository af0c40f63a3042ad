#include "ui/settings/dump_folder_rules.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <userenv.h>

#include <algorithm>
#include <vector>

#include "model/dump_folder_acl.h"
#include "model/dump_folder_path.h"
#include "model/native_folders.h"
#include "model/text_utils.h"
#include "ui/settings/this_computer.h"

namespace {

struct Place {
    std::wstring path;  // comparable
    DumpFolderCheck kind;
    bool itselfOnly;  // the folder itself, not what lies in it
};

void AddKnownFolder(std::vector<Place>& places, REFKNOWNFOLDERID id, DumpFolderCheck kind, bool itselfOnly = false)
{
    PWSTR path = nullptr;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path && *path)
        places.push_back({ComparableFolderPath(path), kind, itselfOnly});
    ::CoTaskMemFree(path);
}

void AddPath(std::vector<Place>& places, const std::wstring& path, DumpFolderCheck kind)
{
    if (!path.empty() && IsFullFolderPath(path))
        places.push_back({ComparableFolderPath(path), kind, false});
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

// The places never opened to everyone, as this system names them. A 32-bit program sees the 32-bit
// program-files folder as FOLDERID_ProgramFiles; the native one comes from the system's records.
std::vector<Place> ProtectedPlaces()
{
    std::vector<Place> places;
    AddKnownFolder(places, FOLDERID_Windows, DumpFolderCheck::WindowsFolder);
    AddKnownFolder(places, FOLDERID_ProgramFiles, DumpFolderCheck::ProgramFiles);
    AddKnownFolder(places, FOLDERID_ProgramFilesX86, DumpFolderCheck::ProgramFiles);
    AddPath(places, NativeProgramFilesFolder(), DumpFolderCheck::ProgramFiles);
    // Whatever is put in the Startup folder runs at every user's logon.
    AddKnownFolder(places, FOLDERID_CommonStartMenu, DumpFolderCheck::StartMenu);
    AddKnownFolder(places, FOLDERID_CommonStartup, DumpFolderCheck::StartMenu);
    AddKnownFolder(places, FOLDERID_ProgramData, DumpFolderCheck::ProgramData, true);
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
        return L"is the root of a drive";
    case DumpFolderCheck::WindowsFolder:
        return L"is in the Windows folder";
    case DumpFolderCheck::ProgramFiles:
        return L"is in a program files folder";
    case DumpFolderCheck::UserProfile:
        return L"is in a user profile";
    case DumpFolderCheck::StartMenu:
        return L"is in the all-users Start Menu";
    case DumpFolderCheck::ProgramData:
        return L"is the ProgramData folder";
    case DumpFolderCheck::LocalShare:
        return L"is reached through a share of this computer";
    case DumpFolderCheck::AdministrativeShare:
        return L"is reached through an administrative share";
    case DumpFolderCheck::HoldsOtherFiles:
        return L"holds other files";
    default:
        return L"";
    }
}

// A share reaches the folders of its computer under other names, so the text cannot tell which
// place it is: a share of this computer, and an administrative share anywhere, are refused.
DumpFolderCheck CheckShare(const std::wstring& path)
{
    std::wstring server;
    std::wstring share;
    if (!ShareOfFolderPath(path, server, share))
        return DumpFolderCheck::Valid;
    // A redirector's own prefix ("\\;LanmanRedirector\server\share") stands before the server.
    std::wstring rest = path;
    while (!server.empty() && server[0] == L';') {
        rest = L"\\\\" + rest.substr(std::min(rest.size(), server.size() + 3));
        if (!ShareOfFolderPath(rest, server, share))
            return DumpFolderCheck::LocalShare;  // no server behind it: which computer cannot be told
    }
    if (IsThisComputer(server))
        return DumpFolderCheck::LocalShare;
    // Windows drops dots and blanks at the end of a name: "C$ " and "C$." are "C$".
    while (!share.empty() && (share.back() == L'.' || share.back() == L' '))
        share.pop_back();
    if (!share.empty() && share.back() == L'$')
        return DumpFolderCheck::AdministrativeShare;
    return DumpFolderCheck::Valid;
}

DumpFolderCheck CheckExistingFolder(const std::wstring& path, std::wstring& ownerAccount)
{
    switch (JudgeDumpFolder(path.c_str(), ownerAccount)) {
    case ERROR_FOLDER_HOLDS_OTHER_FILES:
        return DumpFolderCheck::HoldsOtherFiles;
    case ERROR_FOLDER_FOREIGN_OWNER:
        return DumpFolderCheck::ForeignOwner;
    default:
        return DumpFolderCheck::Valid;  // missing (made by the save) or not judged: the save tells
    }
}

DumpFolderCheck CheckFolder(const std::wstring& trimmedText, bool setAcl, std::wstring& ownerAccount)
{
    if (trimmedText.empty())
        return DumpFolderCheck::Valid;
    const std::wstring onDisk = DumpFolderOnDisk(trimmedText);
    if (!IsFullFolderPath(onDisk))
        return DumpFolderCheck::NotFullPath;
    if (!setAcl)
        return DumpFolderCheck::Valid;

    const DumpFolderCheck share = CheckShare(onDisk);
    if (share != DumpFolderCheck::Valid)
        return share;
    const std::wstring path = ComparableFolderPath(onDisk);
    if (IsRootFolderPath(path))
        return DumpFolderCheck::DriveRoot;
    for (const Place& place : ProtectedPlaces()) {
        if (place.itselfOnly ? SameFolderPath(path, place.path) : FolderPathIsWithin(path, place.path))
            return place.kind;
    }
    return CheckExistingFolder(onDisk, ownerAccount);
}

}  // namespace

DumpFolderCheck CheckDumpFolder(const std::wstring& trimmedText, bool setAcl)
{
    std::wstring ownerAccount;
    return CheckFolder(trimmedText, setAcl, ownerAccount);
}

std::wstring DumpFolderMessage(const std::wstring& trimmedText, bool setAcl)
{
    std::wstring ownerAccount;
    const DumpFolderCheck check = CheckFolder(trimmedText, setAcl, ownerAccount);
    switch (check) {
    case DumpFolderCheck::Valid:
        return std::wstring();
    case DumpFolderCheck::NotFullPath:
        return PANEL_MSG_FOLDER_NOT_FULL_PATH;
    default: {
        const std::wstring reason =
            check == DumpFolderCheck::ForeignOwner ? L"belongs to " + ownerAccount : PlaceDescription(check);
        return FormatText(PANEL_MSG_FOLDER_NOT_FOR_EVERYONE, reason.c_str(), DumpFolderOnDisk(trimmedText).c_str());
    }
    }
}

std::wstring FolderOwnerToConfirm(const std::wstring& trimmedText, bool setAcl)
{
    std::wstring ownerAccount;
    if (trimmedText.empty() || setAcl ||
        JudgeDumpFolderOwner(DumpFolderOnDisk(trimmedText).c_str(), ownerAccount) != ERROR_FOLDER_FOREIGN_OWNER)
        return std::wstring();
    return ownerAccount;
}
