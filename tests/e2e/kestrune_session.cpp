#include "tests/e2e/kestrune_session.h"

#include <aclapi.h>
#include <sddl.h>

#include "model/registry_layout.h"
#include "res/resource.h"

namespace e2e {

namespace {

void RemoveFolderTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found = {};
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace

void KestruneSession::TearDown()
{
    // A program left running (a failed test) must not block the next one.
    if (m_program.IsRunning())
        m_program.Terminate();
    if (!m_scratch.empty())
        RemoveFolderTree(m_scratch);
    LocalDumpsTest::TearDown();
}

void KestruneSession::Launch()
{
    ASSERT_TRUE(m_program.Start()) << "Kestrune.exe did not show its main window";
    ASSERT_TRUE(BringToForeground(Main())) << "the main window did not come to the foreground";
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(Main()) != nullptr; }, 3000)) << "no control has the focus";
}

std::vector<std::wstring> KestruneSession::RowNames() const
{
    RemoteListView list(::GetDlgItem(Main(), IDC_LIST_PROGRAMS));
    std::vector<std::wstring> names;
    for (int row = 0; row < list.RowCount(); ++row)
        names.push_back(list.CellText(row, 0));
    return names;
}

std::vector<int> KestruneSession::SelectedRows() const
{
    RemoteListView list(::GetDlgItem(Main(), IDC_LIST_PROGRAMS));
    return list.SelectedRows();
}

void KestruneSession::SelectRows(const std::vector<int>& rows)
{
    RemoteListView list(::GetDlgItem(Main(), IDC_LIST_PROGRAMS));
    ASSERT_TRUE(list.SetItemState(-1, 0, LVIS_SELECTED));
    for (int row : rows)
        ASSERT_TRUE(list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED));
    ASSERT_EQ(rows, SelectedRows());
    // The buttons follow after the selection timer; wait for the state they must reach.
    const size_t n = rows.size();
    ASSERT_TRUE(WaitUntil([&] {
        return IsControlEnabled(Main(), IDC_BTN_DELETE_PROGRAM) == (n >= 1) &&
               IsControlEnabled(Main(), IDC_BTN_EDIT_PROGRAM) == (n == 1);
    }, 3000)) << "the list buttons did not follow a selection of " << n << " rows";
}

HWND KestruneSession::OpenAddDialog()
{
    if (!PressButton(Main(), IDC_BTN_ADD_PROGRAM))
        return nullptr;
    return WaitForDialog(Pid(), ADD_CAPTION);
}

void KestruneSession::FillAndConfirm(HWND dialog, const ProgramInput& input)
{
    if (!input.name.empty()) {
        ASSERT_TRUE(SetControlText(dialog, IDC_EDIT_PROCESS_NAME, input.name));
    }
    if (!input.folder.empty()) {
        ASSERT_TRUE(SetControlText(dialog, IDC_EDIT_DUMP_FOLDER, input.folder));
    }
    if (input.dumpTypeItem >= 0) {
        ASSERT_TRUE(SelectComboItem(dialog, IDC_COMBO_DUMP_TYPE, input.dumpTypeItem));
    }
    if (!input.count.empty()) {
        ASSERT_TRUE(SetControlText(dialog, IDC_EDIT_DUMP_COUNT, input.count));
    }
    ASSERT_TRUE(PressButton(dialog, IDOK));
}

void KestruneSession::AddProgram(const ProgramInput& input)
{
    const HWND dialog = OpenAddDialog();
    ASSERT_NE(nullptr, dialog) << "\"&+\" did not open the add dialog";
    FillAndConfirm(dialog, input);
    WaitUntilGone(dialog);
}

void KestruneSession::WaitUntilGone(HWND window, DWORD timeoutMs)
{
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(window); }, timeoutMs))
        << "the window \"" << std::string(TextOf(window).begin(), TextOf(window).end()) << "\" stayed open";
}

MessageBoxInfo KestruneSession::ExpectMessageBox(const std::wstring& text, DWORD timeoutMs)
{
    MessageBoxInfo box = WaitForMessageBox(Pid(), timeoutMs);
    EXPECT_TRUE(box) << "no message box appeared";
    if (box) {
        EXPECT_EQ(text, box.text);
    }
    return box;
}

void KestruneSession::Answer(const MessageBoxInfo& box, int button)
{
    ASSERT_TRUE(box);
    ASSERT_TRUE(PressButton(box.window, button));
    WaitUntilGone(box.window);
}

void KestruneSession::ChooseFromMenuBar(UINT popupKey, UINT itemKey)
{
    ASSERT_TRUE(BringToForeground(Main()));
    // Over the caption, where no popup of the menu bar opens.
    RECT frame = {};
    ASSERT_TRUE(::GetWindowRect(Main(), &frame));
    const POINT caption = {(frame.left + frame.right) / 2, frame.top + ::GetSystemMetrics(SM_CYCAPTION) / 2};
    ASSERT_TRUE(EnterWindowAndSettle(Main(), caption)) << "the program did not take the pointer";
    ASSERT_TRUE(TypeChord({VK_MENU}));
    ASSERT_TRUE(WaitUntil([&] { return IsInMenuMode(Main()); }, 3000)) << "Alt did not enter the menu bar";
    ASSERT_TRUE(TypeChord({popupKey}));
    ASSERT_TRUE(WaitUntil([&] { return FindPopupMenu(Pid()) != nullptr; }, WINDOW_APPEARS_MS))
        << "the popup did not open";
    ASSERT_TRUE(TypeChord({itemKey}));
}

void KestruneSession::CloseExpectingNoQuestion()
{
    m_program.RequestClose();
    const bool exited = m_program.WaitForExit(5000);
    const MessageBoxInfo box = FindMessageBox(Pid());
    EXPECT_TRUE(exited) << "the program asked before closing: "
                        << std::string(box.text.begin(), box.text.end());
    if (exited) {
        EXPECT_EQ(0u, m_program.ExitCode());
    }
}

MessageBoxInfo KestruneSession::CloseExpectingQuestion()
{
    m_program.RequestClose();
    MessageBoxInfo box = WaitForMessageBox(Pid());
    EXPECT_TRUE(box) << "no question before closing (exited: " << !m_program.IsRunning() << ")";
    if (box) {
        EXPECT_EQ(EXIT_QUESTION, box.text);
        EXPECT_EQ(L"Kestrune", box.caption);
        EXPECT_EQ((std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}), box.ButtonTexts());
        EXPECT_EQ(IDNO, box.DefaultButton());
    }
    return box;
}

const std::wstring& KestruneSession::ScratchFolder()
{
    if (m_scratch.empty()) {
        // On the system drive, not in the user's temporary folder: a folder inside a user profile
        // is not opened to everyone, and the saves here keep the ACL check box on.
        wchar_t windows[MAX_PATH] = {};
        ::GetWindowsDirectoryW(windows, MAX_PATH);
        const std::wstring base = std::wstring(windows).substr(0, 2);
        for (unsigned n = ::GetTickCount() & 0xFFFFF;; ++n) {
            const std::wstring candidate = base + L"\\kestrune-e2e-" + std::to_wstring(n);
            if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
                m_scratch = candidate;
                break;
            }
            if (::GetLastError() != ERROR_ALREADY_EXISTS) {
                ADD_FAILURE() << "no scratch folder on the system drive";
                break;
            }
        }
    }
    return m_scratch;
}

bool EveryoneMayWrite(const std::wstring& folder)
{
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    PSID everyone = nullptr;
    ::ConvertStringSidToSidW(L"S-1-1-0", &everyone);
    bool mayWrite = false;
    for (DWORD i = 0; dacl && everyone && i < dacl->AceCount && !mayWrite; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace))
            continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        const PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        mayWrite = ::EqualSid(sid, everyone) && (allowed->Mask & (FILE_WRITE_DATA | FILE_ADD_FILE | GENERIC_WRITE |
                                                                   GENERIC_ALL)) != 0;
    }
    ::LocalFree(everyone);
    ::LocalFree(descriptor);
    return mayWrite;
}

bool FolderExists(const std::wstring& folder)
{
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long long DwordOf(const std::wstring& keyPath, const wchar_t* name)
{
    const RawValue value = reg64::Get(keyPath, name);
    if (!value.exists || value.type != REG_DWORD || value.data.size() != sizeof(DWORD))
        return -1;
    DWORD number = 0;
    memcpy(&number, value.data.data(), sizeof(number));
    return number;
}

void ExpectKeyValues(const std::wstring& keyPath, const std::wstring& folder, long long dumpType,
                     long long dumpCount)
{
    SCOPED_TRACE(std::string(keyPath.begin(), keyPath.end()));
    if (folder.empty()) {
        EXPECT_FALSE(reg64::Get(keyPath, VALUE_DUMP_FOLDER).exists);
    } else {
        EXPECT_EQ(folder, reg64::GetString(keyPath, VALUE_DUMP_FOLDER));
    }
    EXPECT_EQ(dumpType, DwordOf(keyPath, VALUE_DUMP_TYPE));
    EXPECT_EQ(dumpCount, DwordOf(keyPath, VALUE_DUMP_COUNT));
}

void ExpectDumpFolder(const std::wstring& folder, bool everyoneMayWrite)
{
    SCOPED_TRACE(std::string(folder.begin(), folder.end()));
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_EQ(everyoneMayWrite, EveryoneMayWrite(folder));
}

} // namespace e2e
