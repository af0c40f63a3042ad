// The dump folders on disk: who may write there and who owns them.
#include "model/checks/check_list.h"

#include <map>

#include "model/checks/check_reads.h"
#include "model/checks/folder_security.h"
#include "model/dump_folder_judgement.h"
#include "model/dump_folder_path.h"
#include "model/stored_values.h"
#include "model/text_utils.h"

namespace {

// References that the service expands in the crashing program's own profile.
const wchar_t* const PER_USER_REFERENCES[] = {L"%LOCALAPPDATA%", L"%APPDATA%", L"%USERPROFILE%", L"%TEMP%",
                                              L"%TMP%"};

bool HasPerUserReference(const std::wstring& text)
{
    for (const wchar_t* reference : PER_USER_REFERENCES) {
        const std::wstring wanted = reference;
        for (size_t at = text.find(L'%'); at != std::wstring::npos; at = text.find(L'%', at + 1)) {
            if (SameFolderPath(text.substr(at, wanted.size()), wanted))
                return true;
        }
    }
    return false;
}

// Where a stored folder text leads on disk for every user alike; false for a text with a per-user
// reference, one that is not a full path, or one on a network share.
bool SharedFolderOnDisk(const std::wstring& text, std::wstring& path)
{
    if (HasPerUserReference(text))
        return false;
    path = DumpFolderOnDisk(text);
    // The check runs at every load on the window's thread: a folder on a network share is left
    // alone, since a server that does not answer would hold the window for the network's time-out
    // (and its owner and permissions are the server's business).
    return IsFullFolderPath(path) && path.compare(0, 2, L"\\\\") != 0;
}

struct FolderUse {
    std::wstring text;                // as stored
    std::vector<std::wstring> users;  // "the global settings", program names
};

// Each folder text that the settings name, once (texts compared without regard to case), with
// whoever uses it.
std::vector<FolderUse> FoldersInUse(const StoredState& stored)
{
    std::vector<FolderUse> uses;
    std::map<std::wstring, size_t> byText;
    auto add = [&](const DumpSettings& settings, const std::wstring& user) {
        if (!settings.hasFolder || settings.folder.empty())
            return;
        std::wstring key = settings.folder;
        ::CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
        auto found = byText.find(key);
        if (found == byText.end()) {
            found = byText.emplace(key, uses.size()).first;
            uses.push_back({settings.folder, {}});
        }
        uses[found->second].users.push_back(user);
    };
    add(SettingsFromValues(stored.global), L"the global settings");
    for (const StoredKey& program : stored.programs)
        add(SettingsFromValues(program.values), program.name);
    return uses;
}

}  // namespace

void CheckFolderWritableByUsers(const StoredState& stored, CheckFindings& findings)
{
    const DumpSettings global = SettingsFromValues(stored.global);
    std::wstring path;
    FolderSecurity security;
    if (!global.hasFolder || !SharedFolderOnDisk(global.folder, path) ||
        ReadFolderSecurity(path, security) != ERROR_SUCCESS || StandardUsersMayAddFiles(security.dacl))
        return;
    findings.push_back(
        {L"Standard users cannot write to the dump folder", path,
         FormatText(L"The dump folder %s exists, and its permissions, inherited ones included, let neither "
                    L"Everyone nor Users nor Authenticated Users add files to it. A program that a standard user "
                    L"runs loses its dump there; only programs of administrators and services leave one.%s"
                    L"Check \"Set up ACL on dump folder for `Everyone` to have read-write access\" and save, or "
                    L"choose a folder that standard users may write to.",
                    path.c_str(), PARAGRAPH)});
}

void CheckFolderOwners(const StoredState& stored, CheckFindings& findings)
{
    for (const FolderUse& use : FoldersInUse(stored)) {
        std::wstring path;
        FolderSecurity security;
        if (!SharedFolderOnDisk(use.text, path) || ReadFolderSecurity(path, security) != ERROR_SUCCESS ||
            IsTrustedOwner(security.owner))
            continue;
        const std::wstring account = AccountName(security.owner);
        findings.push_back(
            {L"The dump folder belongs to " + account, path,
             FormatText(L"The dump folder %s (used by %s) belongs to %s. That account can read every dump written "
                        L"there, with the memory of the programs that crashed, and can change who may write "
                        L"there.%sGive the folder to the Administrators from an elevated command prompt:%s"
                        L"icacls \"%s\" /setowner *S-1-5-32-544",
                        path.c_str(), NameList(use.users).c_str(), account.c_str(), PARAGRAPH, PARAGRAPH,
                        path.c_str())});
    }
}

void CheckPerUserFolder(const StoredState& stored, CheckFindings& findings)
{
    const DumpSettings global = SettingsFromValues(stored.global);
    const bool set = global.hasFolder && !global.folder.empty();
    if (!stored.keyExists || (set && !HasPerUserReference(global.folder)))
        return;
    const std::wstring where =
        set ? L"The global dump folder " + global.folder + L" refers to the profile of the user whose program crashed"
            : std::wstring(L"The global dump folder is not set, so Windows uses %LOCALAPPDATA%\\CrashDumps of the "
                           L"user whose program crashed");
    findings.push_back(
        {L"Each user's dumps go to that user's own profile", set ? global.folder : std::wstring(L"no global folder"),
         where + FormatText(L": the dumps of each user end up in a folder of their own. Services running as SYSTEM "
                            L"write into the system profile, "
                            L"%%SystemRoot%%\\System32\\config\\systemprofile\\AppData\\Local\\CrashDumps.%sTo "
                            L"collect every dump in one place, set a folder such as C:\\CrashDumps.",
                            PARAGRAPH),
         true});
}
