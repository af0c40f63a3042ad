#include "tests/support/ui_test_dialog.h"

BOOL CTestDialog::OnInitDialog()
{
    ::SetTimer(m_hWnd, WATCHDOG_TIMER, RUN_WATCHDOG_MS, nullptr);
    if (m_script)
        ::PostMessageW(m_hWnd, WM_RUN_SCRIPT, 0, 0);
    return CModalDialog::OnInitDialog();
}

LRESULT CTestDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == WATCHDOG_TIMER) {
        ::KillTimer(m_hWnd, WATCHDOG_TIMER);
        m_timedOut = true;
        EndDialog(TEST_DIALOG_TIMED_OUT);
        return 0;
    }
    if (message == WM_RUN_SCRIPT) {
        EndDialog(m_script(*this));
        return 0;
    }
    return CModalDialog::WindowProc(message, wParam, lParam);
}
