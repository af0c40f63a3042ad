#include "tests/ui/add_edit_prog_harness.h"

#include <commctrl.h>

#include "framework/app_object.h"
#include "framework/message_box.h"
#include "framework/modal_dialog.h"
#include "res/resource.h"
#include "tests/support/ui_dialog_template.h"
#include "tests/support/window_wait.h"
#include "ui/common/app_messages.h"
#include "ui/settings/add_edit_prog_dlg.h"

namespace prog_dialog_test {

namespace {

const UINT WM_RUN_STEP = WM_APP + 0x2A1;
const UINT WM_START_RUN = WM_APP + 0x2A2;
const UINT_PTR WATCHDOG_TIMER = 0x2A3;
// Rounds of posted messages after the last step, so that what the steps started (a posted close
// that posts a cancel, say) comes to an end before the dialog is declared left open.
const size_t SETTLE_ROUNDS = 8;

// An empty popup dialog for the stand-in main window. Without a caption it is not a managed
// window under Wine, which spares the wait for a window manager when it closes.
const DLGTEMPLATE* MainTemplate()
{
    static DialogTemplate empty(L"", 300, 200, WS_POPUP | WS_VISIBLE);
    return empty.Get();
}

// The program settings dialog as the program builds it, with the test's steps and a watchdog
// added around it.
class CProgDialogProbe : public CAddEditProgDlg {
public:
    CProgDialogProbe(ProgDialogRun& run, ProgramEntry* entry, HWND parent)
        : CAddEditProgDlg(run.row, entry, parent), m_run(run)
    {
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_RUN_STEP) {
            RunStep(static_cast<size_t>(wParam));
            return 0;
        }
        if (message == WM_TIMER && wParam == WATCHDOG_TIMER) {
            ::KillTimer(m_hWnd, WATCHDOG_TIMER);
            EndDialog(RUN_TIMED_OUT);
            return 0;
        }
        return CAddEditProgDlg::WindowProc(message, wParam, lParam);
    }

protected:
    BOOL OnInitDialog() override
    {
        m_run.initResult = CAddEditProgDlg::OnInitDialog();
        m_run.focusAfterInit = FocusedId(m_hWnd);
        m_run.exeIcon = reinterpret_cast<HICON>(
            ::SendDlgItemMessageW(m_hWnd, IDC_STATIC_EXE_ICON, STM_GETICON, 0, 0));
        ::SetTimer(m_hWnd, WATCHDOG_TIMER, RUN_WATCHDOG_MS, nullptr);
        ::PostMessageW(m_hWnd, WM_RUN_STEP, 0, 0);
        return m_run.initResult;
    }

private:
    void RunStep(size_t index)
    {
        if (index < m_run.steps.size())
            m_run.steps[index](m_hWnd);
        if (index < m_run.steps.size() + SETTLE_ROUNDS)
            ::PostMessageW(m_hWnd, WM_RUN_STEP, index + 1, 0);
        else
            EndDialog(RUN_LEFT_OPEN);
    }

    ProgDialogRun& m_run;
};

// The application's main window while the dialog runs: answers the duplicate question as the
// test says and counts the help requests passed on to it.
class CStandInMainWindow : public CModalDialog {
public:
    CStandInMainWindow(ProgDialogRun& run, ProgramEntry& entry)
        : CModalDialog(MainTemplate()), m_run(run), m_entry(entry)
    {
    }

protected:
    BOOL OnInitDialog() override
    {
        CModalDialog::OnInitDialog();
        ::PostMessageW(m_hWnd, WM_START_RUN, 0, 0);
        return TRUE;
    }

    const RouteTable& Routes() const override
    {
        static const RouteTable routes = {
            MessageRoute(WM_APP_FINDPROCESS, &CStandInMainWindow::OnFindProcess),
            MessageRoute(WM_HELP, &CStandInMainWindow::OnHelp),
            MessageRoute(WM_START_RUN, &CStandInMainWindow::OnStartRun),
        };
        return routes;
    }

private:
    LRESULT OnFindProcess(WPARAM wParam, LPARAM lParam, bool&)
    {
        const auto* name = reinterpret_cast<const wchar_t*>(wParam);
        m_run.questions.push_back({name ? name : L"<null>", lParam});
        return m_run.findAnswer;
    }

    LRESULT OnHelp(WPARAM, LPARAM, bool&)
    {
        ++m_run.helpRequests;
        return TRUE;
    }

    LRESULT OnStartRun(WPARAM, LPARAM, bool&)
    {
        {
            CProgDialogProbe dialog(m_run, &m_entry, m_hWnd);
            m_run.result = dialog.DoModal();
        }
        EndDialog(IDOK);
        return 0;
    }

    ProgDialogRun& m_run;
    ProgramEntry& m_entry;
};

} // namespace

void RunProgDialog(ProgDialogRun& run, ProgramEntry& entry)
{
    run.result = 0;
    run.boxes.clear();
    run.questions.clear();
    run.helpRequests = 0;

    SetMessageBoxHook([&run](HWND, const std::wstring& text, const std::wstring&, UINT type) {
        run.boxes.push_back({text, type, FocusedId(::GetActiveWindow())});
        return IDOK;
    });

    CAppObject* app = CurrentApp();
    CStandInMainWindow mainWindow(run, entry);
    if (app)
        app->SetMainWindow(&mainWindow);
    mainWindow.DoModal();
    if (app)
        app->ForgetMainWindow(&mainWindow);

    SetMessageBoxHook(nullptr);
}

ProgramEntry GivenEntry(const wchar_t* name, const wchar_t* folder, DWORD dumpType, LONG dumpCount,
                        BOOL setAcl)
{
    ProgramEntry entry;
    entry.processName = name;
    entry.settings.hasFolder = TRUE;
    entry.settings.folder = folder;
    entry.settings.hasDumpType = TRUE;
    entry.settings.dumpType = dumpType;
    entry.settings.hasDumpCount = TRUE;
    entry.settings.dumpCount = dumpCount;
    entry.settings.setAcl = setAcl;
    return entry;
}

void SetText(HWND dialog, int id, const std::wstring& text)
{
    ::SetDlgItemTextW(dialog, id, text.c_str());
}

std::wstring GetText(HWND dialog, int id)
{
    wchar_t buffer[1024] = {};
    ::GetDlgItemTextW(dialog, id, buffer, 1024);
    return buffer;
}

void PostCommand(HWND dialog, UINT id)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void PostClick(HWND dialog, int id)
{
    ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

int FocusedId(HWND dialog)
{
    const HWND focus = ::GetFocus();
    if (!focus || !dialog || ::GetParent(focus) != dialog)
        return 0;
    return ::GetDlgCtrlID(focus);
}

} // namespace prog_dialog_test
