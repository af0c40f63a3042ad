// The exit confirmation of the real window: closing asks "Do you want to exit without saving
// changes?" exactly when the window differs from what it showed at opening, No and Cancel keep
// the window with every edit, Yes ends it without writing anything.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/e2e/kestrune_session.h"

using namespace e2e;

namespace {

class ExitConfirmationTest : public KestruneSession {
public:
    // The stored state every case starts from: a global folder and count, and one program.
    void StoreStartingState()
    {
        reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"C:\\Stored Dumps");
        reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 5);
        reg64::SetDword(ProgramKeyPath(L"app.exe"), VALUE_DUMP_TYPE, 1);
    }

    void TypeCount(const std::wstring& text)
    {
        ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_COUNT, text));
        ASSERT_EQ(text, ControlText(Main(), IDC_EDIT_DUMP_COUNT));
    }

    void ClickAclBox(int expectedState)
    {
        ASSERT_TRUE(PressButton(Main(), IDC_CHECK_SET_ACL));
        ASSERT_TRUE(WaitUntil([&] { return CheckState(Main(), IDC_CHECK_SET_ACL) == expectedState; }));
    }

    void ExpectStoredStateUntouched(const std::wstring& folder = L"C:\\Stored Dumps")
    {
        EXPECT_EQ(folder, reg64::GetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER));
        EXPECT_EQ(5, DwordOf(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT));
        EXPECT_EQ(std::vector<std::wstring>{L"app.exe"}, reg64::Subkeys(LOCALDUMPS_KEY_PATH));
        EXPECT_EQ(1, DwordOf(ProgramKeyPath(L"app.exe"), VALUE_DUMP_TYPE));
    }
};

// A user's edit and what the window must still show after a No or Cancel.
struct Case {
    const char* name;
    std::function<void(ExitConfirmationTest&)> act;
    std::function<void(ExitConfirmationTest&)> expectKept;
    const wchar_t* storedFolder = L"C:\\Stored Dumps";  // the registry's folder at the end
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class NoQuestionTest : public ExitConfirmationTest, public ::testing::WithParamInterface<Case> {};
class QuestionTest : public ExitConfirmationTest, public ::testing::WithParamInterface<Case> {};

void Nothing(ExitConfirmationTest&) {}

} // namespace

TEST_P(NoQuestionTest, ClosingEndsTheProgramAtOnceAndWritesNothing)
{
    StoreStartingState();
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_NO_FATAL_FAILURE(GetParam().act(*this));
    CloseExpectingNoQuestion();
    ExpectStoredStateUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    UnchangedWindow, NoQuestionTest,
    ::testing::Values(
        Case{"OpenedAndCancelled", Nothing, Nothing},
        Case{"CountTypedAndTypedBack",
             [](ExitConfirmationTest& t) {
                 t.TypeCount(L"17");
                 t.TypeCount(L"5");
             },
             Nothing},
        Case{"FolderTypedAndTypedBack",
             [](ExitConfirmationTest& t) {
                 ASSERT_TRUE(SetControlText(t.Main(), IDC_EDIT_DUMP_FOLDER, L"D:\\Elsewhere"));
                 ASSERT_TRUE(SetControlText(t.Main(), IDC_EDIT_DUMP_FOLDER, L"C:\\Stored Dumps"));
             },
             Nothing},
        Case{"AclBoxClearedAndSetAgain",
             [](ExitConfirmationTest& t) {
                 t.ClickAclBox(BST_UNCHECKED);
                 t.ClickAclBox(BST_CHECKED);
             },
             Nothing},
        Case{"ProgramEditedAndConfirmedUnchanged",
             [](ExitConfirmationTest& t) {
                 t.SelectRows({0});
                 ASSERT_TRUE(PressButton(t.Main(), IDC_BTN_EDIT_PROGRAM));
                 const HWND edit = WaitForDialog(t.Pid(), EDIT_CAPTION);
                 ASSERT_NE(nullptr, edit);
                 ASSERT_TRUE(PressButton(edit, IDOK));
                 t.WaitUntilGone(edit);
             },
             Nothing}),
    NameOfStep());

TEST_P(QuestionTest, NoAndCancelKeepTheWindowWithItsEditsAndYesEndsItWithoutWriting)
{
    StoreStartingState();
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_NO_FATAL_FAILURE(GetParam().act(*this));

    for (int answer : {IDNO, IDCANCEL}) {
        SCOPED_TRACE(answer == IDNO ? "No" : "Cancel");
        const MessageBoxInfo box = CloseExpectingQuestion();
        ASSERT_TRUE(box);
        ASSERT_NO_FATAL_FAILURE(Answer(box, answer));
        ASSERT_TRUE(m_program.IsRunning());
        EXPECT_TRUE(::IsWindowVisible(Main()));
        EXPECT_TRUE(::IsWindowEnabled(Main()));
        GetParam().expectKept(*this);
    }

    const MessageBoxInfo box = CloseExpectingQuestion();
    ASSERT_TRUE(box);
    ASSERT_TRUE(PressButton(box.window, IDYES));
    ASSERT_TRUE(m_program.WaitForExit()) << "Yes did not end the program";
    EXPECT_EQ(0u, m_program.ExitCode());
    ExpectStoredStateUntouched(GetParam().storedFolder);
}

INSTANTIATE_TEST_SUITE_P(
    ChangedWindow, QuestionTest,
    ::testing::Values(
        Case{"AclBoxCleared", [](ExitConfirmationTest& t) { t.ClickAclBox(BST_UNCHECKED); },
             [](ExitConfirmationTest& t) { EXPECT_EQ(BST_UNCHECKED, CheckState(t.Main(), IDC_CHECK_SET_ACL)); }},
        Case{"FolderTyped",
             [](ExitConfirmationTest& t) {
                 ASSERT_TRUE(SetControlText(t.Main(), IDC_EDIT_DUMP_FOLDER, L"D:\\Typed"));
             },
             [](ExitConfirmationTest& t) { EXPECT_EQ(L"D:\\Typed", ControlText(t.Main(), IDC_EDIT_DUMP_FOLDER)); }},
        Case{"EntryDeletedAndAddedAgainUnderItsName",
             [](ExitConfirmationTest& t) {
                 t.SelectRows({0});
                 ASSERT_TRUE(PressButton(t.Main(), IDC_BTN_DELETE_PROGRAM));
                 const MessageBoxInfo box =
                     t.ExpectMessageBox(L"Do you want to remove the following program from the list?\n\napp.exe");
                 ASSERT_NO_FATAL_FAILURE(t.Answer(box, IDYES));
                 ASSERT_TRUE(t.RowNames().empty());
                 t.AddProgram({L"app.exe", L"", 1, L""});
                 ASSERT_EQ(std::vector<std::wstring>{L"app.exe"}, t.RowNames());
             },
             [](ExitConfirmationTest& t) {
                 RemoteListView list(::GetDlgItem(t.Main(), IDC_LIST_PROGRAMS));
                 ASSERT_EQ(1, list.RowCount());
                 EXPECT_EQ((std::vector<std::wstring>{L"app.exe", L"Mini dump", L"", L""}), list.RowTexts(0));
             }},
        Case{"RefreshAfterAnOutsideChange",
             [](ExitConfirmationTest& t) {
                 reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"C:\\Changed Outside");
                 ASSERT_TRUE(FocusControl(t.Main(), IDC_EDIT_DUMP_COUNT));
                 ASSERT_TRUE(PostKeyToFocus(t.Main(), VK_F5));
                 ASSERT_TRUE(WaitUntil([&] {
                     return ControlText(t.Main(), IDC_EDIT_DUMP_FOLDER) == L"C:\\Changed Outside";
                 })) << "F5 did not reload the global folder";
             },
             [](ExitConfirmationTest& t) {
                 EXPECT_EQ(L"C:\\Changed Outside", ControlText(t.Main(), IDC_EDIT_DUMP_FOLDER));
                 EXPECT_EQ(L"5", ControlText(t.Main(), IDC_EDIT_DUMP_COUNT));
             },
             L"C:\\Changed Outside"}),
    NameOfStep());

TEST_F(ExitConfirmationTest, ACountOfZeroTypedOverNoCountIsNoChange)
{
    // 0 reads back as a count not given, like the empty field at opening.
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_EQ(L"", ControlText(Main(), IDC_EDIT_DUMP_COUNT));
    ASSERT_TRUE(TypeText(::GetDlgItem(Main(), IDC_EDIT_DUMP_COUNT), L"0"));
    ASSERT_TRUE(WaitUntil([&] { return ControlText(Main(), IDC_EDIT_DUMP_COUNT) == L"0"; }));
    CloseExpectingNoQuestion();
    EXPECT_FALSE(reg64::KeyExists(LOCALDUMPS_KEY_PATH));
}
