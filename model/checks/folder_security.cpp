#include "model/checks/folder_security.h"

#include <aclapi.h>
#include <sddl.h>

#include "framework/system_calls.h"
#include "model/dump_folder_judgement.h"
#include "model/native_folders.h"

namespace {

// Everyone, Users, Authenticated Users.
const wchar_t* const STANDARD_USER_GROUPS[] = {L"S-1-1-0", L"S-1-5-32-545", L"S-1-5-11"};
const size_t GROUP_COUNT = sizeof(STANDARD_USER_GROUPS) / sizeof(STANDARD_USER_GROUPS[0]);

// The group of the entry's SID, or -1.
int GroupOf(PSID sid)
{
    for (size_t i = 0; i < GROUP_COUNT; ++i) {
        if (IsSid(sid, STANDARD_USER_GROUPS[i]))
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

DWORD ReadFolderSecurity(const std::wstring& path, FolderSecurity& security)
{
    const DWORD attributes = InNativeFileSystem([&]() { return Sys().GetFileAttributesW(path.c_str()); });
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ::GetLastError();
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_DIRECTORY;
    const HANDLE handle = InNativeFileSystem([&]() {
        return Sys().CreateFileW(path.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    });
    if (handle == INVALID_HANDLE_VALUE)
        return ::GetLastError();
    unique_hfile folder(handle);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD code = Sys().GetSecurityInfo(folder.get(), SE_FILE_OBJECT,
                                             OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &security.owner,
                                             nullptr, &security.dacl, nullptr, &descriptor);
    if (code == ERROR_SUCCESS)
        security.descriptor.reset(descriptor);
    return code;
}

bool StandardUsersMayAddFiles(PACL dacl)
{
    if (!dacl)
        return true;
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    // A standard user belongs to all three groups, so an entry that denies one of them denies him.
    bool denied = false;
    for (WORD i = 0; i < dacl->AceCount; ++i) {
        void* raw = nullptr;
        if (!Sys().GetAce(dacl, i, &raw))
            continue;
        const ACCESS_ALLOWED_ACE* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
        const BYTE type = ace->Header.AceType;
        if ((type != ACCESS_ALLOWED_ACE_TYPE && type != ACCESS_DENIED_ACE_TYPE) ||
            (ace->Header.AceFlags & INHERIT_ONLY_ACE))
            continue;
        ACCESS_MASK mask = ace->Mask;
        ::MapGenericMask(&mask, &mapping);
        if (GroupOf(const_cast<DWORD*>(&ace->SidStart)) < 0 || !(mask & FILE_ADD_FILE))
            continue;
        if (type == ACCESS_DENIED_ACE_TYPE)
            denied = true;
        else if (!denied)
            return true;
    }
    return false;
}
