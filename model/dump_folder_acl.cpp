#include "model/dump_folder_acl.h"

#include <sddl.h>

#include <string>

#include "framework/system_calls.h"
#include "framework/unique_handles.h"

namespace {

DWORD SetFolderDacl(const wchar_t* folder, PSECURITY_DESCRIPTOR descriptor)
{
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!Sys().GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted))
        return ::GetLastError();
    if (!dacl)
        return ERROR_INVALID_ACL;

    std::wstring name = folder;  // the call takes a writable name
    return Sys().SetNamedSecurityInfoW(&name[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                                       nullptr);
}

}  // namespace

bool ApplyDumpFolderAcl(const wchar_t* folder)
{
    if (!folder || !*folder) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }

    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!Sys().ConvertStringSecurityDescriptorToSecurityDescriptorW(DUMP_FOLDER_SDDL, SDDL_REVISION_1, &descriptor,
                                                                    nullptr))
        return false;

    unique_local_mem owner(descriptor);
    DWORD code = SetFolderDacl(folder, descriptor);
    owner.reset();
    ::SetLastError(code);
    return code == ERROR_SUCCESS;
}
