// The modal loop of CModalDialog with real windows: posted messages, ending, the owner's state,
// WM_QUIT, nested dialogs and the keyboard handling in front of dispatch.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/modal_dialog.h"
#include "res/resource.h"
#include "tests/support/ui_dialog_template.h"
#include "tests/support/ui_test_dialog.h"

namespace {

const WORD ID_FIRST_EDIT = 100;
const WORD ID_SECOND_EDIT = 101;
const UINT ID_REFRESH = 32777;
const UINT WM_TICK = WM_APP + 1;
const UINT WM_SWALLOWED = WM_APP + 2;
const UINT WM_FINISH = WM_APP + 3;

DialogTemplate LoopTemplate()
{
    DialogTemplate tmpl(L"Loop probe", 200, 90);
    tmpl.Add(L"EDIT", L"", ID_FIRST_EDIT, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 100, 14)
        .Add(L"EDIT", L"", ID_SECOND_EDIT, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 30, 100, 14)
        .Add(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 80, 70, 50, 14)
        .Add(L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 140, 70, 50, 14);
    return tmpl;
}

// A plain top-level window to own the dialogs.
class OwnerWindow {
public:
    OwnerWindow()
        : m_hWnd(::CreateWindowExW(0, L"STATIC", L"Owner", WS_POPUP | WS_VISIBLE | WS_CAPTION, 50, 50,
                                   300, 200, nullptr, nullptr, nullptr, nullptr))
    {
        ::SetActiveWindow(m_hWnd);
    }
    ~OwnerWindow() { ::DestroyWindow(m_hWnd); }
    HWND m_hWnd;
};

class CLoopProbe : public CTestDialog {
public:
    using CTestDialog::CTestDialog;

    std::function<void(CLoopProbe&)> m_onInit;
    std::function<void(CLoopProbe&)> m_onTick; // default: three ticks, then EndDialog(33)
    HACCEL m_accel = nullptr;
    HWND m_watchedOwner = nullptr;

    int m_ticks = 0;
    std::vector<BOOL> m_ownerEnabledDuringLoop;
    HWND m_focusAtRefresh = nullptr;
    int m_swallowedInPreTranslate = 0;
    int m_swallowedDispatched = 0;
    int m_okCalls = 0;
    int m_cancelCalls = 0;
    HWND m_windowSeen = nullptr;

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (m_accel && ::TranslateAcceleratorW(m_hWnd, m_accel, msg))
            return TRUE;
        if (msg->message == WM_SWALLOWED) {
            ++m_swallowedInPreTranslate;
            return TRUE;
        }
        return CTestDialog::PreTranslateMessage(msg);
    }

protected:
    const RouteTable& Routes() const override
    {
        static const RouteTable routes = {
            MessageRoute(WM_TICK, &CLoopProbe::OnTick),
            MessageRoute(WM_SWALLOWED, &CLoopProbe::OnSwallowed),
            MessageRoute(WM_FINISH, &CLoopProbe::OnFinish),
            CommandRoute(ID_REFRESH, &CLoopProbe::OnRefresh),
        };
        return routes;
    }

    BOOL OnInitDialog() override
    {
        m_windowSeen = m_hWnd;
        CTestDialog::OnInitDialog();
        if (m_onInit)
            m_onInit(*this);
        return ::GetFocus() == nullptr || !::IsChild(m_hWnd, ::GetFocus());
    }

    void OnOK() override
    {
        ++m_okCalls;
        CTestDialog::OnOK();
    }
    void OnCancel() override
    {
        ++m_cancelCalls;
        CTestDialog::OnCancel();
    }

private:
    LRESULT OnTick(WPARAM, LPARAM, bool&)
    {
        ++m_ticks;
        if (m_watchedOwner)
            m_ownerEnabledDuringLoop.push_back(::IsWindowEnabled(m_watchedOwner));
        if (m_onTick)
            m_onTick(*this);
        else if (m_ticks < 3)
            ::PostMessageW(m_hWnd, WM_TICK, 0, 0);
        else
            EndDialog(33);
        return 0;
    }
    LRESULT OnSwallowed(WPARAM, LPARAM, bool&)
    {
        ++m_swallowedDispatched;
        return 0;
    }
    LRESULT OnFinish(WPARAM wParam, LPARAM, bool&)
    {
        EndDialog(static_cast<INT_PTR>(wParam));
        return 0;
    }
    void OnRefresh()
    {
        m_focusAtRefresh = ::GetFocus();
        EndDialog(ID_REFRESH);
    }
};

void PostKey(HWND target, UINT virtualKey)
{
    const UINT scan = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageW(target, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1 | (scan << 16)));
    ::PostMessageW(target, WM_KEYUP, virtualKey,
                   static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
}

} // namespace

TEST(FrameworkModalLoop, PostedMessagesRunUntilEndDialogWhileTheOwnerIsDisabled)
{
    OwnerWindow owner;
    DialogTemplate tmpl = LoopTemplate();
    CLoopProbe dialog(tmpl.Get(), owner.m_hWnd);
    dialog.m_watchedOwner = owner.m_hWnd;
    dialog.m_onInit = [](CLoopProbe& d) { ::PostMessageW(d.m_hWnd, WM_TICK, 0, 0); };

    EXPECT_EQ(33, dialog.DoModal());
    EXPECT_FALSE(dialog.TimedOut());
    EXPECT_EQ(3, dialog.m_ticks);
    EXPECT_EQ((std::vector<BOOL>{FALSE, FALSE, FALSE}), dialog.m_ownerEnabledDuringLoop);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    EXPECT_EQ(owner.m_hWnd, ::GetActiveWindow());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_FALSE(::IsWindow(dialog.m_windowSeen));
    // The dialog was owned by the given window.
    EXPECT_TRUE(dialog.m_windowSeen != nullptr);
}

TEST(FrameworkModalLoop, TheDialogIsOwnedByTheTopLevelWindowOfAGivenControl)
{
    OwnerWindow owner;
    const HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                         owner.m_hWnd, nullptr, nullptr, nullptr);
    DialogTemplate tmpl = LoopTemplate();
    CLoopProbe dialog(tmpl.Get(), child);
    HWND dialogOwner = nullptr;
    BOOL ownerEnabled = TRUE;
    dialog.m_script = [&](CTestDialog& d) {
        dialogOwner = ::GetWindow(d.m_hWnd, GW_OWNER);
        ownerEnabled = ::IsWindowEnabled(owner.m_hWnd);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(owner.m_hWnd, dialogOwner);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}

TEST(FrameworkModalLoop, EndDialogDuringInitialisationReturnsWithoutShowingTheWindow)
{
    OwnerWindow owner;
    DialogTemplate tmpl = LoopTemplate();
    CLoopProbe dialog(tmpl.Get(), owner.m_hWnd);
    bool visibleAtInit = true;
    dialog.m_onInit = [&](CLoopProbe& d) {
        visibleAtInit = ::IsWindowVisible(d.m_hWnd) != FALSE;
        d.EndDialog(7);
    };
    EXPECT_EQ(7, dialog.DoModal());
    EXPECT_FALSE(visibleAtInit);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    EXPECT_FALSE(::IsWindow(dialog.m_windowSeen));
}

TEST(FrameworkModalLoop, AMissingTemplateFailsWithMinusOneAndLeavesTheOwnerEnabled)
{
    OwnerWindow owner;
    CLoopProbe dialog(static_cast<UINT>(4711), owner.m_hWnd);
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}

TEST(FrameworkModalLoop, ATemplateFromTheProgramResourcesIsUsed)
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    ::InitCommonControlsEx(&classes);
    CTestDialog dialog(static_cast<UINT>(IDD_ABOUTBOX));
    HWND versionStatic = nullptr;
    dialog.m_script = [&](CTestDialog& d) {
        versionStatic = d.GetDlgItem(IDC_STATIC_VERSION);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_NE(nullptr, versionStatic);
}

TEST(FrameworkModalLoop, WmQuitEndsTheLoopAndIsPostedAgain)
{
    OwnerWindow owner;
    DialogTemplate tmpl = LoopTemplate();
    CLoopProbe dialog(tmpl.Get(), owner.m_hWnd);
    dialog.m_onInit = [](CLoopProbe& d) { ::PostMessageW(d.m_hWnd, WM_TICK, 0, 0); };
    dialog.m_onTick = [](CLoopProbe&) { ::PostQuitMessage(9); };

    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_FALSE(dialog.TimedOut());
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    EXPECT_FALSE(::IsWindow(dialog.m_windowSeen));
    MSG msg = {};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(9u, msg.wParam);
}

TEST(FrameworkModalLoop, AConsumedMessageIsNotDispatched)
{
    DialogTemplate tmpl = LoopTemplate();
    CLoopProbe dialog(tmpl.Get());
    dialog.m_onInit = [](CLoopProbe& d) {
        ::PostMessageW(d.m_hWnd, WM_SWALLOWED, 0, 0);
        ::PostMessageW(d.m_hWnd, WM_FINISH, 12, 0);
    };
    EXPECT_EQ(12, dialog.DoModal());
    EXPECT_EQ(1, dialog.m_swallowedInPreTranslate);
    EXPECT_EQ(0, dialog.m_swallowedDispatched);
}

TEST(FrameworkModalLoop, AnAcceleratorReachesItsCommandWhicheverControlHasTheFocus)
{
    ACCEL refresh = {FVIRTKEY, VK_F5, static_cast<WORD>(ID_REFRESH)};
    const HACCEL accel = ::CreateAcceleratorTableW(&refresh, 1);
    ASSERT_NE(nullptr, accel);
    DialogTemplate tmpl = LoopTemplate();
    for (WORD editId : {ID_FIRST_EDIT, ID_SECOND_EDIT}) {
        CLoopProbe dialog(tmpl.Get());
        dialog.m_accel = accel;
        HWND edit = nullptr;
        dialog.m_onInit = [&](CLoopProbe& d) {
            edit = d.GetDlgItem(editId);
            ::SetFocus(edit);
            PostKey(edit, VK_F5);
            ::PostMessageW(d.m_hWnd, WM_FINISH, 55, 0);
        };
        EXPECT_EQ(static_cast<INT_PTR>(ID_REFRESH), dialog.DoModal()) << "edit " << editId;
        EXPECT_EQ(edit, dialog.m_focusAtRefresh);
    }
    ::DestroyAcceleratorTable(accel);

    // Without the translation in PreTranslateMessage the key stays with the edit.
    CLoopProbe plain(tmpl.Get());
    plain.m_onInit = [](CLoopProbe& d) {
        const HWND edit = d.GetDlgItem(ID_FIRST_EDIT);
        ::SetFocus(edit);
        PostKey(edit, VK_F5);
        ::PostMessageW(d.m_hWnd, WM_FINISH, 55, 0);
    };
    EXPECT_EQ(55, plain.DoModal());
    EXPECT_EQ(nullptr, plain.m_focusAtRefresh);
}

TEST(FrameworkModalLoop, DialogKeysButtonsAndTheCloseBoxEndThroughOnOkAndOnCancel)
{
    struct Case {
        const char* what;
        std::function<void(CLoopProbe&)> act;
        INT_PTR expectedResult;
        int expectedOk;
        int expectedCancel;
    };
    const Case cases[] = {
        {"Enter in an edit", [](CLoopProbe& d) { PostKey(d.GetDlgItem(ID_FIRST_EDIT), VK_RETURN); },
         IDOK, 1, 0},
        {"Escape in an edit", [](CLoopProbe& d) { PostKey(d.GetDlgItem(ID_FIRST_EDIT), VK_ESCAPE); },
         IDCANCEL, 0, 1},
        {"close box", [](CLoopProbe& d) { ::PostMessageW(d.m_hWnd, WM_CLOSE, 0, 0); }, IDCANCEL, 0, 1},
        {"Cancel button", [](CLoopProbe& d) { ::PostMessageW(d.GetDlgItem(IDCANCEL), BM_CLICK, 0, 0); },
         IDCANCEL, 0, 1},
        {"OK button", [](CLoopProbe& d) { ::PostMessageW(d.GetDlgItem(IDOK), BM_CLICK, 0, 0); }, IDOK, 1,
         0},
    };
    DialogTemplate tmpl = LoopTemplate();
    for (const Case& c : cases) {
        CLoopProbe dialog(tmpl.Get());
        dialog.m_onInit = [&](CLoopProbe& d) {
            ::SetFocus(d.GetDlgItem(ID_FIRST_EDIT));
            c.act(d);
        };
        EXPECT_EQ(c.expectedResult, dialog.DoModal()) << c.what;
        EXPECT_EQ(c.expectedOk, dialog.m_okCalls) << c.what;
        EXPECT_EQ(c.expectedCancel, dialog.m_cancelCalls) << c.what;
    }
}

TEST(FrameworkModalLoop, NestedDialogsDisableAndReenableTheirOwnersInTurn)
{
    OwnerWindow owner;
    DialogTemplate tmpl = LoopTemplate();
    CLoopProbe outer(tmpl.Get(), owner.m_hWnd);
    BOOL outerEnabledDuringInner = TRUE;
    BOOL ownerEnabledDuringInner = TRUE;
    BOOL outerEnabledAfterInner = FALSE;
    INT_PTR innerResult = 0;
    outer.m_onInit = [](CLoopProbe& d) { ::PostMessageW(d.m_hWnd, WM_TICK, 0, 0); };
    DialogTemplate innerTmpl = LoopTemplate();
    outer.m_onTick = [&](CLoopProbe& o) {
        CLoopProbe inner(innerTmpl.Get(), o.m_hWnd);
        inner.m_script = [&](CTestDialog&) {
            outerEnabledDuringInner = ::IsWindowEnabled(o.m_hWnd);
            ownerEnabledDuringInner = ::IsWindowEnabled(owner.m_hWnd);
            return INT_PTR(5);
        };
        innerResult = inner.DoModal();
        outerEnabledAfterInner = ::IsWindowEnabled(o.m_hWnd);
        // The outer loop still runs after the inner one ended.
        ::PostMessageW(o.m_hWnd, WM_FINISH, static_cast<WPARAM>(innerResult + 100), 0);
    };
    EXPECT_EQ(105, outer.DoModal());
    EXPECT_EQ(5, innerResult);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_FALSE(ownerEnabledDuringInner);
    EXPECT_TRUE(outerEnabledAfterInner);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}
