// The About box of the real program, reached the ways a user reaches it: the Help menu (by its
// command and by keyboard) and the system menu (by its command and by Alt+Space).
#include <windows.h>

#include <gtest/gtest.h>

#include "app/web_pages.h"
#include "res/resource.h"
#include "tests/e2e/kestrune_session.h"

using namespace e2e;

namespace {

class AboutBoxTest : public KestruneSession {
public:
    // Checks the open About box, closes it with OK and returns to an enabled main window.
    void ExpectAboutBoxAndClose()
    {
        const HWND about = WaitForDialog(Pid(), L"About");
        ASSERT_NE(nullptr, about) << "no About box";
        EXPECT_FALSE(::IsWindowEnabled(Main())) << "the About box is not modal";

        SYSTEMTIME now = {};
        ::GetLocalTime(&now);
        // The main test prefix is a 64-bit Windows; the test command runs this case in a 32-bit
        // one as well.
        EXPECT_EQ(OnSixtyFourBitWindows() ? L"Kestrune\t(64-bit OS)" : L"Kestrune\t(32-bit OS)",
                  ControlText(about, IDC_STATIC_PRODUCT));
        EXPECT_EQ(L"Version: 1.0.1", ControlText(about, IDC_STATIC_VERSION));
        EXPECT_EQ(L"Copyright (c) 2017-" + std::to_wstring(now.wYear) + L" " MAKER_HOST_NAME,
                  ControlText(about, IDC_STATIC_COPYRIGHT));
        EXPECT_EQ(L"OK", ControlText(about, IDOK));

        ASSERT_TRUE(PressButton(about, IDOK));
        WaitUntilGone(about);
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(Main()) != FALSE; }, 3000));
        EXPECT_TRUE(m_program.IsRunning());
    }
};

using Way = NamedStep<AboutBoxTest>;

class AboutBoxWayTest : public AboutBoxTest, public ::testing::WithParamInterface<Way> {};

} // namespace

TEST_P(AboutBoxWayTest, OpensTheAboutBoxWithTheProductVersionAndYearLines)
{
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_NO_FATAL_FAILURE(GetParam().run(*this));
    ASSERT_NO_FATAL_FAILURE(ExpectAboutBoxAndClose());
    CloseExpectingNoQuestion();
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AboutBoxWayTest,
    ::testing::Values(
        Way{"HelpAboutCommand", [](AboutBoxTest& t) { PostCommand(t.Main(), ID_HELP_ABOUT); }},
        // Alt alone opens the menu bar; H the Help popup; A its "&About..." item.
        Way{"HelpMenuByKeyboard", [](AboutBoxTest& t) { t.ChooseFromMenuBar('H', 'A'); }},
        Way{"SystemMenuCommand",
            [](AboutBoxTest& t) { ::PostMessageW(t.Main(), WM_SYSCOMMAND, ID_SYSMENU_ABOUT, 0); }},
        Way{"SystemMenuByAltSpace",
            [](AboutBoxTest& t) {
                ASSERT_TRUE(BringToForeground(t.Main()));
                ASSERT_TRUE(TypeChord({VK_MENU, VK_SPACE}));
                ASSERT_TRUE(WaitUntil([&] { return FindPopupMenu(t.Pid()) != nullptr; }, WINDOW_APPEARS_MS))
                    << "Alt+Space opened no system menu";
                // Wine adds its own "About Wine" item with the same mnemonic, so the last item is
                // reached with the arrow key instead: up from the first item wraps to it.
                ASSERT_TRUE(TypeChord({VK_UP}));
                ASSERT_TRUE(TypeChord({VK_RETURN}));
            }}),
    NameOfStep());
