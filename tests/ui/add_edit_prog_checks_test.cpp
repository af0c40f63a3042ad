// The checks of the program settings dialog when the user confirms: their order, their messages,
// where the focus goes, and that the caller's entry changes only after every check passed.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/text_utils.h"
#include "res/resource.h"
#include "ui/settings/dump_folder_rules.h"
#include "tests/ui/add_edit_prog_harness.h"

using namespace prog_dialog_test;

namespace {

// The texts as the user reads them.
const wchar_t* const MSG_SPECIFY_NAME = L"Specify process name";
const wchar_t* const MSG_FILE_NAME_ONLY = L"Process name must be file name only";
const wchar_t* const MSG_INVALID_CHARACTERS =
    L"Process name contains invalid characters.\n\nDon't use any of the following:\n\n\\ / : * ? \" < > |";
const wchar_t* const MSG_TOO_LONG = L"Process name must not be longer than 255 characters";
const wchar_t* const MSG_DUMP_TYPE = L"'Crash dump type' selection is invalid";
const wchar_t* const MSG_DUMP_COUNT =
    L"'Maximum number of files' must be a positive value from 1 and up. Or clear that field not to use it";

// An entry whose every field differs from what the dialog could produce, to see it untouched.
ProgramEntry SentinelEntry()
{
    ProgramEntry entry = GivenEntry(L"sentinel.exe", L"D:\\Sentinel", 1, 77, TRUE);
    entry.modified = TRUE;
    entry.matched = 1;
    return entry;
}

void ExpectSameEntry(const ProgramEntry& expected, const ProgramEntry& actual)
{
    EXPECT_TRUE(expected.Equals(actual)) << "entry changed to \"" << std::string(actual.processName.begin(), actual.processName.end()) << "\"";
    EXPECT_EQ(expected.settings.setAcl, actual.settings.setAcl);
    EXPECT_EQ(expected.modified, actual.modified);
    EXPECT_EQ(expected.matched, actual.matched);
}

// Types a name and the panel's texts, then presses the OK button.
Step TypeAndConfirm(const std::wstring& name, const std::wstring& count = L"")
{
    return [name, count](HWND dialog) {
        SetText(dialog, IDC_EDIT_PROCESS_NAME, name);
        SetText(dialog, IDC_EDIT_DUMP_COUNT, count);
        PostClick(dialog, IDOK);
    };
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += (c < 128) ? static_cast<char>(c) : '?';
    return out;
}

// Key names stop at 255 characters; the name edit takes 260.
const std::wstring LONG_NAME_255 = std::wstring(251, L'n') + L".exe";
const std::wstring LONG_NAME_256 = L"x" + LONG_NAME_255;
const std::wstring LONG_NAME_256_WITH_STAR = L"*" + LONG_NAME_255;

struct NameCase {
    const wchar_t* typed;
    const wchar_t* message;
};

} // namespace

TEST(AddEditProgChecks, RefusedNamesGetTheirOneMessageWithTheFocusOnTheName)
{
    const NameCase cases[] = {
        {L"", MSG_SPECIFY_NAME},
        {L"  \t  ", MSG_SPECIFY_NAME},
        {L"a\\b.exe", MSG_FILE_NAME_ONLY},
        {L"a/b.exe", MSG_FILE_NAME_ONLY},
        {L"C:\\Tools\\app.exe", MSG_FILE_NAME_ONLY},  // a colon too, but a path first
        {L"a|b/c.exe", MSG_FILE_NAME_ONLY},
        {L"a:b.exe", MSG_INVALID_CHARACTERS},
        {L"*", MSG_INVALID_CHARACTERS},
        {L"?", MSG_INVALID_CHARACTERS},
        {L"\"", MSG_INVALID_CHARACTERS},
        {L"<", MSG_INVALID_CHARACTERS},
        {L">", MSG_INVALID_CHARACTERS},
        {L"|", MSG_INVALID_CHARACTERS},
        {L" app?.exe ", MSG_INVALID_CHARACTERS},
        {LONG_NAME_256.c_str(), MSG_TOO_LONG},
        {LONG_NAME_256_WITH_STAR.c_str(), MSG_INVALID_CHARACTERS},
    };
    // One dialog takes every case in turn: a refused name leaves it open for the next one.
    ProgramEntry entry = SentinelEntry();
    ProgDialogRun run;
    run.row = 3;
    for (const NameCase& c : cases)
        run.steps.push_back(TypeAndConfirm(c.typed));
    RunProgDialog(run, entry);

    EXPECT_EQ(RUN_LEFT_OPEN, run.result);
    ASSERT_EQ(sizeof(cases) / sizeof(cases[0]), run.boxes.size());
    for (size_t i = 0; i < run.boxes.size(); ++i) {
        SCOPED_TRACE(Narrow(cases[i].typed));
        EXPECT_EQ(cases[i].message, run.boxes[i].text);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), run.boxes[i].type);
        EXPECT_EQ(IDC_EDIT_PROCESS_NAME, run.boxes[i].focusId);
    }
    EXPECT_TRUE(run.questions.empty()) << "the main window was asked about a refused name";
    ExpectSameEntry(SentinelEntry(), entry);
}

TEST(AddEditProgChecks, PanelFailuresFollowTheNameChecksTypeBeforeCount)
{
    struct PanelCase {
        const char* what;
        const wchar_t* name;
        const wchar_t* count;
        bool unreadableType;
        const wchar_t* message;
        int focusId;
    };
    const PanelCase cases[] = {
        {"empty name wins over a bad count", L"", L"0", false, MSG_SPECIFY_NAME,
         IDC_EDIT_PROCESS_NAME},
        {"invalid count", L"app.exe", L"0", false, MSG_DUMP_COUNT, IDC_EDIT_DUMP_COUNT},
        {"count with a leading zero", L"app.exe", L"007", false, MSG_DUMP_COUNT, IDC_EDIT_DUMP_COUNT},
        {"count beyond the range", L"app.exe", L"2147483648", false, MSG_DUMP_COUNT,
         IDC_EDIT_DUMP_COUNT},
        {"unreadable type", L"app.exe", L"", true, MSG_DUMP_TYPE, IDC_COMBO_DUMP_TYPE},
        {"unreadable type wins over a bad count", L"app.exe", L"0", true, MSG_DUMP_TYPE,
         IDC_COMBO_DUMP_TYPE},
        {"path wins over an unreadable type", L"x\\app.exe", L"0", true, MSG_FILE_NAME_ONLY,
         IDC_EDIT_PROCESS_NAME},
    };
    ProgramEntry entry = SentinelEntry();
    ProgDialogRun run;
    // An item whose data the panel cannot take as a dump type code, selected for the cases that
    // need an unreadable type.
    run.steps.push_back([](HWND dialog) {
        const HWND combo = ::GetDlgItem(dialog, IDC_COMBO_DUMP_TYPE);
        const LRESULT index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"odd"));
        ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), CB_ERR);
    });
    for (const PanelCase& c : cases) {
        const bool unreadableType = c.unreadableType;
        run.steps.push_back([unreadableType](HWND dialog) {
            const HWND combo = ::GetDlgItem(dialog, IDC_COMBO_DUMP_TYPE);
            const LRESULT odd = ::SendMessageW(combo, CB_GETCOUNT, 0, 0) - 1;
            ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(unreadableType ? odd : 1), 0);
        });
        run.steps.push_back(TypeAndConfirm(c.name, c.count));
    }
    RunProgDialog(run, entry);

    EXPECT_EQ(RUN_LEFT_OPEN, run.result);
    ASSERT_EQ(sizeof(cases) / sizeof(cases[0]), run.boxes.size());
    for (size_t i = 0; i < run.boxes.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(cases[i].message, run.boxes[i].text);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), run.boxes[i].type);
        EXPECT_EQ(cases[i].focusId, run.boxes[i].focusId);
    }
    EXPECT_TRUE(run.questions.empty());
    ExpectSameEntry(SentinelEntry(), entry);
}

TEST(AddEditProgChecks, AFolderNeverOpenedToEveryoneIsRefusedOnTheFolder)
{
    // Add mode starts with the ACL box on; the user's own profile is never opened to everyone.
    wchar_t expanded[MAX_PATH] = {};
    ::ExpandEnvironmentStringsW(L"%LOCALAPPDATA%\\CrashDumps", expanded, MAX_PATH);
    ProgramEntry entry = SentinelEntry();
    ProgDialogRun run;
    run.row = -1;
    run.steps = {
        [](HWND dialog) { SetText(dialog, IDC_EDIT_DUMP_FOLDER, L"%LOCALAPPDATA%\\CrashDumps"); },
        TypeAndConfirm(L"app.exe", L"0"),
    };
    RunProgDialog(run, entry);

    EXPECT_EQ(RUN_LEFT_OPEN, run.result);
    ASSERT_EQ(1u, run.boxes.size()) << "the folder before the count";
    EXPECT_EQ(FormatText(PANEL_MSG_FOLDER_NOT_FOR_EVERYONE, L"is in a user profile", expanded), run.boxes[0].text);
    EXPECT_EQ(IDC_EDIT_DUMP_FOLDER, run.boxes[0].focusId);
    EXPECT_TRUE(run.questions.empty());
    ExpectSameEntry(SentinelEntry(), entry);
}

TEST(AddEditProgChecks, ADuplicateNameIsRefusedQuotingTheTrimmedName)
{
    for (int row : {-1, 4}) {
        SCOPED_TRACE(row);
        ProgramEntry entry = SentinelEntry();
        ProgDialogRun run;
        run.row = row;
        run.findAnswer = 1;
        run.steps = {TypeAndConfirm(L"  App.EXE \t", L" 5 ")};
        RunProgDialog(run, entry);

        EXPECT_EQ(RUN_LEFT_OPEN, run.result);
        ASSERT_EQ(1u, run.questions.size());
        EXPECT_EQ(L"App.EXE", run.questions[0].name);
        EXPECT_EQ(row, run.questions[0].row);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(L"Settings for the following process name already exist:\n\nApp.EXE", run.boxes[0].text);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), run.boxes[0].type);
        EXPECT_EQ(IDC_EDIT_PROCESS_NAME, run.boxes[0].focusId);
        ExpectSameEntry(SentinelEntry(), entry);
    }
}

TEST(AddEditProgChecks, ARefusedDialogStaysOpenWithEverythingAsTyped)
{
    ProgramEntry entry = SentinelEntry();
    ProgDialogRun run;
    std::wstring nameAfter, countAfter, folderAfter;
    run.steps = {
        [](HWND dialog) { SetText(dialog, IDC_EDIT_DUMP_FOLDER, L" C:\\Dumps "); },
        TypeAndConfirm(L" app.exe ", L"0"),
        [&](HWND dialog) {
            nameAfter = GetText(dialog, IDC_EDIT_PROCESS_NAME);
            countAfter = GetText(dialog, IDC_EDIT_DUMP_COUNT);
            folderAfter = GetText(dialog, IDC_EDIT_DUMP_FOLDER);
            // Corrected, the same dialog is accepted.
            SetText(dialog, IDC_EDIT_DUMP_COUNT, L"10");
            PostClick(dialog, IDOK);
        },
    };
    RunProgDialog(run, entry);

    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(L" app.exe ", nameAfter);
    EXPECT_EQ(L"0", countAfter);
    EXPECT_EQ(L" C:\\Dumps ", folderAfter);
    EXPECT_EQ(IDOK, run.result);
    EXPECT_EQ(L"app.exe", entry.processName);
    EXPECT_EQ(10, entry.settings.dumpCount);
}

TEST(AddEditProgChecks, AcceptedValuesAreStoredTrimmedAndTheMarksAreLeftAlone)
{
    ProgramEntry entry = SentinelEntry();
    ProgDialogRun run;
    run.steps = {[](HWND dialog) {
        SetText(dialog, IDC_EDIT_PROCESS_NAME, L" \tnew app.exe  ");
        SetText(dialog, IDC_EDIT_DUMP_FOLDER, L"  %SystemDrive%\\Dumps  ");
        ::SendDlgItemMessageW(dialog, IDC_COMBO_DUMP_TYPE, CB_SETCURSEL, 2, 0);
        SetText(dialog, IDC_EDIT_DUMP_COUNT, L" 12 ");
        ::SendDlgItemMessageW(dialog, IDC_CHECK_SET_ACL, BM_SETCHECK, BST_UNCHECKED, 0);
        PostClick(dialog, IDOK);
    }};
    RunProgDialog(run, entry);

    EXPECT_EQ(IDOK, run.result);
    EXPECT_TRUE(run.boxes.empty());
    ASSERT_EQ(1u, run.questions.size());
    EXPECT_EQ(L"new app.exe", run.questions[0].name);
    EXPECT_EQ(-1, run.questions[0].row);

    EXPECT_EQ(L"new app.exe", entry.processName);
    EXPECT_TRUE(entry.settings.hasFolder);
    EXPECT_EQ(L"%SystemDrive%\\Dumps", entry.settings.folder);
    EXPECT_TRUE(entry.settings.hasDumpType);
    EXPECT_EQ(2u, entry.settings.dumpType);
    EXPECT_TRUE(entry.settings.hasDumpCount);
    EXPECT_EQ(12, entry.settings.dumpCount);
    EXPECT_FALSE(entry.settings.setAcl);
    EXPECT_EQ(TRUE, entry.modified);
    EXPECT_EQ(1u, entry.matched);
}

TEST(AddEditProgChecks, ANameAloneIsAcceptedWithEveryOtherSettingOmitted)
{
    // Add mode starts with the ACL box checked and nothing else given.
    ProgramEntry entry = SentinelEntry();
    ProgDialogRun run;
    run.steps = {[](HWND dialog) {
        SetText(dialog, IDC_EDIT_PROCESS_NAME, L"only.exe");
        SetText(dialog, IDC_EDIT_DUMP_FOLDER, L"   ");
        PostClick(dialog, IDOK);
    }};
    RunProgDialog(run, entry);

    EXPECT_EQ(IDOK, run.result);
    EXPECT_EQ(L"only.exe", entry.processName);
    EXPECT_FALSE(entry.settings.hasFolder);
    EXPECT_EQ(L"", entry.settings.folder);
    EXPECT_FALSE(entry.settings.hasDumpType);
    EXPECT_EQ(0u, entry.settings.dumpType);
    EXPECT_FALSE(entry.settings.hasDumpCount);
    EXPECT_EQ(0, entry.settings.dumpCount);
    EXPECT_TRUE(entry.settings.setAcl);
}

TEST(AddEditProgChecks, ANameOfTheLongestKeyNameIsAccepted)
{
    ProgramEntry entry = SentinelEntry();
    ProgDialogRun run;
    run.steps = {TypeAndConfirm(L" " + LONG_NAME_255 + L" ")};
    RunProgDialog(run, entry);

    EXPECT_EQ(IDOK, run.result);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(LONG_NAME_255, entry.processName);
}
