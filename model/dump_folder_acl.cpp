#include "model/dump_folder_acl.h"

#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "model/dump_folder_path.h"

namespace {

// Opens a folder for reading its attributes and changing its DACL. With `itself`, a link is
// opened as the link, not as its target.
DWORD OpenFolder(const std::wstring& path, bool itself, unique_hfile& folder)
{
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (itself ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const DWORD access = itself ? (READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES) : FILE_READ_ATTRIBUTES;
    HANDLE handle = Sys().CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return ::GetLastError();
    folder.reset(handle);
    return ERROR_SUCCESS;
}

// Whether the open folder is the one its path names: its final path, with every link resolved,
// must be that path.
DWORD CheckFinalPath(HANDLE folder, const std::wstring& path)
{
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    DWORD length = Sys().GetFinalPathNameByHandleW(folder, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length >= buffer.size()) {
        buffer.assign(length + 1, L'\0');
        length = Sys().GetFinalPathNameByHandleW(folder, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    if (length == 0)
        return ::GetLastError();
    if (length >= buffer.size())
        return ERROR_FOLDER_THROUGH_LINK;
    const std::wstring final = ComparableFolderPath(std::wstring(buffer.data(), length));
    return SameFolderPath(final, ComparableFolderPath(path)) ? ERROR_SUCCESS : ERROR_FOLDER_THROUGH_LINK;
}

DWORD CheckFolderItself(HANDLE folder, const std::wstring& path)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!Sys().GetFileInformationByHandle(folder, &info))
        return ::GetLastError();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return ERROR_FOLDER_THROUGH_LINK;
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_DIRECTORY;
    return CheckFinalPath(folder, path);
}

// The entries of a list, in order (an entry of any type starts with the same header).
std::vector<ACCESS_ALLOWED_ACE*> EntriesOf(PACL acl)
{
    std::vector<ACCESS_ALLOWED_ACE*> entries;
    for (WORD i = 0; acl && i < acl->AceCount; ++i) {
        void* raw = nullptr;
        if (::GetAce(acl, i, &raw))
            entries.push_back(static_cast<ACCESS_ALLOWED_ACE*>(raw));
    }
    return entries;
}

// An entry of the folder's own (not inherited) list that already allows `wanted` to `sid`.
bool HasOwnAllowEntry(PACL dacl, PSID sid, ACCESS_MASK wanted)
{
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    for (ACCESS_ALLOWED_ACE* ace : EntriesOf(dacl)) {
        if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
            (ace->Header.AceFlags & (INHERITED_ACE | INHERIT_ONLY_ACE)))
            continue;
        ACCESS_MASK mask = ace->Mask;
        ::MapGenericMask(&mask, &mapping);
        if ((mask & wanted) == wanted && ::EqualSid(&ace->SidStart, sid))
            return true;
    }
    return false;
}

// The folder's list with the missing allow entries of `wanted` added after its own entries and
// before the inherited ones, which keeps the usual order (own denials, own grants, inherited ones).
// `list` stays empty when nothing is missing.
DWORD ListWithMissingEntries(PACL current, PACL wanted, std::vector<BYTE>& list)
{
    std::vector<ACCESS_ALLOWED_ACE*> missing;
    DWORD added = 0;
    for (ACCESS_ALLOWED_ACE* ace : EntriesOf(wanted)) {
        if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || HasOwnAllowEntry(current, &ace->SidStart, ace->Mask))
            continue;
        missing.push_back(ace);
        added += ace->Header.AceSize;
    }
    list.clear();
    if (missing.empty())
        return ERROR_SUCCESS;

    const BYTE revision = current->AclRevision > ACL_REVISION ? current->AclRevision : ACL_REVISION;
    std::vector<BYTE> buffer(current->AclSize + added);
    PACL updated = reinterpret_cast<PACL>(buffer.data());
    if (!::InitializeAcl(updated, static_cast<DWORD>(buffer.size()), revision))
        return ::GetLastError();  // beyond the largest list a folder can have

    auto addMissing = [&]() {
        for (ACCESS_ALLOWED_ACE* ace : missing)
            ::AddAce(updated, revision, MAXDWORD, ace, ace->Header.AceSize);
        missing.clear();
    };
    for (ACCESS_ALLOWED_ACE* ace : EntriesOf(current)) {
        if (ace->Header.AceFlags & INHERITED_ACE)
            addMissing();
        ::AddAce(updated, revision, MAXDWORD, ace, ace->Header.AceSize);
    }
    addMissing();
    list.swap(buffer);
    return ERROR_SUCCESS;
}

// Adds what is missing of `wanted` to the folder's DACL through the handle. The descriptor handed
// over carries the DACL and its protection and inheritance bits only, and goes to the folder alone:
// unlike the higher-level security functions, this call walks no tree below the folder.
DWORD AddMissingEntries(HANDLE folder, PACL wanted)
{
    PACL current = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD code = Sys().GetSecurityInfo(folder, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                             &current, nullptr, &descriptor);
    if (code != ERROR_SUCCESS)
        return code;
    unique_local_mem owner(descriptor);
    if (!current)
        return ERROR_SUCCESS;  // no DACL at all: everyone has every right already

    std::vector<BYTE> list;
    const DWORD listed = ListWithMissingEntries(current, wanted, list);
    if (listed != ERROR_SUCCESS || list.empty())
        return listed;  // a failure, or every entry is there already

    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(descriptor, &control, &revision);
    const SECURITY_DESCRIPTOR_CONTROL kept = SE_DACL_AUTO_INHERITED | SE_DACL_PROTECTED;
    SECURITY_DESCRIPTOR updated;
    if (!::InitializeSecurityDescriptor(&updated, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(&updated, TRUE, reinterpret_cast<PACL>(list.data()), FALSE) ||
        !::SetSecurityDescriptorControl(&updated, kept, control & kept))
        return ::GetLastError();
    if (!Sys().SetKernelObjectSecurity(folder, DACL_SECURITY_INFORMATION, &updated))
        return ::GetLastError();
    return ERROR_SUCCESS;
}

DWORD SecureFolder(const std::wstring& path)
{
    unique_hfile folder;
    DWORD code = OpenFolder(path, true, folder);
    if (code == ERROR_SUCCESS)
        code = CheckFolderItself(folder.get(), path);
    if (code != ERROR_SUCCESS)
        return code;

    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!Sys().ConvertStringSecurityDescriptorToSecurityDescriptorW(DUMP_FOLDER_SDDL, SDDL_REVISION_1, &descriptor,
                                                                    nullptr))
        return ::GetLastError();
    unique_local_mem owner(descriptor);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL wanted = nullptr;
    if (!Sys().GetSecurityDescriptorDacl(descriptor, &present, &wanted, &defaulted))
        return ::GetLastError();
    if (!wanted)
        return ERROR_INVALID_ACL;
    return AddMissingEntries(folder.get(), wanted);
}

}  // namespace

bool ApplyDumpFolderAcl(const wchar_t* folder)
{
    if (!folder || !*folder) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const DWORD code = SecureFolder(folder);
    ::SetLastError(code);
    return code == ERROR_SUCCESS;
}

bool CheckDumpFolderParent(const wchar_t* folder)
{
    const std::wstring parent = ParentFolderPath(ComparableFolderPath(folder ? folder : L""));
    DWORD code = ERROR_SUCCESS;
    if (!parent.empty()) {
        unique_hfile handle;
        code = OpenFolder(parent, false, handle);
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            code = ERROR_SUCCESS;  // creating the folder will tell
        else if (code == ERROR_SUCCESS)
            code = CheckFinalPath(handle.get(), parent);
    }
    ::SetLastError(code);
    return code == ERROR_SUCCESS;
}
