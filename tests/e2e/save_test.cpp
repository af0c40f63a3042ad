// Saving through the real window: a new global folder and a new program entry typed in and saved
// with "&SAVE" or Enter, checked in the registry, on disk and by the process's exit; and a save that
// fails on a folder whose parent is missing, keeps every edit, and completes on the second try.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/web_pages.h"
#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/e2e/kestrune_session.h"

using namespace e2e;

namespace {

class SaveTest : public KestruneSession {};

std::wstring SystemText(DWORD code)
{
    wchar_t* buffer = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    for (const wchar_t* c = buffer; c && *c; ++c) {
        if (*c != L'\r' && *c != L'\n')
            text += *c;
    }
    ::LocalFree(buffer);
    return text;
}

} // namespace

TEST_F(SaveTest, ANewGlobalFolderAndAnAddedProgramAreWrittenWithTheirFoldersAndTheProgramExits)
{
    const std::wstring globalFolder = ScratchFolder() + L"\\Global Dumps";
    const std::wstring programFolder = ScratchFolder() + L"\\Crashy Dumps";
    ASSERT_NO_FATAL_FAILURE(Launch());

    // 1. The folder edit changes.
    const HWND folderEdit = ::GetDlgItem(Main(), IDC_EDIT_DUMP_FOLDER);
    ASSERT_TRUE(TypeText(folderEdit, globalFolder));
    ASSERT_TRUE(WaitUntil([&] { return ControlText(Main(), IDC_EDIT_DUMP_FOLDER) == globalFolder; }));
    EXPECT_EQ(BST_CHECKED, CheckState(Main(), IDC_CHECK_SET_ACL));

    // 2. "&+" opens the empty add dialog; the name is typed and Add pressed.
    const HWND add = OpenAddDialog();
    ASSERT_NE(nullptr, add);
    EXPECT_EQ(L"Add", ControlText(add, IDOK));
    EXPECT_EQ(L"", ControlText(add, IDC_EDIT_PROCESS_NAME));
    EXPECT_EQ(BST_CHECKED, CheckState(add, IDC_CHECK_SET_ACL));
    EXPECT_EQ(CB_ERR, ComboSelection(add, IDC_COMBO_DUMP_TYPE));
    ASSERT_TRUE(TypeText(::GetDlgItem(add, IDC_EDIT_PROCESS_NAME), L"crashy.exe"));
    ASSERT_TRUE(TypeText(::GetDlgItem(add, IDC_EDIT_DUMP_FOLDER), programFolder));
    ASSERT_TRUE(SelectComboItem(add, IDC_COMBO_DUMP_TYPE, 2));
    ASSERT_TRUE(TypeText(::GetDlgItem(add, IDC_EDIT_DUMP_COUNT), L"7"));
    ASSERT_TRUE(WaitUntil([&] { return ControlText(add, IDC_EDIT_DUMP_COUNT) == L"7"; }));
    ASSERT_TRUE(PressButton(add, IDOK));
    WaitUntilGone(add);

    // 3. The row is there and selected.
    RemoteListView list(::GetDlgItem(Main(), IDC_LIST_PROGRAMS));
    ASSERT_EQ(1, list.RowCount());
    EXPECT_EQ((std::vector<std::wstring>{L"crashy.exe", L"Full dump", L"7", programFolder}), list.RowTexts(0));
    EXPECT_EQ(std::vector<int>{0}, list.SelectedRows());
    EXPECT_FALSE(reg64::KeyExists(LOCALDUMPS_KEY_PATH)) << "something was written before SAVE";
    EXPECT_FALSE(FolderExists(globalFolder));

    // 4.-7. SAVE writes everything and the program ends.
    ASSERT_TRUE(PressButton(Main(), IDOK));
    ASSERT_TRUE(m_program.WaitForExit()) << "the program did not end after saving";
    EXPECT_EQ(0u, m_program.ExitCode());

    ExpectKeyValues(LOCALDUMPS_KEY_PATH, globalFolder, -1, -1);
    ExpectDumpFolder(globalFolder, true);
    EXPECT_EQ(std::vector<std::wstring>{L"crashy.exe"}, reg64::Subkeys(LOCALDUMPS_KEY_PATH));
    ExpectKeyValues(ProgramKeyPath(L"crashy.exe"), programFolder, 2, 7);
    ExpectDumpFolder(programFolder, true);
    // On a 64-bit Windows nothing went to the 32-bit view, which the service does not read; a
    // 32-bit Windows (where the test command runs this case too) has only the one view read above.
    if (OnSixtyFourBitWindows()) {
        EXPECT_FALSE(reg64::KeyExists(LOCALDUMPS_KEY_PATH, KEY_WOW64_32KEY));
    }
}

TEST_F(SaveTest, WithoutTheAclBoxTheNewFolderIsCreatedButNotOpenedToEveryone)
{
    const std::wstring folder = ScratchFolder() + L"\\Plain";
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_FOLDER, folder));
    ASSERT_TRUE(PressButton(Main(), IDC_CHECK_SET_ACL));
    ASSERT_TRUE(WaitUntil([&] { return CheckState(Main(), IDC_CHECK_SET_ACL) == BST_UNCHECKED; }));

    ASSERT_TRUE(PressButton(Main(), IDOK));
    ASSERT_TRUE(m_program.WaitForExit());
    EXPECT_EQ(folder, reg64::GetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER));
    ExpectDumpFolder(folder, false);
}

TEST_F(SaveTest, EnterInTheFolderEditSavesAndExits)
{
    const std::wstring folder = ScratchFolder() + L"\\By Enter";
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_TRUE(FocusControl(Main(), IDC_EDIT_DUMP_FOLDER));
    ASSERT_TRUE(TypeText(::GetDlgItem(Main(), IDC_EDIT_DUMP_FOLDER), folder));
    ASSERT_TRUE(SelectComboItem(Main(), IDC_COMBO_DUMP_TYPE, 1));
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_COUNT, L"12"));
    ASSERT_TRUE(WaitUntil([&] { return ControlText(Main(), IDC_EDIT_DUMP_FOLDER) == folder; }));

    ASSERT_TRUE(FocusControl(Main(), IDC_EDIT_DUMP_FOLDER));
    ASSERT_TRUE(PostKeyToFocus(Main(), VK_RETURN));
    ASSERT_TRUE(m_program.WaitForExit()) << "Enter in the folder edit did not save and exit";
    EXPECT_EQ(0u, m_program.ExitCode());
    ExpectKeyValues(LOCALDUMPS_KEY_PATH, folder, 1, 12);
    ExpectDumpFolder(folder, true);
}

TEST_F(SaveTest, AFolderWithoutItsParentFailsKeepsEveryEditAndTheSecondSaveCompletes)
{
    const std::wstring parent = ScratchFolder() + L"\\not yet";
    const std::wstring folder = parent + L"\\Dumps";
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_FOLDER, folder));
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_COUNT, L"3"));
    ASSERT_NO_FATAL_FAILURE(AddProgram({L"later.exe", L"", 1, L""}));

    ASSERT_TRUE(PressButton(Main(), IDOK));
    const MessageBoxInfo box = ExpectMessageBox(L"ERROR: Failed to create folder to store dump files:\n\n" + folder +
                                                L"\n\n(3) " + SystemText(3));
    ASSERT_TRUE(box);
    EXPECT_FALSE(SystemText(3).empty());
    EXPECT_EQ(L"Kestrune", box.caption);
    EXPECT_EQ((std::vector<std::wstring>{L"OK"}), box.ButtonTexts());
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDOK));

    // The window stays with every edit; the commit stopped before any value or program key.
    EXPECT_TRUE(m_program.IsRunning());
    EXPECT_TRUE(::IsWindowEnabled(Main()));
    EXPECT_EQ(folder, ControlText(Main(), IDC_EDIT_DUMP_FOLDER));
    EXPECT_EQ(L"3", ControlText(Main(), IDC_EDIT_DUMP_COUNT));
    EXPECT_EQ(std::vector<std::wstring>{L"later.exe"}, RowNames());
    EXPECT_FALSE(reg64::Get(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER).exists);
    EXPECT_FALSE(reg64::Get(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT).exists);
    EXPECT_TRUE(reg64::Subkeys(LOCALDUMPS_KEY_PATH).empty());
    EXPECT_FALSE(FolderExists(parent));

    // With the parent made, the same save completes.
    ASSERT_TRUE(::CreateDirectoryW(parent.c_str(), nullptr));
    ASSERT_TRUE(PressButton(Main(), IDOK));
    ASSERT_TRUE(m_program.WaitForExit()) << "the second save did not complete";
    EXPECT_EQ(folder, reg64::GetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER));
    EXPECT_EQ(3, DwordOf(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT));
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_EQ(1, DwordOf(ProgramKeyPath(L"later.exe"), VALUE_DUMP_TYPE));
}

TEST_F(SaveTest, AClearedWindowWithoutProgramsRemovesTheWholeConfiguration)
{
    reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"C:\\Old");
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, 2);
    reg64::SetDword(ProgramKeyPath(L"one.exe"), VALUE_DUMP_COUNT, 1);
    reg64::SetDword(ProgramKeyPath(L"two.exe"), VALUE_DUMP_COUNT, 2);
    ASSERT_NO_FATAL_FAILURE(Launch());

    PostCommand(Main(), ID_EDIT_CLEAR_GLOBAL);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(Main(), IDC_EDIT_DUMP_FOLDER).empty(); }));
    EXPECT_EQ(0, ComboSelection(Main(), IDC_COMBO_DUMP_TYPE));
    EXPECT_EQ(BST_UNCHECKED, CheckState(Main(), IDC_CHECK_SET_ACL));
    SelectRows({0, 1});
    ASSERT_TRUE(PressButton(Main(), IDC_BTN_DELETE_PROGRAM));
    ASSERT_NO_FATAL_FAILURE(Answer(ExpectMessageBox(L"Do you want to remove 2 selected programs from the list?"), IDYES));
    ASSERT_TRUE(RowNames().empty());

    ASSERT_TRUE(PressButton(Main(), IDOK));
    ASSERT_TRUE(m_program.WaitForExit());
    EXPECT_FALSE(reg64::KeyExists(LOCALDUMPS_KEY_PATH)) << "the cleared configuration left its key";
    EXPECT_TRUE(reg64::KeyExists(WER_KEY_PATH));
}

TEST_F(SaveTest, TheSuggestedGlobalSettingsAreSavedWithTheirFolder)
{
    wchar_t windows[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetWindowsDirectoryW(windows, MAX_PATH));
    const std::wstring folder = std::wstring(1, windows[0]) + L":\\CrashDumps";
    const bool existedBefore = FolderExists(folder);
    // Without a stored profile the program seeds the built-in suggestions at start.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\" MAKER_HOST_NAME L"\\Kestrune\\Settings\\Suggested");
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_TRUE(PressButton(Main(), IDC_CHECK_SET_ACL));
    ASSERT_TRUE(WaitUntil([&] { return CheckState(Main(), IDC_CHECK_SET_ACL) == BST_UNCHECKED; }));

    PostCommand(Main(), ID_EDIT_SUGGESTED_GLOBAL);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(Main(), IDC_EDIT_DUMP_FOLDER) == folder; }))
        << "the suggested folder did not arrive";
    EXPECT_EQ(L"100", ControlText(Main(), IDC_EDIT_DUMP_COUNT));
    EXPECT_EQ(2, ComboSelection(Main(), IDC_COMBO_DUMP_TYPE));
    EXPECT_EQ(BST_CHECKED, CheckState(Main(), IDC_CHECK_SET_ACL));

    ASSERT_TRUE(PressButton(Main(), IDOK));
    ASSERT_TRUE(m_program.WaitForExit());
    ExpectKeyValues(LOCALDUMPS_KEY_PATH, folder, 2, 100);
    ExpectDumpFolder(folder, true);
    if (!existedBefore)
        ::RemoveDirectoryW(folder.c_str());
}

TEST_F(SaveTest, AStoredCountOfZeroStopsTheSaveWithTheCountMessageAndTheFocusInTheCountEdit)
{
    const std::wstring folder = ScratchFolder() + L"\\Kept";
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 0);
    reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, folder);
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_EQ(L"0", ControlText(Main(), IDC_EDIT_DUMP_COUNT));

    ASSERT_TRUE(PressButton(Main(), IDOK));
    const MessageBoxInfo box = ExpectMessageBox(
        L"'Maximum number of files' must be a positive value from 1 and up. Or clear that field not to use it");
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(Main()) == ::GetDlgItem(Main(), IDC_EDIT_DUMP_COUNT); }, 3000))
        << "the focus is not in the count edit";
    EXPECT_TRUE(m_program.IsRunning());
    EXPECT_EQ(0, DwordOf(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT));

    // An empty count drops the value on the next save.
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_COUNT, L""));
    ASSERT_TRUE(PressButton(Main(), IDOK));
    ASSERT_TRUE(m_program.WaitForExit());
    EXPECT_FALSE(reg64::Get(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT).exists);
    EXPECT_EQ(folder, reg64::GetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER));
}

TEST_F(SaveTest, AStoredGlobalFolderWithAnEnvironmentReferenceIsCreatedWhereItPointsAndDoesNotBlockSaving)
{
    // A reference to a folder that exists, and a last level below it (outside any user profile,
    // since the ACL box is on). The saved text stays as it was.
    const std::wstring text = L"%SystemDrive%\\Kestrune Env Dumps";
    wchar_t expanded[MAX_PATH] = {};
    ASSERT_NE(0u, ::ExpandEnvironmentStringsW(text.c_str(), expanded, MAX_PATH));
    const std::wstring folder = expanded;
    ASSERT_EQ(std::wstring::npos, folder.find(L'%'));
    reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, text, REG_EXPAND_SZ);
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_EQ(text, ControlText(Main(), IDC_EDIT_DUMP_FOLDER));
    ASSERT_NO_FATAL_FAILURE(AddProgram({L"added.exe", L"", 1, L""}));

    ASSERT_TRUE(PressButton(Main(), IDOK));
    const bool exited = m_program.WaitForExit(5000);
    const MessageBoxInfo box = FindMessageBox(Pid());
    EXPECT_TRUE(exited) << "the save failed: " << std::string(box.text.begin(), box.text.end());
    if (!exited) {
        ASSERT_NO_FATAL_FAILURE(Answer(box, IDOK));
    }
    EXPECT_EQ(text, reg64::GetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER));
    EXPECT_EQ(1, DwordOf(ProgramKeyPath(L"added.exe"), VALUE_DUMP_TYPE));
    EXPECT_TRUE(FolderExists(folder)) << "the folder the text names was not created";
    EXPECT_FALSE(FolderExists(L"%SystemDrive%")) << "a folder literally named %SystemDrive% was made";
    ::RemoveDirectoryW(folder.c_str());
    ::RemoveDirectoryW(L"%SystemDrive%\\Kestrune Env Dumps");
    ::RemoveDirectoryW(L"%SystemDrive%");
}
