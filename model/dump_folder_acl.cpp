#include "model/dump_folder_acl.h"

#include <aclapi.h>
#include <sddl.h>
#include <winternl.h>

#include <string>
#include <vector>

#include "app/platform_values.h"
#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "model/dump_folder_judgement.h"
#include "model/dump_folder_path.h"
#include "model/native_folders.h"

namespace {

// What the securing and the judging open a folder for.
const DWORD ACCESS_TO_SECURE = READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY;
const DWORD ACCESS_TO_JUDGE = READ_CONTROL | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY;
// A folder this save makes is held open from its creation on, for judging, securing and, when it
// is refused or the value naming it cannot be written, taking it back.
const DWORD ACCESS_TO_MAKE = ACCESS_TO_SECURE | DELETE | SYNCHRONIZE;
// The folder that a new folder is made in.
const DWORD ACCESS_TO_MAKE_IN = FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;

// Opens a folder, in the native file system. With `itself`, a link is opened as the link, not as
// its target.
DWORD OpenFolder(const std::wstring& path, DWORD access, bool itself, unique_hfile& folder)
{
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (itself ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    HANDLE handle = InNativeFileSystem([&]() {
        return Sys().CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, flags, nullptr);
    });
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

typedef std::vector<ACCESS_ALLOWED_ACE*> Entries;

// The entries of a list, in order (an entry of any type starts with the same header). An entry
// that cannot be read fails the whole list: a list copied without it would lose it silently.
DWORD EntriesOf(PACL acl, Entries& entries)
{
    entries.clear();
    for (WORD i = 0; acl && i < acl->AceCount; ++i) {
        void* raw = nullptr;
        if (!Sys().GetAce(acl, i, &raw))
            return ::GetLastError();
        entries.push_back(static_cast<ACCESS_ALLOWED_ACE*>(raw));
    }
    return ERROR_SUCCESS;
}

bool IsOwnEntry(const ACCESS_ALLOWED_ACE* ace)
{
    return !(ace->Header.AceFlags & INHERITED_ACE);
}

// An entry of the folder's own (not inherited) list that already allows `wanted` to `sid`.
bool HasOwnAllowEntry(const Entries& current, PSID sid, ACCESS_MASK wanted)
{
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    for (ACCESS_ALLOWED_ACE* ace : current) {
        if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || !IsOwnEntry(ace) ||
            (ace->Header.AceFlags & INHERIT_ONLY_ACE))
            continue;
        ACCESS_MASK mask = ace->Mask;
        ::MapGenericMask(&mask, &mapping);
        if ((mask & wanted) == wanted && ::EqualSid(&ace->SidStart, sid))
            return true;
    }
    return false;
}

// A folder's security as it is now, and the entries of DUMP_FOLDER_SDDL that its own list lacks.
struct FolderPlan {
    unique_local_mem wantedDescriptor;
    unique_local_mem currentDescriptor;
    PACL current = nullptr;  // null: no DACL at all, everyone has every right already
    PSID owner = nullptr;
    Entries currentEntries;
    Entries missing;
};

DWORD PlanFolderList(HANDLE folder, FolderPlan& plan)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!Sys().ConvertStringSecurityDescriptorToSecurityDescriptorW(DUMP_FOLDER_SDDL, SDDL_REVISION_1, &descriptor,
                                                                    nullptr))
        return ::GetLastError();
    plan.wantedDescriptor.reset(descriptor);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL wanted = nullptr;
    if (!Sys().GetSecurityDescriptorDacl(descriptor, &present, &wanted, &defaulted))
        return ::GetLastError();
    if (!wanted)
        return ERROR_INVALID_ACL;

    descriptor = nullptr;
    const DWORD code = Sys().GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                             &plan.owner, nullptr, &plan.current, nullptr, &descriptor);
    if (code != ERROR_SUCCESS)
        return code;
    plan.currentDescriptor.reset(descriptor);
    if (!plan.current)
        return ERROR_SUCCESS;

    Entries wantedEntries;
    DWORD listed = EntriesOf(wanted, wantedEntries);
    if (listed == ERROR_SUCCESS)
        listed = EntriesOf(plan.current, plan.currentEntries);
    if (listed != ERROR_SUCCESS)
        return listed;
    for (ACCESS_ALLOWED_ACE* ace : wantedEntries) {
        if (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            !HasOwnAllowEntry(plan.currentEntries, &ace->SidStart, ace->Mask))
            plan.missing.push_back(ace);
    }
    return ERROR_SUCCESS;
}

// The folder's list with the missing entries added after its last own entry, which keeps the usual
// order (own denials, own grants, inherited ones).
DWORD ListWithMissingEntries(const FolderPlan& plan, std::vector<BYTE>& list)
{
    DWORD added = 0;
    for (ACCESS_ALLOWED_ACE* ace : plan.missing)
        added += ace->Header.AceSize;
    const BYTE revision = plan.current->AclRevision > ACL_REVISION ? plan.current->AclRevision : ACL_REVISION;
    std::vector<BYTE> buffer(plan.current->AclSize + added);
    PACL updated = reinterpret_cast<PACL>(buffer.data());
    if (!::InitializeAcl(updated, static_cast<DWORD>(buffer.size()), revision))
        return ::GetLastError();  // beyond the largest list a folder can have

    size_t ownEnd = 0;  // one past the last own entry
    for (size_t i = 0; i < plan.currentEntries.size(); ++i) {
        if (IsOwnEntry(plan.currentEntries[i]))
            ownEnd = i + 1;
    }
    auto add = [&](ACCESS_ALLOWED_ACE* ace) {
        return Sys().AddAce(updated, revision, MAXDWORD, ace, ace->Header.AceSize) != FALSE;
    };
    for (size_t i = 0; i <= plan.currentEntries.size(); ++i) {
        if (i == ownEnd) {
            for (ACCESS_ALLOWED_ACE* ace : plan.missing) {
                if (!add(ace))
                    return ::GetLastError();
            }
        }
        if (i < plan.currentEntries.size() && !add(plan.currentEntries[i]))
            return ::GetLastError();
    }
    list.swap(buffer);
    return ERROR_SUCCESS;
}

// Gives the open folder the planned list. The descriptor handed over carries the DACL and its
// protection and inheritance bits only, and goes to the folder alone: unlike the higher-level
// security functions, this call walks no tree below the folder.
DWORD SetFolderList(HANDLE folder, const FolderPlan& plan)
{
    std::vector<BYTE> list;
    const DWORD listed = ListWithMissingEntries(plan, list);
    if (listed != ERROR_SUCCESS)
        return listed;

    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(plan.currentDescriptor.get(), &control, &revision);
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

// Checks the open folder and judges whether it may be opened to everyone. Its owner is judged in
// every case: whoever owns the folder that every program's dumps go to may change its permissions
// and read them all. Only what it holds is not judged when its own list grants every entry already.
DWORD JudgeFolder(HANDLE folder, const std::wstring& path, FolderPlan& plan)
{
    DWORD code = CheckFolderItself(folder, path);
    if (code == ERROR_SUCCESS)
        code = PlanFolderList(folder, plan);
    if (code != ERROR_SUCCESS)
        return code;
    return JudgeOpenFolder(folder, plan.owner, !plan.missing.empty());
}

// A folder this save made goes again through its own handle, wherever a link may have put it; the
// system removes it when the last handle closes, and only when it is empty.
void TakeBack(HANDLE made)
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    Sys().SetFileInformationByHandle(made, FileDispositionInfo, &disposition, sizeof(disposition));
}

DWORD SecureFolder(const std::wstring& path, HANDLE made)
{
    unique_hfile opened;
    if (!made) {
        const DWORD code = OpenFolder(path, ACCESS_TO_SECURE, true, opened);
        if (code != ERROR_SUCCESS)
            return code;
    }
    const HANDLE folder = made ? made : opened.get();
    FolderPlan plan;
    DWORD code = JudgeFolder(folder, path, plan);
    if (code == ERROR_SUCCESS && !plan.missing.empty())
        code = SetFolderList(folder, plan);
    if (code != ERROR_SUCCESS && made)
        TakeBack(made);
    return code;
}

// Makes `name` in the open folder `parent`, through that handle: whatever is put at the parent's
// path meanwhile, the folder lands where the parent was found. A link of that name is not followed.
DWORD MakeFolderIn(HANDLE parent, const std::wstring& name, unique_hfile& made)
{
    UNICODE_STRING objectName;
    objectName.Buffer = const_cast<wchar_t*>(name.c_str());
    objectName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    objectName.MaximumLength = objectName.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, parent, nullptr);
    IO_STATUS_BLOCK io = {};
    HANDLE handle = nullptr;
    const NTSTATUS status = InNativeFileSystem([&]() {
        return Sys().NtCreateFile(&handle, ACCESS_TO_MAKE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_CREATE,
                                  FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT,
                                  nullptr, 0);
    });
    if (status != 0)
        return StatusToWin32Error(status);
    made.reset(handle);
    return ERROR_SUCCESS;
}

}  // namespace

bool ApplyDumpFolderAcl(const wchar_t* folder, HANDLE made)
{
    if (!folder || !*folder) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const DWORD code = SecureFolder(folder, made);
    ::SetLastError(code);
    return code == ERROR_SUCCESS;
}

DWORD JudgeDumpFolder(const wchar_t* folder, std::wstring& ownerAccount)
{
    unique_hfile handle;
    DWORD code = OpenFolder(folder, ACCESS_TO_JUDGE, true, handle);
    FolderPlan plan;
    if (code == ERROR_SUCCESS)
        code = JudgeFolder(handle.get(), folder, plan);
    if (code == ERROR_FOLDER_FOREIGN_OWNER)
        ownerAccount = AccountName(plan.owner);
    return code;
}

DWORD JudgeDumpFolderOwner(const wchar_t* folder, std::wstring& ownerAccount)
{
    unique_hfile handle;
    DWORD code = OpenFolder(folder, READ_CONTROL, false, handle);
    if (code != ERROR_SUCCESS)
        return code;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    code = Sys().GetSecurityInfo(handle.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                 nullptr, &descriptor);
    unique_local_mem kept(descriptor);
    if (code != ERROR_SUCCESS)
        return code;
    if (IsTrustedOwner(owner))
        return ERROR_SUCCESS;
    ownerAccount = AccountName(owner);
    return ERROR_FOLDER_FOREIGN_OWNER;
}

DWORD MakeDumpFolder(const wchar_t* folder, bool parentWithoutLink, unique_hfile& made, bool& parentFailed)
{
    parentFailed = false;
    const std::wstring path = ComparableFolderPath(folder ? folder : L"");
    const std::wstring parentPath = ParentFolderPath(path);
    if (parentPath.empty()) {
        // A root is there or cannot be made.
        const DWORD attributes = InNativeFileSystem([&]() { return Sys().GetFileAttributesW(path.c_str()); });
        return attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : ERROR_ALREADY_EXISTS;
    }
    unique_hfile parent;
    DWORD code = OpenFolder(parentPath, ACCESS_TO_MAKE_IN, false, parent);
    if (code == ERROR_FILE_NOT_FOUND)
        code = ERROR_PATH_NOT_FOUND;  // the folder's path, not the folder, is missing
    if (code == ERROR_SUCCESS && parentWithoutLink)
        code = CheckFinalPath(parent.get(), parentPath);
    parentFailed = code != ERROR_SUCCESS && code != ERROR_PATH_NOT_FOUND;
    if (code == ERROR_SUCCESS)
        code = MakeFolderIn(parent.get(), path.substr(path.find_last_of(L'\\') + 1), made);
    return code;
}

void TakeBackDumpFolder(HANDLE made)
{
    if (made)
        TakeBack(made);
}
