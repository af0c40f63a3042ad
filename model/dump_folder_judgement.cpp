#include "model/dump_folder_judgement.h"

#include <sddl.h>

#include <vector>

#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "model/dump_folder_path.h"

namespace {

const wchar_t* const TRUSTED_OWNERS[] = {
    L"S-1-5-32-544",  // Administrators
    L"S-1-5-18",      // SYSTEM
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
};

// The account running this program: the TOKEN_USER of its token, in `user`.
bool ReadCurrentUser(std::vector<BYTE>& user)
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    unique_hfile owner(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    user.assign(size ? size : 1, 0);
    return ::GetTokenInformation(token, TokenUser, user.data(), size, &size) != FALSE;
}

PSID UserSid(std::vector<BYTE>& user)
{
    return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}

bool IsCurrentUser(PSID sid)
{
    std::vector<BYTE> user;
    return ReadCurrentUser(user) && ::EqualSid(sid, UserSid(user));
}

}  // namespace

bool IsSid(PSID sid, const wchar_t* text)
{
    PSID other = nullptr;
    if (!::ConvertStringSidToSidW(text, &other))
        return false;
    const bool same = ::EqualSid(sid, other) != FALSE;
    ::LocalFree(other);
    return same;
}

std::wstring CurrentUserSidText()
{
    std::vector<BYTE> user;
    wchar_t* text = nullptr;
    if (!ReadCurrentUser(user) || !::ConvertSidToStringSidW(UserSid(user), &text))
        return std::wstring();
    unique_local_mem textOwner(text);
    return text;
}

bool IsTrustedOwner(PSID owner)
{
    if (!owner || !::IsValidSid(owner))
        return false;
    for (const wchar_t* trusted : TRUSTED_OWNERS) {
        if (IsSid(owner, trusted))
            return true;
    }
    return IsCurrentUser(owner);
}

namespace {

// A dump file: a plain file named "*.dmp" ("x.dmp", not ".dmp" alone), not a link to something else.
bool IsDumpFile(const std::wstring& name, DWORD attributes)
{
    return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) && name.size() > 4 &&
           SameFolderPath(name.substr(name.size() - 4), L".dmp");
}

// Walks the folder's entries through its handle.
DWORD CheckContents(HANDLE folder)
{
    std::vector<DWORD> buffer(16 * 1024);  // DWORD-aligned, as the entries must be
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!Sys().GetFileInformationByHandleEx(folder, kind, buffer.data(),
                                                static_cast<DWORD>(buffer.size() * sizeof(DWORD)))) {
            const DWORD code = ::GetLastError();
            return code == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : code;
        }
        kind = FileIdBothDirectoryInfo;
        const BYTE* at = reinterpret_cast<const BYTE*>(buffer.data());
        for (;;) {
            const FILE_ID_BOTH_DIR_INFO* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L".." && !IsDumpFile(name, entry->FileAttributes))
                return ERROR_FOLDER_HOLDS_OTHER_FILES;
            if (entry->NextEntryOffset == 0)
                break;
            at += entry->NextEntryOffset;
        }
    }
}

}  // namespace

DWORD JudgeOpenFolder(HANDLE folder, PSID owner, bool contents)
{
    if (!IsTrustedOwner(owner))
        return ERROR_FOLDER_FOREIGN_OWNER;
    return contents ? CheckContents(folder) : ERROR_SUCCESS;
}

std::wstring AccountName(PSID sid)
{
    if (!sid || !::IsValidSid(sid))
        return L"an unknown account";
    wchar_t name[256] = {};
    wchar_t domain[256] = {};
    DWORD nameSize = 256;
    DWORD domainSize = 256;
    SID_NAME_USE use = SidTypeUnknown;
    if (::LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
        return *domain ? std::wstring(domain) + L"\\" + name : std::wstring(name);
    wchar_t* text = nullptr;
    std::wstring result;
    if (::ConvertSidToStringSidW(sid, &text))
        result = text;
    ::LocalFree(text);
    return result;
}
