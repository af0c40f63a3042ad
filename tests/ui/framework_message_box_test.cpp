// The application's message box: owner, caption, the capture hook and the real box.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/app_object.h"
#include "framework/executable_name.h"
#include "framework/message_box.h"
#include "tests/support/ui_dialog_template.h"
#include "tests/support/ui_test_dialog.h"
#include "tests/ui/modal_driver.h"

namespace {

std::wstring ExpectedCaption()
{
    return CurrentApp() ? CurrentApp()->AppName() : ExecutableBaseName();
}

// What the real box showed before one of its buttons was pressed.
struct RealBoxObservation {
    HWND box = nullptr;
    std::wstring caption;
    std::wstring text;
    BOOL ownerEnabled = TRUE;
};

} // namespace

TEST(FrameworkMessageBox, TheHookSeesOwnerTextCaptionAndTypeAndAnswersForTheBox)
{
    HWND owner = nullptr, dialogWindow = nullptr;
    std::wstring text, caption;
    UINT type = 0;
    SetMessageBoxHook([&](HWND o, const std::wstring& t, const std::wstring& c, UINT ty) {
        owner = o;
        text = t;
        caption = c;
        type = ty;
        return IDYES;
    });
    DialogTemplate tmpl(L"Asker", 120, 60);
    CTestDialog dialog(tmpl.Get());
    int answer = 0;
    dialog.m_script = [&](CTestDialog& d) {
        dialogWindow = d.m_hWnd;
        ::SetActiveWindow(d.m_hWnd);
        answer = AppMessageBox(L"Do you want to exit without saving changes?",
                               MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    SetMessageBoxHook(nullptr);

    EXPECT_EQ(IDYES, answer);
    EXPECT_EQ(dialogWindow, owner);
    EXPECT_EQ(L"Do you want to exit without saving changes?", text);
    EXPECT_EQ(ExpectedCaption(), caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2), type);
}

TEST(FrameworkMessageBox, WithoutAHookTheRealBoxIsShownOwnedByTheActiveWindow)
{
    RealBoxObservation observation;
    DialogTemplate tmpl(L"Asker", 120, 60);
    CTestDialog dialog(tmpl.Get());
    int answer = 0;
    dialog.m_script = [&](CTestDialog& d) {
        ::SetActiveWindow(d.m_hWnd);
        ModalDriver driver({
            WaitForOwnedDialog(d.m_hWnd, observation.box),
            [&] {
                observation.caption = WindowText(observation.box);
                observation.text = ItemText(observation.box, 0xFFFF);
                observation.ownerEnabled = ::IsWindowEnabled(d.m_hWnd);
                ::PostMessageW(observation.box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
                return true;
            },
        });
        answer = AppMessageBox(L"ERROR: Not supported on your Operating System", MB_YESNO | MB_ICONERROR);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());

    EXPECT_FALSE(dialog.TimedOut());
    EXPECT_EQ(IDNO, answer);
    EXPECT_NE(nullptr, observation.box);
    EXPECT_EQ(ExpectedCaption(), observation.caption);
    EXPECT_EQ(L"ERROR: Not supported on your Operating System", observation.text);
    EXPECT_FALSE(observation.ownerEnabled);
}
