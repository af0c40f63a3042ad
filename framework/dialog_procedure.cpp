// The dialog procedure of CModalDialog: attaches the object to its window, hands every message
// to WindowProc and returns the result the way the dialog manager expects it.
#include "framework/modal_dialog.h"

#include "framework/system_calls.h"

namespace {

// The object whose window is being created on this thread; messages that arrive before
// WM_INITDIALOG (WM_SETFONT, ...) find their object through it.
thread_local CModalDialog* t_dialogBeingCreated = nullptr;

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return true;
    default:
        return false;
    }
}

} // namespace

HWND CModalDialog::CreateDialogWindow(HWND owner)
{
    const HINSTANCE instance = Sys().GetModuleHandleW(nullptr);
    CModalDialog* const outer = t_dialogBeingCreated;
    t_dialogBeingCreated = this;
    const HWND window =
        m_template ? ::CreateDialogIndirectParamW(instance, m_template, owner, DialogProcedure,
                                                  reinterpret_cast<LPARAM>(this))
                   : ::CreateDialogParamW(instance, MAKEINTRESOURCEW(m_templateId), owner,
                                          DialogProcedure, reinterpret_cast<LPARAM>(this));
    t_dialogBeingCreated = outer;
    return window;
}

INT_PTR CALLBACK CModalDialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* dialog = reinterpret_cast<CModalDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (!dialog) {
        if (message == WM_INITDIALOG)
            dialog = reinterpret_cast<CModalDialog*>(lParam);
        else
            dialog = t_dialogBeingCreated;
        // Once attached, a dialog no longer needs the creation marker; a dialog created from
        // its own initialisation must not take over this window.
        t_dialogBeingCreated = nullptr;
        if (!dialog)
            return FALSE;
        dialog->m_hWnd = window;
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
    }
    return dialog->HandleMessage(message, wParam, lParam);
}

INT_PTR CModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = m_hWnd;

    // Handlers may send messages to the dialog again; each message keeps its own frame.
    MessageFrame frame;
    MessageFrame* const outer = m_frame;
    m_frame = &frame;
    const LRESULT result = WindowProc(message, wParam, lParam);
    m_frame = outer;

    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        m_hWnd = nullptr;
        return FALSE;
    }
    if (frame.defaultProcessing)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(result);
    // The dialog manager clears the result before each message, and setting it costs a call
    // into the window system: a burst of notifications answered with 0 (10,000 list-view rows
    // changing state at once) then pays for nothing.
    if (::GetWindowLongPtrW(window, DWLP_MSGRESULT) != static_cast<LONG_PTR>(result))
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
    return TRUE;
}

LRESULT CModalDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();

    if (message == WM_COMMAND && (RouteCommand(wParam, lParam) || RouteControlNotification(wParam, lParam)))
        return 0;

    LRESULT result = 0;
    if (message == WM_NOTIFY && RouteNotify(lParam, result))
        return result;

    if (const Route* route = FindRoute(Routes(), RouteKind::Message, message, 0)) {
        bool handled = true;
        result = route->call(*this, wParam, lParam, handled);
        if (!handled)
            UseDefaultProcessing();
        return result;
    }

    // Nothing routed: the framework's own defaults.
    if (message == WM_COMMAND && IsCommandNotification(HIWORD(wParam), lParam)) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return 0;
        }
    }
    if (message == WM_INITMENUPOPUP && !HIWORD(lParam))
        RunCommandUpdate(reinterpret_cast<HMENU>(wParam));

    UseDefaultProcessing();
    return 0;
}

bool CModalDialog::RouteCommand(WPARAM wParam, LPARAM lParam)
{
    if (!IsCommandNotification(HIWORD(wParam), lParam))
        return false;
    const Route* route = FindRoute(Routes(), RouteKind::Command, 0, LOWORD(wParam));
    if (!route)
        return false;
    bool handled = true;
    route->call(*this, wParam, lParam, handled);
    return true;
}

bool CModalDialog::RouteControlNotification(WPARAM wParam, LPARAM lParam)
{
    if (IsCommandNotification(HIWORD(wParam), lParam) || !lParam)
        return false;
    NMHDR header = {reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam)};
    LRESULT result = 0;
    return RouteNotify(reinterpret_cast<LPARAM>(&header), result);
}

bool CModalDialog::RouteNotify(LPARAM lParam, LRESULT& result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header)
        return false;
    const Route* route =
        FindRoute(Routes(), RouteKind::Notify, header->code, static_cast<UINT>(header->idFrom));
    if (!route)
        return false;
    bool handled = true;
    result = route->call(*this, 0, lParam, handled);
    return true;
}

void CModalDialog::UseDefaultProcessing()
{
    if (m_frame)
        m_frame->defaultProcessing = true;
}

LRESULT CModalDialog::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    // DefDlgProc would call this dialog's procedure again; the window procedure under it is the
    // plain default one.
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}
