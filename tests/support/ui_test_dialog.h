#pragma once
// A dialog for driving the framework from tests. It is built from an in-memory template and
// carries a watchdog: a dialog that a faulty framework would never end closes itself after
// RUN_WATCHDOG_MS with TEST_DIALOG_TIMED_OUT, so that a failing test fails instead of hanging.
#include <windows.h>

#include <functional>

#include "framework/modal_dialog.h"
#include "tests/support/window_wait.h"

const INT_PTR TEST_DIALOG_TIMED_OUT = -77;

class CTestDialog : public CModalDialog {
public:
    explicit CTestDialog(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr)
        : CModalDialog(dialogTemplate, parent)
    {
    }
    explicit CTestDialog(UINT templateId, HWND parent = nullptr) : CModalDialog(templateId, parent) {}

    // Runs once the dialog is shown and its loop runs (posted from OnInitDialog); the dialog then
    // ends with what it returns.
    std::function<INT_PTR(CTestDialog&)> m_script;

    bool TimedOut() const { return m_timedOut; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;

private:
    static const UINT_PTR WATCHDOG_TIMER = 0x7E57;
    static const UINT WM_RUN_SCRIPT = WM_APP + 0x3E57;
    bool m_timedOut = false;
};
