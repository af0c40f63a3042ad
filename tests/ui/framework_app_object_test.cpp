// The application object: its name, the one registered instance, Run's order of start-up, loop
// and exit, and the main window as the default owner of dialogs.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/app_object.h"
#include "framework/executable_name.h"
#include "tests/support/ui_dialog_template.h"
#include "tests/support/ui_test_dialog.h"

namespace {

const UINT WM_PROBE = WM_APP + 9;

class CProbeApp : public CAppObject {
public:
    explicit CProbeApp(BOOL initResult, const wchar_t* name = L"ProbeApp")
        : CAppObject(name), m_initResult(initResult)
    {
    }

    BOOL InitInstance() override
    {
        m_calls.push_back(L"InitInstance");
        return m_initResult;
    }
    int ExitInstance() override
    {
        m_calls.push_back(L"ExitInstance");
        return CAppObject::ExitInstance() + 1000;
    }

    std::vector<std::wstring> m_calls;

private:
    BOOL m_initResult;
};

// Takes a message of the given number out of the thread's queue, if there is one.
bool TakeThreadMessage(UINT message, MSG& msg)
{
    return ::PeekMessageW(&msg, nullptr, message, message, PM_REMOVE) != FALSE;
}

} // namespace

TEST(FrameworkAppObject, NamesComeFromTheConstructorOrTheExecutable)
{
    {
        CAppObject app;
        EXPECT_EQ(L"ui_tests", app.AppName());
    }
    {
        CAppObject app(L"Kestrune");
        EXPECT_EQ(L"Kestrune", app.AppName());
    }
    struct Case {
        const wchar_t* path;
        const wchar_t* name;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Kestrune\\Kestrune.exe", L"Kestrune"},
        {L"C:\\Tools\\Kestrune.copy.exe", L"Kestrune.copy"},
        {L"D:/mixed\\slashes/Other.EXE", L"Other"},
        {L"C:\\no extension\\Tool", L"Tool"},
        {L"Plain.exe", L"Plain"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.name, BaseNameOfPath(c.path)) << c.path;
}

TEST(FrameworkAppObject, OnlyTheFirstInstanceIsTheCurrentApplication)
{
    // The test program may have an application object of its own; then that one is the first.
    std::unique_ptr<CAppObject> first;
    if (!CurrentApp()) {
        first.reset(new CAppObject(L"First"));
        EXPECT_EQ(first.get(), CurrentApp());
    }
    CAppObject* const current = CurrentApp();
    ASSERT_NE(nullptr, current);
    {
        CAppObject second(L"Second");
        EXPECT_EQ(current, CurrentApp());
    }
    EXPECT_EQ(current, CurrentApp());
    if (first) {
        first.reset();
        EXPECT_EQ(nullptr, CurrentApp());
    }
}

TEST(FrameworkAppObject, RunGoesStraightToExitWhenInitInstanceFails)
{
    CProbeApp app(FALSE);
    // A loop would take this message; Run must leave it where it is.
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_PROBE, 0, 0);
    EXPECT_EQ(1000, app.Run());
    EXPECT_EQ((std::vector<std::wstring>{L"InitInstance", L"ExitInstance"}), app.m_calls);
    MSG msg;
    EXPECT_TRUE(TakeThreadMessage(WM_PROBE, msg));
}

TEST(FrameworkAppObject, RunLoopsUntilWmQuitAndExitsWithItsCode)
{
    CProbeApp app(TRUE);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_PROBE, 0, 0);
    ::PostQuitMessage(7);
    EXPECT_EQ(1007, app.Run());
    EXPECT_EQ((std::vector<std::wstring>{L"InitInstance", L"ExitInstance"}), app.m_calls);
    MSG msg;
    EXPECT_FALSE(TakeThreadMessage(WM_PROBE, msg));
}

// The main window is that of the current application; the test borrows it and gives it back.
class MainWindowOfCurrentApp : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!CurrentApp())
            m_ownApp.reset(new CAppObject(L"MainWindowProbe"));
        ASSERT_EQ(nullptr, CurrentApp()->MainWindow());
    }
    void TearDown() override { CurrentApp()->SetMainWindow(nullptr); }

    std::unique_ptr<CAppObject> m_ownApp;
};

TEST_F(MainWindowOfCurrentApp, DialogsWithoutParentAreOwnedByTheMainWindow)
{
    CAppObject& app = *CurrentApp();

    DialogTemplate tmpl(L"Main", 200, 100);
    DialogTemplate childTmpl(L"Child", 100, 50);
    CTestDialog mainDialog(tmpl.Get());
    app.SetMainWindow(&mainDialog);
    EXPECT_EQ(nullptr, app.MainWindow()); // not created yet

    HWND mainWindowWhileRunning = nullptr;
    HWND childOwner = nullptr;
    BOOL mainEnabledDuringChild = TRUE;
    mainDialog.m_script = [&](CTestDialog& main) {
        mainWindowWhileRunning = app.MainWindow();
        EXPECT_EQ(main.m_hWnd, mainWindowWhileRunning);
        CTestDialog child(childTmpl.Get());
        child.m_script = [&](CTestDialog& c) {
            childOwner = ::GetWindow(c.m_hWnd, GW_OWNER);
            mainEnabledDuringChild = ::IsWindowEnabled(main.m_hWnd);
            return IDOK;
        };
        EXPECT_EQ(IDOK, child.DoModal());
        return IDOK;
    };
    EXPECT_EQ(IDOK, mainDialog.DoModal());
    EXPECT_NE(nullptr, mainWindowWhileRunning);
    EXPECT_EQ(mainWindowWhileRunning, childOwner);
    EXPECT_FALSE(mainEnabledDuringChild);
    EXPECT_EQ(nullptr, app.MainWindow()); // window gone
}

TEST_F(MainWindowOfCurrentApp, ADestroyedMainDialogIsForgotten)
{
    CAppObject& app = *CurrentApp();
    DialogTemplate tmpl(L"Main", 200, 100);
    {
        CTestDialog mainDialog(tmpl.Get());
        app.SetMainWindow(&mainDialog);
    }
    // The application must not keep a pointer to the destroyed object.
    EXPECT_EQ(nullptr, app.MainWindow());
    CTestDialog other(tmpl.Get());
    other.m_script = [](CTestDialog& d) { return ::GetWindow(d.m_hWnd, GW_OWNER) ? INT_PTR(1) : INT_PTR(2); };
    EXPECT_EQ(2, other.DoModal());
}

TEST_F(MainWindowOfCurrentApp, ADialogWithoutParentOpenedFromAnotherDialogIsOwnedByThatDialog)
{
    CAppObject& app = *CurrentApp();
    DialogTemplate mainTmpl(L"Main", 200, 100);
    DialogTemplate childTmpl(L"Child", 150, 80);
    DialogTemplate grandchildTmpl(L"Grandchild", 100, 50);
    CTestDialog mainDialog(mainTmpl.Get());
    app.SetMainWindow(&mainDialog);

    HWND childWindow = nullptr;
    HWND grandchildOwner = nullptr;
    BOOL childEnabledDuringGrandchild = TRUE;
    mainDialog.m_script = [&](CTestDialog& main) {
        CTestDialog child(childTmpl.Get(), main.m_hWnd);
        child.m_script = [&](CTestDialog& c) {
            childWindow = c.m_hWnd;
            CTestDialog grandchild(grandchildTmpl.Get());
            grandchild.m_script = [&](CTestDialog& g) {
                grandchildOwner = ::GetWindow(g.m_hWnd, GW_OWNER);
                childEnabledDuringGrandchild = ::IsWindowEnabled(c.m_hWnd);
                return IDOK;
            };
            return grandchild.DoModal();
        };
        return child.DoModal();
    };
    EXPECT_EQ(IDOK, mainDialog.DoModal());
    EXPECT_NE(nullptr, childWindow);
    EXPECT_EQ(childWindow, grandchildOwner);
    EXPECT_FALSE(childEnabledDuringGrandchild);
}
