// The main window's keys, typed where a user types them: F5 and Ctrl+N work from the count edit,
// Escape closes at once when nothing changed and asks when something did, and every other way of
// closing the window asks the same question.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/e2e/kestrune_session.h"

using namespace e2e;

namespace {

class KeyboardTest : public KestruneSession {
public:
    // Clicks into the count edit, as a user puts the caret there.
    void ClickIntoCountEdit()
    {
        const HWND count = ::GetDlgItem(Main(), IDC_EDIT_DUMP_COUNT);
        ASSERT_TRUE(BringToForeground(Main()));
        ASSERT_TRUE(ClickAt(CentreOf(count)));
        ASSERT_TRUE(WaitUntil([&] { return FocusedControl(Main()) == count; }, 3000))
            << "the click did not put the focus into the count edit";
    }
};

} // namespace

TEST_F(KeyboardTest, F5AndCtrlNWorkFromTheCountEdit)
{
    reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"C:\\Stored");
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 4);
    ASSERT_NO_FATAL_FAILURE(Launch());

    // F5 discards the typed count and folder and shows the registry's values again, including a
    // program added from outside meanwhile; the ACL box stays as the user left it.
    ASSERT_TRUE(PressButton(Main(), IDC_CHECK_SET_ACL));
    ASSERT_TRUE(WaitUntil([&] { return CheckState(Main(), IDC_CHECK_SET_ACL) == BST_UNCHECKED; }));
    ASSERT_NO_FATAL_FAILURE(ClickIntoCountEdit());
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_COUNT, L"99"));
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_FOLDER, L"C:\\Typed"));
    reg64::CreateKey(ProgramKeyPath(L"outside.exe"));
    ASSERT_TRUE(PostKeyToFocus(Main(), VK_F5));
    ASSERT_TRUE(WaitUntil([&] { return ControlText(Main(), IDC_EDIT_DUMP_COUNT) == L"4"; }))
        << "F5 in the count edit did not refresh";
    EXPECT_EQ(L"C:\\Stored", ControlText(Main(), IDC_EDIT_DUMP_FOLDER));
    EXPECT_EQ(std::vector<std::wstring>{L"outside.exe"}, RowNames());
    EXPECT_EQ(BST_UNCHECKED, CheckState(Main(), IDC_CHECK_SET_ACL));

    // Ctrl+N opens the add dialog; what is added there joins the list.
    ASSERT_NO_FATAL_FAILURE(ClickIntoCountEdit());
    ASSERT_TRUE(SendCtrlKey(Main(), 'N'));
    const HWND add = WaitForDialog(Pid(), ADD_CAPTION);
    ASSERT_NE(nullptr, add) << "Ctrl+N in the count edit opened nothing";
    EXPECT_EQ(::GetDlgItem(add, IDC_EDIT_PROCESS_NAME), FocusedControl(add));
    ASSERT_NO_FATAL_FAILURE(FillAndConfirm(add, {L"new.exe", L"", -1, L""}));
    WaitUntilGone(add);
    EXPECT_EQ((std::vector<std::wstring>{L"new.exe", L"outside.exe"}), RowNames());

    ASSERT_NO_FATAL_FAILURE(Answer(CloseExpectingQuestion(), IDYES));
    EXPECT_TRUE(m_program.WaitForExit());
}

TEST_F(KeyboardTest, EscapeClosesAtOnceWhenNothingChanged)
{
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 4);
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_NO_FATAL_FAILURE(ClickIntoCountEdit());
    ASSERT_TRUE(PostKeyToFocus(Main(), VK_ESCAPE));
    EXPECT_TRUE(m_program.WaitForExit(5000)) << "Escape asked although nothing changed";
    EXPECT_EQ(4, DwordOf(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT));
}

TEST_F(KeyboardTest, EscapeAsksAfterAChangeAndNoKeepsTheWindow)
{
    reg64::SetDword(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, 4);
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_NO_FATAL_FAILURE(ClickIntoCountEdit());
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_COUNT, L"6"));
    ASSERT_TRUE(PostKeyToFocus(Main(), VK_ESCAPE));
    const MessageBoxInfo box = ExpectMessageBox(EXIT_QUESTION);
    ASSERT_TRUE(box);
    EXPECT_EQ(IDNO, box.DefaultButton());
    // Enter on the question takes its default, No.
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(box.window) != nullptr; }, 3000));
    ASSERT_TRUE(PostKeyToFocus(box.window, VK_RETURN));
    WaitUntilGone(box.window);
    EXPECT_TRUE(m_program.IsRunning());
    EXPECT_EQ(L"6", ControlText(Main(), IDC_EDIT_DUMP_COUNT));
    EXPECT_EQ(4, DwordOf(LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT));
}

namespace {

using CloseRequest = NamedStep<KeyboardTest>;

class CloseRequestTest : public KeyboardTest, public ::testing::WithParamInterface<CloseRequest> {};

} // namespace

TEST_P(CloseRequestTest, AsksAfterAChangeAndYesEndsTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_COUNT, L"8"));
    ASSERT_NO_FATAL_FAILURE(GetParam().run(*this));
    const MessageBoxInfo box = ExpectMessageBox(EXIT_QUESTION);
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDYES));
    EXPECT_TRUE(m_program.WaitForExit()) << "Yes did not end the program";
    EXPECT_FALSE(reg64::KeyExists(LOCALDUMPS_KEY_PATH));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CloseRequestTest,
    ::testing::Values(
        CloseRequest{"CancelButton", [](KeyboardTest& t) { ASSERT_TRUE(PressButton(t.Main(), IDCANCEL)); }},
        CloseRequest{"FileExit", [](KeyboardTest& t) { PostCommand(t.Main(), ID_FILE_EXIT); }},
        CloseRequest{"AltF4",
                     [](KeyboardTest& t) {
                         ASSERT_TRUE(BringToForeground(t.Main()));
                         ASSERT_TRUE(TypeChord({VK_MENU, VK_F4}));
                     }},
        CloseRequest{"EscapeInTheList",
                     [](KeyboardTest& t) {
                         ASSERT_TRUE(FocusControl(t.Main(), IDC_LIST_PROGRAMS));
                         ASSERT_TRUE(PostKeyToFocus(t.Main(), VK_ESCAPE));
                     }}),
    NameOfStep());
