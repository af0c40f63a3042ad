#include "tests/ui/main_window_harness.h"

#include <commctrl.h>

#include "framework/app_object.h"
#include "framework/message_box.h"
#include "res/resource.h"
#include "tests/support/window_wait.h"
#include "tests/ui/modal_driver.h"

namespace main_window_test {

namespace {

const UINT WM_RUN_STEP = WM_APP + 0x3B1;
const UINT_PTR WATCHDOG_TIMER = 0x3B2;

struct WindowWatch {
    std::wstring caption;
    std::function<void(HWND)> drive;
    UINT_PTR timer = 0;
    DWORD deadline = 0;
};
WindowWatch g_watch;

void CALLBACK WatchTick(HWND, UINT, UINT_PTR, DWORD)
{
    const HWND window = FindThreadDialog(g_watch.caption);
    if (!window && static_cast<LONG>(::GetTickCount() - g_watch.deadline) < 0)
        return;
    ::KillTimer(nullptr, g_watch.timer);
    g_watch.timer = 0;
    if (window) {
        auto drive = std::move(g_watch.drive);
        drive(window);
    }
}

} // namespace

void MainWindowTest::SetUp()
{
    LocalDumpsTest::SetUp();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    ::InitCommonControlsEx(&controls);
}

INT_PTR CMainWindowProbe::Run()
{
    SetMessageBoxHook([this](HWND, const std::wstring& text, const std::wstring&, UINT type) {
        boxes.push_back({text, type, FocusedId(m_hWnd)});
        const size_t index = boxes.size() - 1;
        if (whileBoxOpen)
            whileBoxOpen(index);
        return index < answers.size() ? answers[index] : IDOK;
    });
    CurrentApp()->SetMainWindow(this);
    const INT_PTR result = DoModal();
    CurrentApp()->ForgetMainWindow(this);
    SetMessageBoxHook(nullptr);
    return result;
}

BOOL CMainWindowProbe::OnInitDialog()
{
    const BOOL result = CKestruneDlg::OnInitDialog();
    ::SetTimer(m_hWnd, WATCHDOG_TIMER, RUN_WATCHDOG_MS, nullptr);
    ::PostMessageW(m_hWnd, WM_RUN_STEP, 0, 0);
    return result;
}

LRESULT CMainWindowProbe::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_RUN_STEP) {
        RunStep(static_cast<size_t>(wParam));
        return 0;
    }
    if (message == WM_TIMER && wParam == WATCHDOG_TIMER) {
        ::KillTimer(m_hWnd, WATCHDOG_TIMER);
        EndDialog(PROBE_TIMED_OUT);
        return 0;
    }
    return CKestruneDlg::WindowProc(message, wParam, lParam);
}

void CMainWindowProbe::RunStep(size_t index)
{
    if (index < steps.size()) {
        steps[index](*this);
        ::PostMessageW(m_hWnd, WM_RUN_STEP, index + 1, 0);
    } else {
        EndDialog(PROBE_FINISHED);
    }
}

void WhenWindowShows(const std::wstring& caption, std::function<void(HWND)> drive)
{
    g_watch.caption = caption;
    g_watch.drive = std::move(drive);
    g_watch.deadline = ::GetTickCount() + WINDOW_APPEARS_MS;
    g_watch.timer = ::SetTimer(nullptr, 0, 20, WatchTick);
}

void ConfirmProgramDialog(HWND dialog, const std::wstring& processName)
{
    SetControlText(dialog, IDC_EDIT_PROCESS_NAME, processName);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
}

bool IsControlEnabled(HWND dialog, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

int FocusedId(HWND dialog)
{
    const HWND focus = ::GetFocus();
    if (!focus || !dialog || !::IsChild(dialog, focus))
        return 0;
    return ::GetDlgCtrlID(focus);
}

void SetControlText(HWND dialog, int id, const std::wstring& text)
{
    ::SetDlgItemTextW(dialog, id, text.c_str());
}

std::wstring ControlText(HWND dialog, int id)
{
    wchar_t text[512] = {};
    ::GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

} // namespace main_window_test
