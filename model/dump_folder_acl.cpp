#include "model/dump_folder_acl.h"

#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "model/dump_folder_judgement.h"
#include "model/dump_folder_path.h"
#include "model/native_folders.h"

namespace {

// What the securing and the judging open a folder for.
const DWORD ACCESS_TO_SECURE = READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY;
const DWORD ACCESS_TO_JUDGE = READ_CONTROL | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY;

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

// Checks the open folder and, when its own list lacks an entry (`plan.missing`), judges whether it
// may be opened to everyone. A folder whose own list grants every entry already is left alone,
// whatever it holds.
DWORD JudgeFolder(HANDLE folder, const std::wstring& path, FolderPlan& plan)
{
    DWORD code = CheckFolderItself(folder, path);
    if (code == ERROR_SUCCESS)
        code = PlanFolderList(folder, plan);
    if (code != ERROR_SUCCESS || plan.missing.empty())
        return code;
    return JudgeOpenFolder(folder, plan.owner);
}

DWORD SecureFolder(const std::wstring& path, bool madeNow)
{
    unique_hfile folder;
    DWORD code = OpenFolder(path, ACCESS_TO_SECURE | (madeNow ? DELETE : 0), true, folder);
    if (code != ERROR_SUCCESS)
        return code;
    FolderPlan plan;
    code = JudgeFolder(folder.get(), path, plan);
    if (code == ERROR_SUCCESS && !plan.missing.empty())
        code = SetFolderList(folder.get(), plan);
    if (code != ERROR_SUCCESS && madeNow) {
        // The folder this save made is taken back through the handle that found it wrong, wherever
        // a link may have put it; it goes when the handle closes.
        FILE_DISPOSITION_INFO disposition = {TRUE};
        Sys().SetFileInformationByHandle(folder.get(), FileDispositionInfo, &disposition, sizeof(disposition));
    }
    return code;
}

}  // namespace

bool ApplyDumpFolderAcl(const wchar_t* folder, bool madeNow)
{
    if (!folder || !*folder) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const DWORD code = SecureFolder(folder, madeNow);
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

bool CheckDumpFolderParent(const wchar_t* folder)
{
    const std::wstring parent = ParentFolderPath(ComparableFolderPath(folder ? folder : L""));
    DWORD code = ERROR_SUCCESS;
    if (!parent.empty()) {
        unique_hfile handle;
        code = OpenFolder(parent, FILE_READ_ATTRIBUTES, false, handle);
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            code = ERROR_SUCCESS;  // creating the folder will tell
        else if (code == ERROR_SUCCESS)
            code = CheckFinalPath(handle.get(), parent);
    }
    ::SetLastError(code);
    return code == ERROR_SUCCESS;
}
