// The dump settings panel inside a real dialog built from the program settings template: what it
// shows, what it reads back, clearing, suggestions from the profile and the reported errors.
#include <winsock2.h>
#include <iphlpapi.h>
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <objbase.h>
#include <shlobj.h>

#include <sddl.h>

#include "framework/message_box.h"
#include "framework/system_calls.h"
#include "model/text_utils.h"
#include "res/resource.h"
#include "ui/settings/dump_folder_rules.h"
#include "tests/support/seam_recorder.h"
#include "tests/ui/suggested_profile_store.h"
#include "ui/settings/dump_settings_panel.h"

namespace {

const DWORD ALL_BITS = 0xFFFFFFFF;
const int NO_SELECTION = -1;
const int EMPTY_ITEM = 0;
const int MINI_ITEM = 1;
const int FULL_ITEM = 2;
const int CUSTOM_ITEM = 3;

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_LINK_CLASS};
        ::InitCommonControlsEx(&controls);
        m_dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ADDEDIT_PROG),
                                        nullptr, PlainDialogProc, 0);
        ASSERT_NE(nullptr, m_dialog) << "error " << ::GetLastError();
        m_panel.Attach(m_dialog);
        m_panel.InitPanel();
    }
    void TearDown() override
    {
        SetMessageBoxHook(nullptr);
        if (m_dialog)
            ::DestroyWindow(m_dialog);
    }

    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }
    std::wstring Text(int id) const
    {
        wchar_t text[512] = {};
        ::GetWindowTextW(Item(id), text, 512);
        return text;
    }
    void SetText(int id, const std::wstring& text) const { ::SetWindowTextW(Item(id), text.c_str()); }
    int Selection() const { return static_cast<int>(::SendMessageW(Item(IDC_COMBO_DUMP_TYPE), CB_GETCURSEL, 0, 0)); }
    void Select(int index) const { ::SendMessageW(Item(IDC_COMBO_DUMP_TYPE), CB_SETCURSEL, index, 0); }
    bool Checked() const { return ::SendMessageW(Item(IDC_CHECK_SET_ACL), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Check(bool on) const
    {
        ::SendMessageW(Item(IDC_CHECK_SET_ACL), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    HWND m_dialog = nullptr;
    DumpSettingsPanel m_panel;
};

TEST_F(PanelTest, InitPanelPreparesLimitsSpinnerAndTypeList)
{
    EXPECT_EQ(260, ::SendMessageW(Item(IDC_EDIT_DUMP_FOLDER), EM_GETLIMITTEXT, 0, 0));
    EXPECT_EQ(10, ::SendMessageW(Item(IDC_EDIT_DUMP_COUNT), EM_GETLIMITTEXT, 0, 0));

    int low = 0;
    int high = 0;
    ::SendMessageW(Item(IDC_SPIN_DUMP_COUNT), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                   reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(1, low);
    EXPECT_EQ(9999, high);
    EXPECT_EQ(reinterpret_cast<LRESULT>(Item(IDC_EDIT_DUMP_COUNT)),
              ::SendMessageW(Item(IDC_SPIN_DUMP_COUNT), UDM_GETBUDDY, 0, 0));

    const HWND combo = Item(IDC_COMBO_DUMP_TYPE);
    const wchar_t* texts[] = {L"", L"Mini dump (smaller file, less helpful for debugging)",
                              L"Full dump (larger file, more helpful for debugging)",
                              L"Custom dump (choose what it holds)"};
    const DWORD data[] = {DUMP_TYPE_ITEM_NOT_GIVEN, 1, 2, 0};
    ASSERT_EQ(4, ::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < 4; ++index) {
        wchar_t text[128] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(texts[index], text);
        EXPECT_EQ(data[index], static_cast<DWORD>(::SendMessageW(combo, CB_GETITEMDATA, index, 0)));
    }
    EXPECT_EQ(NO_SELECTION, Selection());
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_BTN_DUMP_CONTENTS)));
}

TEST_F(PanelTest, CountTextsFollowTheCountRule)
{
    struct CountCase {
        const wchar_t* text;
        BOOL given;
        LONG count;
        DWORD flags;
    };
    const CountCase cases[] = {
        {L"12", TRUE, 12, 0},
        {L" 12 ", TRUE, 12, 0},
        {L"\t9\r\n", TRUE, 9, 0},
        {L"0", FALSE, 0, PANEL_ERR_DUMP_COUNT},
        {L"007", FALSE, 7, PANEL_ERR_DUMP_COUNT},
        {L"+5", FALSE, 5, PANEL_ERR_DUMP_COUNT},
        {L"-3", FALSE, -3, PANEL_ERR_DUMP_COUNT},
        {L"1.5", FALSE, 1, PANEL_ERR_DUMP_COUNT},
        {L"1e3", FALSE, 1, PANEL_ERR_DUMP_COUNT},
        {L"abc", FALSE, 0, PANEL_ERR_DUMP_COUNT},
        {L"2147483647", TRUE, 2147483647, 0},
        {L"2147483648", FALSE, 2147483647, PANEL_ERR_DUMP_COUNT},
        {L"-2147483649", FALSE, -2147483647 - 1, PANEL_ERR_DUMP_COUNT},
        {L"", FALSE, 0, 0},
        {L"   ", FALSE, 0, 0},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "count text case " << (&c - cases));
        SetText(IDC_EDIT_DUMP_COUNT, c.text);
        DumpSettings read;
        read.hasDumpCount = !c.given;
        read.dumpCount = 12345;
        EXPECT_EQ(c.flags, m_panel.ReadSettings(read));
        EXPECT_EQ(c.given, read.hasDumpCount);
        EXPECT_EQ(c.count, read.dumpCount);
    }
}

TEST_F(PanelTest, FolderIsTrimmedKeptUnexpandedAndOmittedWhenBlank)
{
    struct FolderCase {
        const wchar_t* text;
        const wchar_t* folder;
        BOOL given;
    };
    const FolderCase cases[] = {
        {L"C:\\Dumps", L"C:\\Dumps", TRUE},
        {L"  C:\\My Dumps \t", L"C:\\My Dumps", TRUE},
        {L"%LOCALAPPDATA%\\CrashDumps", L"%LOCALAPPDATA%\\CrashDumps", TRUE},
        {L"    ", L"", FALSE},
        {L"", L"", FALSE},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "folder case " << (&c - cases));
        SetText(IDC_EDIT_DUMP_FOLDER, c.text);
        DumpSettings read;
        read.folder = L"left over";
        EXPECT_EQ(0u, m_panel.ReadSettings(read));
        EXPECT_EQ(c.folder, read.folder);
        EXPECT_EQ(c.given, read.hasFolder);
    }
}

TEST_F(PanelTest, TypeSelectionAndCheckBoxReadBack)
{
    struct TypeCase {
        int selection;
        bool checked;
        BOOL given;
        DWORD code;
    };
    const TypeCase cases[] = {
        {NO_SELECTION, false, FALSE, 0},
        {EMPTY_ITEM, true, FALSE, 0},
        {MINI_ITEM, false, TRUE, 1},
        {FULL_ITEM, true, TRUE, 2},
        {CUSTOM_ITEM, true, TRUE, 0},
    };
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "selection " << c.selection);
        Select(c.selection);
        Check(c.checked);
        DumpSettings read;
        read.dumpType = 77;
        EXPECT_EQ(0u, m_panel.ReadSettings(read));
        EXPECT_EQ(c.given, read.hasDumpType);
        EXPECT_EQ(c.code, read.dumpType);
        EXPECT_EQ(c.checked, read.setAcl != FALSE);
    }
}

TEST_F(PanelTest, AnItemWhoseDataCannotBeReadIsAnInvalidTypeSelection)
{
    // Item data of -1 is what CB_GETITEMDATA also answers on failure.
    ::SendMessageW(Item(IDC_COMBO_DUMP_TYPE), CB_SETITEMDATA, FULL_ITEM, static_cast<LPARAM>(CB_ERR));
    Select(FULL_ITEM);
    SetText(IDC_EDIT_DUMP_COUNT, L"0");
    DumpSettings read;
    EXPECT_EQ(PANEL_ERR_DUMP_TYPE | PANEL_ERR_DUMP_COUNT, m_panel.ReadSettings(read));
    EXPECT_FALSE(read.hasDumpType);
    EXPECT_EQ(ALL_BITS, read.dumpType);
}

TEST_F(PanelTest, ReadingLeavesTheRestOfTheEntryAlone)
{
    ProgramEntry entry;
    entry.processName = L"file.exe";
    entry.modified = TRUE;
    SetText(IDC_EDIT_DUMP_COUNT, L"3");
    EXPECT_EQ(0u, m_panel.ReadSettings(entry.settings));
    EXPECT_EQ(L"file.exe", entry.processName);
    EXPECT_TRUE(entry.modified);
    EXPECT_EQ(3, entry.settings.dumpCount);
}

struct ShowTypeCase {
    DWORD code;
    int fromNoSelection;  // selection after showing it into a fresh list
    int fromFull;         // selection after showing it while the full dump is selected
};

TEST_F(PanelTest, ShowSettingsSelectsOnlyOfferedTypesAndKeepsTheRest)
{
    const ShowTypeCase cases[] = {
        {0, CUSTOM_ITEM, CUSTOM_ITEM},
        {1, MINI_ITEM, MINI_ITEM},
        {2, FULL_ITEM, FULL_ITEM},
        {3, NO_SELECTION, FULL_ITEM},
        {9, NO_SELECTION, FULL_ITEM},
        {ALL_BITS, NO_SELECTION, FULL_ITEM},
    };
    for (const ShowTypeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored type " << c.code);
        DumpSettings settings;
        settings.hasDumpType = TRUE;
        settings.dumpType = c.code;

        Select(NO_SELECTION);
        m_panel.ShowSettings(settings);
        EXPECT_EQ(c.fromNoSelection, Selection());

        Select(FULL_ITEM);
        m_panel.ShowSettings(settings);
        EXPECT_EQ(c.fromFull, Selection());
        EXPECT_EQ(c.fromFull == CUSTOM_ITEM, ::IsWindowEnabled(Item(IDC_BTN_DUMP_CONTENTS)) != FALSE);

        // Whatever it shows, the given type reads back exactly: an unoffered one is kept as it
        // came until the user chooses in the field.
        Select(NO_SELECTION);
        m_panel.ShowSettings(settings);
        DumpSettings read;
        EXPECT_EQ(0u, m_panel.ReadSettings(read));
        EXPECT_TRUE(read.hasDumpType);
        EXPECT_EQ(c.code, read.dumpType);
        // A refused folder does not change how the type reads.
        SetText(IDC_EDIT_DUMP_FOLDER, L"Dumps");
        EXPECT_EQ(PANEL_ERR_DUMP_FOLDER, m_panel.ReadSettings(read));
        EXPECT_TRUE(read.hasDumpType);
        EXPECT_EQ(c.code, read.dumpType);
        SetText(IDC_EDIT_DUMP_FOLDER, L"");
        m_panel.OnDumpTypeChosen();
        EXPECT_EQ(0u, m_panel.ReadSettings(read));
        EXPECT_EQ(c.code <= 2, read.hasDumpType != FALSE);
    }
}

TEST_F(PanelTest, ShowSettingsWritesOnlyTheGivenValues)
{
    SetText(IDC_EDIT_DUMP_FOLDER, L"C:\\Before");
    SetText(IDC_EDIT_DUMP_COUNT, L"4");
    Select(MINI_ITEM);
    Check(false);

    DumpSettings nothingGiven;
    nothingGiven.folder = L"C:\\Ignored";
    nothingGiven.dumpType = 2;
    nothingGiven.dumpCount = 9;
    nothingGiven.setAcl = TRUE;
    m_panel.ShowSettings(nothingGiven);
    EXPECT_EQ(L"C:\\Before", Text(IDC_EDIT_DUMP_FOLDER));
    EXPECT_EQ(L"4", Text(IDC_EDIT_DUMP_COUNT));
    EXPECT_EQ(MINI_ITEM, Selection());
    EXPECT_TRUE(Checked()) << "the ACL request is always shown";

    DumpSettings given;
    given.hasFolder = TRUE;
    given.folder = L"%SystemDrive%\\Dumps";
    given.hasDumpCount = TRUE;
    given.dumpCount = -5;
    given.setAcl = FALSE;
    m_panel.ShowSettings(given);
    EXPECT_EQ(L"%SystemDrive%\\Dumps", Text(IDC_EDIT_DUMP_FOLDER));
    EXPECT_EQ(L"-5", Text(IDC_EDIT_DUMP_COUNT));
    EXPECT_FALSE(Checked());
}

TEST_F(PanelTest, ShowStoredSettingsShowsEveryFieldAndUnknownTypesAsTheEmptyItem)
{
    struct StoredTypeCase {
        BOOL given;
        DWORD code;
        int selection;
    };
    const StoredTypeCase cases[] = {
        {FALSE, 2, EMPTY_ITEM},
        {TRUE, 0, CUSTOM_ITEM},
        {TRUE, 1, MINI_ITEM},
        {TRUE, 2, FULL_ITEM},
        {TRUE, 3, EMPTY_ITEM},
        {TRUE, 9, EMPTY_ITEM},
        {TRUE, ALL_BITS, EMPTY_ITEM},
    };
    for (const StoredTypeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "given " << c.given << ", stored type " << c.code);
        Select(FULL_ITEM == c.selection ? MINI_ITEM : FULL_ITEM);
        DumpSettings stored;
        stored.hasDumpType = c.given;
        stored.dumpType = c.code;
        m_panel.ShowStoredSettings(stored);
        EXPECT_EQ(c.selection, Selection());
    }
}

TEST_F(PanelTest, ShowStoredSettingsEmptiesMissingValuesShowsCountsAsStoredAndKeepsTheCheckBox)
{
    for (bool checked : {true, false}) {
        SCOPED_TRACE(checked ? "box checked" : "box unchecked");
        Check(checked);
        SetText(IDC_EDIT_DUMP_FOLDER, L"C:\\Before");
        SetText(IDC_EDIT_DUMP_COUNT, L"4");
        DumpSettings missing;
        missing.folder = L"C:\\Ignored";
        missing.dumpCount = 9;
        m_panel.ShowStoredSettings(missing);
        EXPECT_EQ(L"", Text(IDC_EDIT_DUMP_FOLDER));
        EXPECT_EQ(L"", Text(IDC_EDIT_DUMP_COUNT));
        EXPECT_EQ(checked, Checked());
    }

    struct StoredCountCase {
        LONG count;
        const wchar_t* shown;
        DWORD flags;
    };
    const StoredCountCase counts[] = {
        {0, L"0", PANEL_ERR_DUMP_COUNT},
        {25, L"25", 0},
        {-2147483647 - 1, L"-2147483648", PANEL_ERR_DUMP_COUNT},
    };
    for (const StoredCountCase& c : counts) {
        SCOPED_TRACE(testing::Message() << "stored count " << c.count);
        DumpSettings stored;
        stored.hasFolder = TRUE;
        stored.folder = L"";
        stored.hasDumpCount = TRUE;
        stored.dumpCount = c.count;
        m_panel.ShowStoredSettings(stored);
        EXPECT_EQ(c.shown, Text(IDC_EDIT_DUMP_COUNT));
        DumpSettings read;
        EXPECT_EQ(c.flags, m_panel.ReadSettings(read));
        EXPECT_FALSE(read.hasFolder) << "a stored empty folder reads back as omitted";
    }
}

TEST_F(PanelTest, ClearSettingsEmptiesEverythingAndSelectsTheEmptyItem)
{
    SetText(IDC_EDIT_DUMP_FOLDER, L"C:\\Dumps");
    SetText(IDC_EDIT_DUMP_COUNT, L"10");
    Select(FULL_ITEM);
    Check(true);

    m_panel.ClearSettings();

    EXPECT_EQ(L"", Text(IDC_EDIT_DUMP_FOLDER));
    EXPECT_EQ(L"", Text(IDC_EDIT_DUMP_COUNT));
    EXPECT_EQ(EMPTY_ITEM, Selection());
    EXPECT_FALSE(Checked());
    DumpSettings read;
    EXPECT_EQ(0u, m_panel.ReadSettings(read));
    EXPECT_TRUE(read.IsEmpty());
}

class PanelSuggestionTest : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        suggested_store::DeleteSection();
    }
    void TearDown() override
    {
        suggested_store::DeleteSection();
        PanelTest::TearDown();
    }
};

TEST_F(PanelSuggestionTest, WithoutAProfileTheBuiltInSuggestionsAreShown)
{
    wchar_t windowsDir[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windowsDir, MAX_PATH);

    m_panel.SetSuggestedSettings();

    EXPECT_EQ(std::wstring(1, windowsDir[0]) + L":\\CrashDumps", Text(IDC_EDIT_DUMP_FOLDER));
    EXPECT_EQ(L"100", Text(IDC_EDIT_DUMP_COUNT));
    EXPECT_EQ(FULL_ITEM, Selection());
    EXPECT_TRUE(Checked());
}

TEST_F(PanelSuggestionTest, ProfileValuesAreShownAsStored)
{
    struct SuggestionCase {
        const wchar_t* folder;
        DWORD type;
        DWORD count;
        DWORD setAcl;
        int selection;  // from a mini dump selection
        const wchar_t* countText;
        bool checked;
        DWORD readFlags;
    };
    const SuggestionCase cases[] = {
        {L"%LOCALAPPDATA%\\CrashDumps", 2, 50, 1, FULL_ITEM, L"50", true, PANEL_ERR_DUMP_FOLDER},
        {L"", 5, 7, 0, MINI_ITEM, L"7", false, 0},
        {L"D:\\Dumps", ALL_BITS, 0, 3, MINI_ITEM, L"0", true, PANEL_ERR_DUMP_COUNT},
        {L"D:\\Dumps", 0, ALL_BITS, 1, CUSTOM_ITEM, L"-1", true, PANEL_ERR_DUMP_COUNT},
    };
    for (const SuggestionCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "suggestion case " << (&c - cases));
        suggested_store::SetString(L"DumpFolder", c.folder);
        suggested_store::SetDword(L"DumpType", c.type);
        suggested_store::SetDword(L"DumpCount", c.count);
        suggested_store::SetDword(L"SetACL", c.setAcl);
        SetText(IDC_EDIT_DUMP_FOLDER, L"C:\\Before");
        SetText(IDC_EDIT_DUMP_COUNT, L"4");
        Select(MINI_ITEM);
        Check(!c.checked);

        m_panel.SetSuggestedSettings();

        EXPECT_EQ(c.folder, Text(IDC_EDIT_DUMP_FOLDER)) << "unexpanded, and empty when stored empty";
        EXPECT_EQ(c.selection, Selection());
        EXPECT_EQ(c.countText, Text(IDC_EDIT_DUMP_COUNT));
        EXPECT_EQ(c.checked, Checked());
        DumpSettings read;
        EXPECT_EQ(c.readFlags, m_panel.ReadSettings(read)) << "nothing is checked until the panel is read";
    }
}

class PanelErrorReportTest : public PanelTest {
protected:
    struct ShownBox {
        std::wstring text;
        UINT type;
        HWND focus;
    };

    void SetUp() override
    {
        PanelTest::SetUp();
        ::ShowWindow(m_dialog, SW_SHOW);
        ::SetForegroundWindow(m_dialog);
        ::SetFocus(Item(IDC_EDIT_DUMP_FOLDER));
        SetMessageBoxHook([this](HWND, const std::wstring& text, const std::wstring&, UINT type) {
            m_boxes.push_back({text, type, ::GetFocus()});
            return m_answer;
        });
    }

    std::vector<ShownBox> m_boxes;
    int m_answer = IDOK;
};

TEST_F(PanelErrorReportTest, TheFirstFlagIsReportedAfterTheFocusMoved)
{
    const wchar_t* const TYPE_MESSAGE = L"'Crash dump type' selection is invalid";
    const wchar_t* const COUNT_MESSAGE =
        L"'Maximum number of files' must be a positive value from 1 and up. Or clear that field not to use it";
    struct ReportCase {
        DWORD flags;
        int focusId;
        const wchar_t* message;
    };
    const ReportCase cases[] = {
        {PANEL_ERR_DUMP_TYPE, IDC_COMBO_DUMP_TYPE, TYPE_MESSAGE},
        {PANEL_ERR_DUMP_COUNT, IDC_EDIT_DUMP_COUNT, COUNT_MESSAGE},
        {PANEL_ERR_DUMP_TYPE | PANEL_ERR_DUMP_COUNT, IDC_COMBO_DUMP_TYPE, TYPE_MESSAGE},
    };
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags);
        m_boxes.clear();
        ::SetFocus(Item(IDC_EDIT_DUMP_FOLDER));

        EXPECT_TRUE(m_panel.ReportReadErrors(c.flags));

        ASSERT_EQ(1u, m_boxes.size()) << "one failure at a time";
        EXPECT_EQ(c.message, m_boxes[0].text);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), m_boxes[0].type);
        EXPECT_EQ(Item(c.focusId), m_boxes[0].focus) << "focus moves before the box opens";
    }
}

TEST_F(PanelErrorReportTest, NoFlagsReportNothing)
{
    EXPECT_FALSE(m_panel.ReportReadErrors(0));
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(Item(IDC_EDIT_DUMP_FOLDER), ::GetFocus());
}

std::wstring KnownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    std::wstring text;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path)))
        text = path;
    ::CoTaskMemFree(path);
    return text;
}

// One of this computer's own addresses as its adapters list it: an IPv4 one, not a loopback one.
std::wstring OwnAddress()
{
    ULONG size = 64 * 1024;
    std::vector<BYTE> buffer(size);
    auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    if (::GetAdaptersAddresses(AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST, nullptr, adapter, &size))
        adapter = nullptr;
    for (; adapter; adapter = adapter->Next) {
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const auto& b = reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr)->sin_addr.S_un.S_un_b;
            if (b.s_b1 != 127)
                return FormatText(L"%u.%u.%u.%u", b.s_b1, b.s_b2, b.s_b3, b.s_b4);
        }
    }
    ADD_FAILURE() << "this computer has no IPv4 address but loopback ones";
    return L"";
}

TEST_F(PanelErrorReportTest, AFolderNotFullOrNeverForEveryoneIsReportedOnTheFolder)
{
    const std::wstring windows = KnownFolder(FOLDERID_Windows);
    const std::wstring programFiles = KnownFolder(FOLDERID_ProgramFiles);
    const std::wstring localAppData = KnownFolder(FOLDERID_LocalAppData);
    const std::wstring startup = KnownFolder(FOLDERID_CommonStartup);
    const std::wstring programData = KnownFolder(FOLDERID_ProgramData);
    ASSERT_FALSE(windows.empty() || programFiles.empty() || localAppData.empty() || startup.empty() ||
                 programData.empty());
    wchar_t computer[256] = {};
    DWORD computerSize = 256;
    ASSERT_TRUE(::GetComputerNameExW(ComputerNameDnsHostname, computer, &computerSize));
    // An existing folder of something else: it holds a text file.
    const std::wstring toolFolder = windows.substr(0, 3) + L"kestrune-panel-tool";
    const std::wstring toolFile = toolFolder + L"\\settings.txt";
    ::CreateDirectoryW(toolFolder.c_str(), nullptr);
    ::CloseHandle(::CreateFileW(toolFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::wstring drive = windows.substr(0, 3);  // "C:\"
    const std::wstring notFull = PANEL_MSG_FOLDER_NOT_FULL_PATH;
    const std::wstring localShare = L"is reached through a share of this computer";
    auto notForEveryone = [](const std::wstring& place, const std::wstring& path) {
        return FormatText(PANEL_MSG_FOLDER_NOT_FOR_EVERYONE, place.c_str(), path.c_str());
    };
    ::SetEnvironmentVariableW(L"KESTRUNE_UNSET_VAR", nullptr);
    const std::wstring ownAddress = L"\\\\" + OwnAddress() + L"\\share\\Dumps";
    struct FolderCase {
        std::wstring text;
        bool acl;
        std::wstring message;  // empty: accepted
    };
    const FolderCase cases[] = {
        {L"Dumps", false, notFull},
        {L"\\Dumps", true, notFull},
        {L"D:Dumps", true, notFull},
        {L"C:", false, notFull},
        {L"%KESTRUNE_UNSET_VAR%\\Dumps", false, notFull},
        {drive, true, notForEveryone(L"is the root of a drive", drive)},
        {drive, false, L""},
        {windows, true, notForEveryone(L"is in the Windows folder", windows)},
        {windows + L"\\Temp\\Dumps", true, notForEveryone(L"is in the Windows folder", windows + L"\\Temp\\Dumps")},
        {windows + L"x\\Dumps", true, L""},
        {programFiles + L"\\Dumps", true, notForEveryone(L"is in a program files folder", programFiles + L"\\Dumps")},
        {L"%LOCALAPPDATA%\\CrashDumps", true, notForEveryone(L"is in a user profile", localAppData + L"\\CrashDumps")},
        {L"%LOCALAPPDATA%\\CrashDumps", false, L""},
        {L"\\\\server\\share\\Dumps", true, L""},
        {L"\\\\server", false, notFull},
        {L"//server/share", true, notForEveryone(L"is the root of a drive", L"//server/share")},
        {drive + L"CrashDumps", true, L""},
        // Other names of the same places, and texts that name no folder.
        {L"\\\\localhost\\C$\\Windows\\Temp", true, notForEveryone(localShare, L"\\\\localhost\\C$\\Windows\\Temp")},
        {L"\\\\localhost\\C$\\Windows\\Temp", false, L""},
        {L"\\\\127.0.0.1\\ADMIN$\\Temp", true, notForEveryone(localShare, L"\\\\127.0.0.1\\ADMIN$\\Temp")},
        {std::wstring(L"\\\\") + computer + L"\\share\\Dumps", true,
         notForEveryone(localShare, std::wstring(L"\\\\") + computer + L"\\share\\Dumps")},
        {L"\\\\server\\D$\\Dumps", true,
         notForEveryone(L"is reached through an administrative share", L"\\\\server\\D$\\Dumps")},
        {L"\\\\;LanmanRedirector\\localhost\\C$\\x", true,
         notForEveryone(localShare, L"\\\\;LanmanRedirector\\localhost\\C$\\x")},
        {L"\\\\localhost@SSL\\DavWWWRoot\\x", true, notForEveryone(localShare, L"\\\\localhost@SSL\\DavWWWRoot\\x")},
        {L"\\\\localhost@80\\x", true, notForEveryone(localShare, L"\\\\localhost@80\\x")},
        {L"\\\\localhost..\\x", true, notForEveryone(localShare, L"\\\\localhost..\\x")},
        {L"\\\\--ffff-7f00-1.ipv6-literal.net\\x", true,
         notForEveryone(localShare, L"\\\\--ffff-7f00-1.ipv6-literal.net\\x")},
        {L"\\\\0--1.ipv6-literal.net\\x", true, notForEveryone(localShare, L"\\\\0--1.ipv6-literal.net\\x")},
        {L"\\\\--ffff-c000-201.ipv6-literal.net\\share\\Dumps", true, L""},  // 192.0.2.1, a documentation address
        {ownAddress, true, notForEveryone(localShare, ownAddress)},
        {L"\\\\other\\C$ \\x", true, notForEveryone(L"is reached through an administrative share", L"\\\\other\\C$ \\x")},
        {L"\\\\other\\C$.\\x", true, notForEveryone(L"is reached through an administrative share", L"\\\\other\\C$.\\x")},
        {L"\\\\?\\C:\\Dumps", false, notFull},
        {L"\\\\?\\UNC\\localhost\\C$\\Windows\\Temp", true, notFull},
        {L"\\\\.\\C:", true, notFull},
        {L"\\\\?\\C:Dumps", false, notFull},
        {L"C:\\Dumps::$INDEX_ALLOCATION", false, notFull},
        // Places that every user's session or every program reads, and folders of something else.
        {startup, true, notForEveryone(L"is in the all-users Start Menu", startup)},
        {L"%ProgramData%", true, notForEveryone(L"is the ProgramData folder", programData)},
        {L"%ProgramData%\\CrashDumps", true, L""},
        {toolFolder, true, notForEveryone(L"holds other files", toolFolder)},
        {toolFolder, false, L""},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        m_boxes.clear();
        SetText(IDC_EDIT_DUMP_FOLDER, c.text);
        Check(c.acl);
        ::SetFocus(Item(IDC_EDIT_DUMP_COUNT));
        DumpSettings read;
        const DWORD flags = m_panel.ReadSettings(read);
        EXPECT_EQ(!c.message.empty(), (flags & PANEL_ERR_DUMP_FOLDER) != 0);
        if (c.message.empty())
            continue;
        EXPECT_TRUE(m_panel.ReportReadErrors(flags | PANEL_ERR_DUMP_TYPE | PANEL_ERR_DUMP_COUNT));
        ASSERT_EQ(1u, m_boxes.size()) << "the folder first, one failure at a time";
        EXPECT_EQ(c.message, m_boxes[0].text);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), m_boxes[0].type);
        EXPECT_EQ(Item(IDC_EDIT_DUMP_FOLDER), m_boxes[0].focus);
    }
    ::DeleteFileW(toolFile.c_str());
    ::RemoveDirectoryW(toolFolder.c_str());
}

// The folder's owner as read through the seam: the Users group, as for a folder that a standard
// user made.
PSID g_usersSid = nullptr;
DWORD WINAPI OwnedByUsers(HANDLE handle, SE_OBJECT_TYPE type, SECURITY_INFORMATION info, PSID* owner, PSID* group,
                          PACL* dacl, PACL* sacl, PSECURITY_DESCRIPTOR* descriptor)
{
    const DWORD code = Real().GetSecurityInfo(handle, type, info, owner, group, dacl, sacl, descriptor);
    if (owner)
        *owner = g_usersSid;
    return code;
}

TEST_F(PanelErrorReportTest, AFolderOfAnotherAccountIsRefusedWithTheBoxOnAndAskedAboutWithItOff)
{
    const std::wstring folder = KnownFolder(FOLDERID_Windows).substr(0, 3) + L"kestrune-panel-owner";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::ConvertStringSidToSidW(L"S-1-5-32-545", &g_usersSid);
    SeamRecorder seam;
    Sys().GetSecurityInfo = OwnedByUsers;
    SetText(IDC_EDIT_DUMP_FOLDER, folder);
    EXPECT_EQ(FormatText(PANEL_MSG_FOLDER_NOT_FOR_EVERYONE, L"belongs to BUILTIN\\Users", folder.c_str()),
              DumpFolderMessage(folder, true));

    Check(false);
    for (int answer : {IDNO, IDYES}) {
        m_boxes.clear();
        m_answer = answer;
        ::SetFocus(Item(IDC_EDIT_DUMP_COUNT));
        DumpSettings read;
        EXPECT_EQ(answer == IDNO, m_panel.ReportReadErrors(m_panel.ReadSettings(read))) << answer;
        ASSERT_EQ(1u, m_boxes.size());
        EXPECT_EQ(FormatText(PANEL_MSG_FOLDER_FOREIGN_OWNER, folder.c_str(), L"BUILTIN\\Users"), m_boxes[0].text);
        EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), m_boxes[0].type);
        EXPECT_EQ(answer == IDNO ? Item(IDC_EDIT_DUMP_FOLDER) : Item(IDC_EDIT_DUMP_COUNT), ::GetFocus()) << answer;
    }
    ::LocalFree(g_usersSid);
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace
