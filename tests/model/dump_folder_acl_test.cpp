// Securing a dump folder: never through a link, adding to the folder's own list instead of
// replacing it, with read-write rights only. Real folders and real links of the test prefix; the
// list handed to the system is read through the seam, since Wine keeps only part of it on disk.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include "model/dump_folder_acl.h"
#include "model/dump_folder_path.h"
#include "model/error_text.h"
#include "model/registry_layout.h"
#include "model/settings_key_writer.h"
#include "model/text_utils.h"
#include "tests/model/store_test_support.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring APP_KEY = ProgramKeyPath(L"app.exe");
const wchar_t* const ACL_FAILED = L"ERROR: Failed to set ACL on folder:\n\n%s\n\n(%d) %s";

// Made by the test command: a symbolic link C:\kestrune-link to the folder C:\kestrune-link-target.
const std::wstring LINK = L"C:\\kestrune-link";
const std::wstring LINK_TARGET = L"C:\\kestrune-link-target";

// Read, write, traverse and delete-child; no WRITE_DAC, WRITE_OWNER or DELETE.
const ACCESS_MASK DUMP_RIGHTS = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_TRAVERSE | FILE_DELETE_CHILD;

std::wstring AclMessage(const std::wstring& folder, DWORD code)
{
    return FormatText(ACL_FAILED, folder.c_str(), static_cast<int>(code), ErrorText(code).c_str());
}

struct Ace {
    BYTE type;
    BYTE flags;
    ACCESS_MASK mask;
    std::wstring sid;
    bool operator==(const Ace& o) const { return type == o.type && flags == o.flags && mask == o.mask && sid == o.sid; }
};

std::ostream& operator<<(std::ostream& out, const Ace& ace)
{
    return out << "{type " << int(ace.type) << ", flags " << int(ace.flags) << ", mask " << std::hex << ace.mask
               << std::dec << ", " << Narrow(ace.sid) << "}";
}

std::vector<Ace> AcesOf(PACL dacl)
{
    std::vector<Ace> aces;
    for (WORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void* raw = nullptr;
        if (!::GetAce(dacl, i, &raw))
            continue;
        ACCESS_ALLOWED_ACE* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
        wchar_t* sid = nullptr;
        ::ConvertSidToStringSidW(&ace->SidStart, &sid);
        aces.push_back({ace->Header.AceType, ace->Header.AceFlags, ace->Mask, sid ? sid : L""});
        ::LocalFree(sid);
    }
    return aces;
}

// A DACL from entries, for a folder list that Wine cannot keep on disk.
std::vector<BYTE> MakeList(const std::vector<Ace>& aces)
{
    std::vector<BYTE> buffer(2048);
    PACL acl = reinterpret_cast<PACL>(buffer.data());
    ::InitializeAcl(acl, static_cast<DWORD>(buffer.size()), ACL_REVISION);
    for (const Ace& ace : aces) {
        PSID sid = nullptr;
        ::ConvertStringSidToSidW(ace.sid.c_str(), &sid);
        if (ace.type == ACCESS_DENIED_ACE_TYPE)
            ::AddAccessDeniedAceEx(acl, ACL_REVISION, ace.flags, ace.mask, sid);
        else
            ::AddAccessAllowedAceEx(acl, ACL_REVISION, ace.flags, ace.mask, sid);
        ::LocalFree(sid);
    }
    return buffer;
}

// A folder as the security calls see it: the list the next GetSecurityInfo hands out, and every
// descriptor that SetKernelObjectSecurity was given, which the next read then returns.
struct FakeFolderSecurity {
    std::vector<BYTE> list;
    std::wstring owner = L"S-1-5-32-544";
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    int sets = 0;
    SECURITY_INFORMATION lastInfo = 0;
    bool lastHadOwnerGroupOrSacl = false;
};
FakeFolderSecurity* g_fake = nullptr;

DWORD WINAPI FakeGetSecurityInfo(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID* owner, PSID*, PACL* dacl, PACL*,
                                 PSECURITY_DESCRIPTOR* descriptor)
{
    // Self-relative, in one LocalAlloc block, as the system hands it out.
    SECURITY_DESCRIPTOR absolute;
    ::InitializeSecurityDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION);
    PACL list = g_fake->list.empty() ? nullptr : reinterpret_cast<PACL>(g_fake->list.data());  // empty: no DACL
    ::SetSecurityDescriptorDacl(&absolute, TRUE, list, FALSE);
    const SECURITY_DESCRIPTOR_CONTROL bits = SE_DACL_PROTECTED | SE_DACL_AUTO_INHERITED;
    ::SetSecurityDescriptorControl(&absolute, bits, g_fake->control & bits);
    PSID ownerSid = nullptr;
    ::ConvertStringSidToSidW(g_fake->owner.c_str(), &ownerSid);
    ::SetSecurityDescriptorOwner(&absolute, ownerSid, FALSE);
    DWORD size = 0;
    ::MakeSelfRelativeSD(&absolute, nullptr, &size);
    *descriptor = ::LocalAlloc(LPTR, size);
    ::MakeSelfRelativeSD(&absolute, *descriptor, &size);
    BOOL present = FALSE, defaulted = FALSE;
    ::GetSecurityDescriptorDacl(*descriptor, &present, dacl, &defaulted);
    ::GetSecurityDescriptorOwner(*descriptor, owner, &defaulted);
    ::LocalFree(ownerSid);
    return ERROR_SUCCESS;
}

BOOL WINAPI FakeSetKernelObjectSecurity(HANDLE, SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR descriptor)
{
    ++g_fake->sets;
    g_fake->lastInfo = info;
    PSID owner = nullptr, group = nullptr;
    PACL dacl = nullptr, sacl = nullptr;
    BOOL present = FALSE, defaulted = FALSE, saclPresent = FALSE;
    ::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
    ::GetSecurityDescriptorGroup(descriptor, &group, &defaulted);
    ::GetSecurityDescriptorSacl(descriptor, &saclPresent, &sacl, &defaulted);
    g_fake->lastHadOwnerGroupOrSacl = owner || group || saclPresent;
    ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    g_fake->list.assign(reinterpret_cast<BYTE*>(dacl), reinterpret_cast<BYTE*>(dacl) + dacl->AclSize);
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(descriptor, &g_fake->control, &revision);
    return TRUE;
}

// Records what the real call is handed, then makes it.
decltype(SystemCalls::SetKernelObjectSecurity) g_belowSetSecurity = nullptr;
BOOL WINAPI RecordThenSetSecurity(HANDLE handle, SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR descriptor)
{
    FakeSetKernelObjectSecurity(handle, info, descriptor);
    return g_belowSetSecurity(handle, info, descriptor);
}

// The entries a save adds to a folder that has none of them: each group once.
std::vector<Ace> AddedEntries()
{
    return {{ACCESS_ALLOWED_ACE_TYPE, 0, DUMP_RIGHTS, L"S-1-1-0"},
            {ACCESS_ALLOWED_ACE_TYPE, 0, DUMP_RIGHTS, L"S-1-15-2-1"},
            {ACCESS_ALLOWED_ACE_TYPE, 0, DUMP_RIGHTS, L"S-1-15-2-2"}};
}

void MakeFile(const std::wstring& path)
{
    ::CloseHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
}

std::vector<Ace> RealFolderList(const std::wstring& folder)
{
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ::GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                            nullptr, &descriptor);
    std::vector<Ace> aces = AcesOf(dacl);
    ::LocalFree(descriptor);
    return aces;
}

class DumpFolderAcl : public LocalDumpsTest {};

}  // namespace

TEST_F(DumpFolderAcl, AFolderReachedThroughALinkIsRefusedAndTheTargetUntouched)
{
    ASSERT_NE(0u, ::GetFileAttributesW(LINK.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)
        << "the test command makes the link " << Narrow(LINK);
    const std::vector<Ace> targetList = RealFolderList(LINK_TARGET);
    struct Case {
        const char* what;
        std::wstring folder;
    } cases[] = {
        {"the folder itself is a link", LINK},
        {"a parent folder is a link", LINK + L"\\Dumps"},
    };
    for (const Case& c : cases) {
        SeamRecorder seam;
        std::wstring error;
        EXPECT_FALSE(WriteSettingsKey(APP_KEY.c_str(), MakeSettings(c.folder.c_str(), 2, -1, true), error)) << c.what;
        EXPECT_EQ(AclMessage(c.folder, ERROR_FOLDER_THROUGH_LINK), error) << c.what;
        EXPECT_EQ(0, seam.CountOf("SetKernelObjectSecurity")) << c.what;
        EXPECT_FALSE(FolderExists(LINK_TARGET + L"\\Dumps")) << c.what << ": nothing made in the target";
        EXPECT_FALSE(reg64::Get(APP_KEY, VALUE_DUMP_FOLDER).exists) << c.what;
        EXPECT_EQ(targetList, RealFolderList(LINK_TARGET)) << c.what;
    }

    // Without the ACL the folder is only created, where Windows itself resolves the text.
    std::wstring error;
    EXPECT_TRUE(WriteSettingsKey(APP_KEY.c_str(), MakeSettings((LINK + L"\\Dumps").c_str(), 2, -1, false), error));
    EXPECT_TRUE(FolderExists(LINK_TARGET + L"\\Dumps"));
    RemoveFolderTree(LINK_TARGET + L"\\Dumps");
}

TEST_F(DumpFolderAcl, MissingEntriesAreAddedToTheFolderList)
{
    TempFolder temp;
    const std::wstring folder = temp.Child(L"dumps");
    MakeFolder(folder);

    // A real folder: what the system lists now, then the three new entries.
    const std::vector<Ace> before = RealFolderList(folder);
    FakeFolderSecurity real;
    g_fake = &real;
    {
        SeamRecorder seam;
        g_belowSetSecurity = Sys().SetKernelObjectSecurity;
        Sys().SetKernelObjectSecurity = RecordThenSetSecurity;
        ASSERT_TRUE(ApplyDumpFolderAcl(folder.c_str()));
    }
    std::vector<Ace> expected = before;
    for (const Ace& ace : AddedEntries())
        expected.push_back(ace);
    ASSERT_EQ(1, real.sets);
    EXPECT_EQ(static_cast<SECURITY_INFORMATION>(DACL_SECURITY_INFORMATION), real.lastInfo);
    EXPECT_FALSE(real.lastHadOwnerGroupOrSacl);
    EXPECT_EQ(expected, AcesOf(reinterpret_cast<PACL>(real.list.data())));
    // What Wine keeps of it on disk: Everyone may now add files.
    ACCESS_MASK everyone = 0;
    for (const Ace& ace : RealFolderList(folder))
        everyone |= ace.sid == L"S-1-1-0" && ace.type == ACCESS_ALLOWED_ACE_TYPE ? ace.mask : 0;
    EXPECT_EQ(static_cast<ACCESS_MASK>(FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY),
              everyone & (FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY));

    // A folder with entries of its own, protected from inheritance: they all stay, in their order;
    // an own entry that already grants the rights is not added again, an inherited one does not
    // count; new entries come after the last own entry; a second save adds nothing, and so does
    // not refuse the folder for what it holds now.
    const Ace deny = {ACCESS_DENIED_ACE_TYPE, 0, FILE_WRITE_DATA, L"S-1-5-32-546"};
    const Ace admins = {ACCESS_ALLOWED_ACE_TYPE, CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE, FILE_ALL_ACCESS,
                        L"S-1-5-32-544"};
    const Ace everyoneReads = {ACCESS_ALLOWED_ACE_TYPE, 0, FILE_GENERIC_READ, L"S-1-1-0"};
    const Ace restrictedFull = {ACCESS_ALLOWED_ACE_TYPE, 0, GENERIC_ALL, L"S-1-15-2-2"};
    const Ace inherited = {ACCESS_ALLOWED_ACE_TYPE, INHERITED_ACE, FILE_ALL_ACCESS, L"S-1-5-18"};
    const Ace inheritedEveryone = {ACCESS_ALLOWED_ACE_TYPE, INHERITED_ACE, FILE_ALL_ACCESS, L"S-1-1-0"};
    FakeFolderSecurity fake;
    fake.list = MakeList({deny, admins, inheritedEveryone, everyoneReads, restrictedFull, inherited});
    fake.control = SE_DACL_PROTECTED | SE_DACL_AUTO_INHERITED;
    g_fake = &fake;
    SeamRecorder seam;
    Sys().GetSecurityInfo = FakeGetSecurityInfo;
    Sys().SetKernelObjectSecurity = FakeSetKernelObjectSecurity;
    ASSERT_TRUE(ApplyDumpFolderAcl(folder.c_str()));
    const std::vector<Ace> added = AddedEntries();
    EXPECT_EQ((std::vector<Ace>{deny, admins, inheritedEveryone, everyoneReads, restrictedFull, added[0], added[1],
                                inherited}),
              AcesOf(reinterpret_cast<PACL>(fake.list.data())));
    EXPECT_EQ(SE_DACL_PROTECTED | SE_DACL_AUTO_INHERITED,
              fake.control & (SE_DACL_PROTECTED | SE_DACL_AUTO_INHERITED));
    MakeFile(folder + L"\\notes.txt");
    ASSERT_TRUE(ApplyDumpFolderAcl(folder.c_str()));
    EXPECT_EQ(1, fake.sets) << "the second save found every entry there";

    // No DACL at all already lets everyone in; a list of four entries would shut out the rest.
    FakeFolderSecurity open;
    g_fake = &open;
    ASSERT_TRUE(ApplyDumpFolderAcl(folder.c_str()));
    EXPECT_EQ(0, open.sets);
    g_fake = nullptr;
}

namespace {

int g_localFrees = 0;
decltype(SystemCalls::LocalFree) g_belowLocalFree = nullptr;
HLOCAL WINAPI CountLocalFree(HLOCAL memory)
{
    if (memory)
        ++g_localFrees;
    return g_belowLocalFree(memory);
}

BOOL WINAPI DaclAbsent(PSECURITY_DESCRIPTOR, LPBOOL present, PACL* dacl, LPBOOL defaulted)
{
    *present = FALSE;
    *dacl = nullptr;
    *defaulted = FALSE;
    return TRUE;
}

// Wine makes no links inside a folder: the listing shows "linked.dmp" as one.
decltype(SystemCalls::GetFileInformationByHandleEx) g_belowListing = nullptr;
BOOL WINAPI ListWithLinkedDump(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID buffer, DWORD size)
{
    if (!g_belowListing(file, kind, buffer, size))
        return FALSE;
    for (BYTE* at = static_cast<BYTE*>(buffer);;) {
        FILE_ID_BOTH_DIR_INFO* entry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(at);
        if (std::wstring(entry->FileName, entry->FileNameLength / sizeof(wchar_t)) == L"linked.dmp")
            entry->FileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
        if (!entry->NextEntryOffset)
            return TRUE;
        at += entry->NextEntryOffset;
    }
}

}  // namespace

TEST_F(DumpFolderAcl, FailuresLeaveTheirCodeAndFreeEveryDescriptor)
{
    TempFolder temp;
    const std::wstring folder = temp.Child(L"acl");
    MakeFolder(folder);
    const std::wstring file = temp.Child(L"file.txt");
    ::CloseHandle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    struct Case {
        const char* what;
        std::wstring target;
        const char* call;  // nullptr: no injected failure
        DWORD code;
        bool noDacl;
        DWORD expectedCode;
        int expectedFrees;  // the SDDL's descriptor and the folder's current one
    } cases[] = {
        {"folder cannot be opened", folder, "CreateFileW", ERROR_SHARING_VIOLATION, false, ERROR_SHARING_VIOLATION, 0},
        {"attributes cannot be read", folder, "GetFileInformationByHandle", ERROR_ACCESS_DENIED, false,
         ERROR_ACCESS_DENIED, 0},
        {"final path cannot be read", folder, "GetFinalPathNameByHandleW", ERROR_NOT_SUPPORTED, false,
         ERROR_NOT_SUPPORTED, 0},
        {"a file, not a folder", file, nullptr, 0, false, ERROR_DIRECTORY, 0},
        {"conversion fails", folder, "ConvertStringSecurityDescriptorToSecurityDescriptorW", ERROR_INVALID_PARAMETER,
         false, ERROR_INVALID_PARAMETER, 0},
        {"DACL cannot be taken", folder, "GetSecurityDescriptorDacl", ERROR_INVALID_SECURITY_DESCR, false,
         ERROR_INVALID_SECURITY_DESCR, 1},
        {"descriptor without DACL", folder, nullptr, 0, true, ERROR_INVALID_ACL, 1},
        {"folder list cannot be read", folder, "GetSecurityInfo", ERROR_ACCESS_DENIED, false, ERROR_ACCESS_DENIED, 1},
        {"setting it fails", folder, "SetKernelObjectSecurity", ERROR_ACCESS_DENIED, false, ERROR_ACCESS_DENIED, 2},
        {"success", folder, nullptr, 0, false, ERROR_SUCCESS, 2},
    };
    for (const Case& c : cases) {
        SeamRecorder seam;
        if (c.call)
            seam.FailEveryCall(c.call, c.code);
        if (c.noDacl)
            Sys().GetSecurityDescriptorDacl = DaclAbsent;
        g_localFrees = 0;
        g_belowLocalFree = Sys().LocalFree;
        Sys().LocalFree = CountLocalFree;
        bool ok = ApplyDumpFolderAcl(c.target.c_str());
        DWORD code = ::GetLastError();
        Sys().LocalFree = g_belowLocalFree;
        EXPECT_EQ(c.expectedCode == ERROR_SUCCESS, ok) << c.what;
        EXPECT_EQ(c.expectedCode, code) << c.what;
        EXPECT_EQ(c.expectedFrees, g_localFrees) << c.what;

        // Through the key writer the same code appears in the ACL message, and the folder stays.
        if (c.expectedCode != ERROR_SUCCESS && c.target == folder) {
            std::wstring error;
            EXPECT_FALSE(WriteSettingsKey(APP_KEY.c_str(), MakeSettings(folder.c_str(), 1, -1, true), error));
            EXPECT_EQ(AclMessage(folder, c.expectedCode), error) << c.what;
            EXPECT_TRUE(FolderExists(folder));
            EXPECT_FALSE(reg64::Get(APP_KEY, VALUE_DUMP_FOLDER).exists) << c.what;
        }
        EXPECT_EQ(0, seam.OpenKeys()) << c.what;
    }

    SeamRecorder seam;
    for (const wchar_t* empty : {static_cast<const wchar_t*>(nullptr), L""}) {
        EXPECT_FALSE(ApplyDumpFolderAcl(empty));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), ::GetLastError());
    }
    EXPECT_EQ(0, seam.FailableCallCount());
}

TEST_F(DumpFolderAcl, AnExistingFolderIsOpenedOnlyWhenItHoldsNothingButDumps)
{
    struct Case {
        const char* what;
        std::vector<const wchar_t*> files;
        bool acl;
        bool saved;
    } cases[] = {
        {"a text file, box on", {L"a.dmp", L"readme.txt"}, true, false},
        {"dump files only, box on", {L"a.dmp", L"B.DMP"}, true, true},
        {"empty, box on", {}, true, true},
        {"a text file, box off", {L"readme.txt"}, false, true},
        {"dump files only, box off", {L"a.dmp"}, false, true},
        {"empty, box off", {}, false, true},
        {"a file named just .dmp, box on", {L".dmp"}, true, false},
        {"a link named *.dmp, box on", {L"a.dmp", L"linked.dmp"}, true, false},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        const std::wstring folder = temp.Child(L"existing");
        MakeFolder(folder);
        for (const wchar_t* file : c.files)
            MakeFile(folder + L"\\" + file);
        const std::vector<Ace> before = RealFolderList(folder);
        SeamRecorder seam;
        g_belowListing = Sys().GetFileInformationByHandleEx;
        Sys().GetFileInformationByHandleEx = ListWithLinkedDump;
        std::wstring error;
        EXPECT_EQ(c.saved, WriteSettingsKey(APP_KEY.c_str(), MakeSettings(folder.c_str(), 2, -1, c.acl), error))
            << c.what;
        EXPECT_EQ(c.saved, reg64::Get(APP_KEY, VALUE_DUMP_FOLDER).exists) << c.what;
        EXPECT_EQ(c.saved ? L"" : AclMessage(folder, ERROR_FOLDER_HOLDS_OTHER_FILES), error) << c.what;
        EXPECT_EQ(c.acl && c.saved, before != RealFolderList(folder)) << c.what << ": only a secured list changes";
        EXPECT_TRUE(FolderExists(folder)) << c.what;
        reg64::DeleteTree(APP_KEY);
    }
}

TEST_F(DumpFolderAcl, AFolderIsOpenedOnlyWhenItBelongsToTheSystemOrTheAdministrator)
{
    TempFolder temp;
    const std::wstring folder = temp.Child(L"owned");
    MakeFolder(folder);
    struct Case {
        const wchar_t* owner;
        const wchar_t* account;  // the owner named by a refusal; nullptr: secured
    } cases[] = {
        {L"S-1-5-32-544", nullptr},  // Administrators
        {L"S-1-5-18", nullptr},      // SYSTEM
        {L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", nullptr},  // TrustedInstaller
        {L"S-1-5-32-545", L"BUILTIN\\Users"},
    };
    // The owner is judged whatever the folder's list: one that lacks the entries, one that grants
    // them all already (a user may have made and opened the folder in advance), none at all.
    const std::vector<BYTE> lists[] = {MakeList({{ACCESS_ALLOWED_ACE_TYPE, 0, FILE_ALL_ACCESS, L"S-1-5-32-544"}}),
                                       MakeList(AddedEntries()), {}};
    for (size_t i = 0; i < std::size(cases) * std::size(lists); ++i) {  // each owner with each list
        const Case& c = cases[i / std::size(lists)];
        const bool lacksEntries = i % std::size(lists) == 0;
        FakeFolderSecurity fake;
        fake.list = lists[i % std::size(lists)];
        fake.owner = c.owner;
        g_fake = &fake;
        SeamRecorder seam;
        Sys().GetSecurityInfo = FakeGetSecurityInfo;
        Sys().SetKernelObjectSecurity = FakeSetKernelObjectSecurity;
        std::wstring account;
        const DWORD judged = JudgeDumpFolder(folder.c_str(), account);
        EXPECT_EQ(c.account == nullptr, ApplyDumpFolderAcl(folder.c_str())) << Narrow(c.owner);
        EXPECT_EQ(c.account ? ERROR_FOLDER_FOREIGN_OWNER : ERROR_SUCCESS, judged) << Narrow(c.owner);
        EXPECT_EQ(c.account ? c.account : L"", account) << Narrow(c.owner);
        EXPECT_EQ(c.account || !lacksEntries ? 0 : 1, fake.sets) << Narrow(c.owner);
    }
    g_fake = nullptr;
}

namespace {

// The parent of the folder looks like no link when it is checked, as if a link was put in its place
// only afterwards.
decltype(SystemCalls::GetFinalPathNameByHandleW) g_realFinalPath = nullptr;
int g_finalPathCalls = 0;
DWORD WINAPI ParentWithoutLinkAtFirst(HANDLE file, LPWSTR path, DWORD size, DWORD flags)
{
    if (g_finalPathCalls++ > 0)
        return g_realFinalPath(file, path, size, flags);
    const std::wstring asked = L"\\\\?\\" + LINK;
    if (size <= asked.size())
        return static_cast<DWORD>(asked.size() + 1);
    asked.copy(path, asked.size());
    path[asked.size()] = L'\0';
    return static_cast<DWORD>(asked.size());
}

BOOL WINAPI AddAceFails(PACL, DWORD, DWORD, LPVOID, DWORD)
{
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
}

// Right after the parent was checked, it is moved away and an empty folder takes its path.
std::wstring g_parent;
std::wstring g_movedParent;
decltype(SystemCalls::NtCreateFile) g_belowCreate = nullptr;
NTSTATUS NTAPI SwapParentThenCreate(PHANDLE file, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes,
                                    PIO_STATUS_BLOCK io, PLARGE_INTEGER size, ULONG fileAttributes, ULONG share,
                                    ULONG disposition, ULONG options, PVOID ea, ULONG eaLength)
{
    EXPECT_TRUE(::MoveFileW(g_parent.c_str(), g_movedParent.c_str()));
    EXPECT_TRUE(::CreateDirectoryW(g_parent.c_str(), nullptr));
    return g_belowCreate(file, access, attributes, io, size, fileAttributes, share, disposition, options, ea, eaLength);
}

}  // namespace

TEST_F(DumpFolderAcl, AFolderThisSaveMadeAndThenRefusedIsRemoved)
{
    const std::wstring folder = LINK + L"\\Dumps";
    SeamRecorder seam;
    g_realFinalPath = Sys().GetFinalPathNameByHandleW;
    g_finalPathCalls = 0;
    Sys().GetFinalPathNameByHandleW = ParentWithoutLinkAtFirst;
    std::wstring error;
    EXPECT_FALSE(WriteSettingsKey(APP_KEY.c_str(), MakeSettings(folder.c_str(), 2, -1, true), error));
    EXPECT_EQ(AclMessage(folder, ERROR_FOLDER_THROUGH_LINK), error);
    EXPECT_EQ(1, seam.CountOf("NtCreateFile")) << "the folder was made in the link's target";
    EXPECT_FALSE(FolderExists(LINK_TARGET + L"\\Dumps")) << "and is gone again";
}

TEST_F(DumpFolderAcl, AnEntryThatCannotBeCopiedFailsTheSaveAndNothingIsApplied)
{
    TempFolder temp;
    const std::wstring folder = temp.Child(L"dumps");
    MakeFolder(folder);
    SeamRecorder seam;
    Sys().AddAce = AddAceFails;
    std::wstring error;
    EXPECT_FALSE(WriteSettingsKey(APP_KEY.c_str(), MakeSettings(folder.c_str(), 2, -1, true), error));
    EXPECT_EQ(AclMessage(folder, ERROR_NOT_ENOUGH_MEMORY), error);
    EXPECT_EQ(0, seam.CountOf("SetKernelObjectSecurity"));
    EXPECT_TRUE(FolderExists(folder)) << "a folder that was there before stays";
}

TEST_F(DumpFolderAcl, AFolderIsMadeJudgedAndTakenBackOnlyInTheParentThatWasChecked)
{
    for (bool acl : {true, false}) {
        TempFolder temp;
        g_parent = temp.Child(L"parent");
        g_movedParent = temp.Child(L"moved");
        const std::wstring folder = g_parent + L"\\Dumps";
        MakeFolder(g_parent);
        SeamRecorder seam;
        seam.FailCall("RegSetValueExW", 0, ERROR_DISK_FULL);
        g_belowCreate = Sys().NtCreateFile;
        Sys().NtCreateFile = SwapParentThenCreate;
        std::wstring error;
        EXPECT_FALSE(WriteSettingsKey(APP_KEY.c_str(), MakeSettings(folder.c_str(), 2, -1, acl), error)) << acl;
        // With the box on, the folder made is not where its text points now: refused, never secured.
        const std::wstring failure = acl ? FormatText(L"ERROR: Failed to set ACL on folder:\n\n%s\n\n", folder.c_str())
                                         : L"ERROR: Failed to write into registry.";
        EXPECT_EQ(0u, error.find(failure)) << Narrow(error);
        EXPECT_EQ(0, seam.CountOf("SetKernelObjectSecurity")) << acl;
        EXPECT_FALSE(FolderExists(folder)) << acl << ": nothing made at the path";
        // Taken back through its handle (Wine loses a moved folder's handle, so not seen removed here).
        EXPECT_EQ(1, seam.CountOf("SetFileInformationByHandle")) << acl;
        for (const SeamCall& call : seam.FailableCalls())
            EXPECT_FALSE(SameFolderPath(call.detail, folder)) << acl << ": " << call.name << " by the folder's path";
    }
}
