// Creation and the modal loop of CModalDialog.
#include "framework/modal_dialog.h"

#include "framework/app_object.h"

CModalDialog::CModalDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent)
{
}

CModalDialog::CModalDialog(const DLGTEMPLATE* dialogTemplate, HWND parent)
    : m_template(dialogTemplate), m_parent(parent)
{
}

CModalDialog::~CModalDialog()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    if (CAppObject* app = CurrentApp())
        app->ForgetMainWindow(this);
}

HWND CModalDialog::ResolveOwner() const
{
    HWND owner = m_parent ? m_parent : DefaultDialogOwner();
    // A dialog is owned by a top-level window, never by a control.
    if (owner)
        owner = ::GetAncestor(owner, GA_ROOT);
    return owner;
}

INT_PTR CModalDialog::DoModal()
{
    if (m_hWnd || m_inModalLoop)
        return -1;

    const HWND owner = ResolveOwner();
    // Disable the owner before creating the window, as the system's own modal dialogs do, so that
    // nothing can reach it while the dialog initialises.
    const bool disabledOwner = owner && ::IsWindowEnabled(owner);
    if (disabledOwner)
        ::EnableWindow(owner, FALSE);

    m_ended = false;
    m_result = -1;
    m_inModalLoop = true;

    bool quit = false;
    WPARAM quitCode = 0;
    if (CreateDialogWindow(owner)) {
        if (!m_ended && m_hWnd)
            ::ShowWindow(m_hWnd, SW_SHOW);

        MSG msg;
        while (!m_ended && m_hWnd) {
            const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
            if (got == -1)
                break;
            if (got == 0) {
                quit = true;
                quitCode = msg.wParam;
                break;
            }
            if (!PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    m_inModalLoop = false;

    // Give the activation back to the owner before the dialog disappears, so that it does not
    // go to some other program's window.
    if (disabledOwner)
        ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (owner && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(owner);
        ::DestroyWindow(m_hWnd);
    }
    if (owner && ::GetActiveWindow() == nullptr && ::IsWindowVisible(owner))
        ::SetActiveWindow(owner);

    if (quit) {
        ::PostQuitMessage(static_cast<int>(quitCode));
        return -1;
    }
    return m_result;
}

void CModalDialog::EndDialog(INT_PTR result)
{
    m_result = result;
    m_ended = true;
    // Wake the loop in case the call came while it waits, e.g. from a message sent by another
    // thread.
    if (m_hWnd)
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

BOOL CModalDialog::PreTranslateMessage(MSG* msg)
{
    return m_hWnd && ::IsDialogMessageW(m_hWnd, msg);
}

void CModalDialog::DoDataExchange()
{
}

BOOL CModalDialog::OnInitDialog()
{
    DoDataExchange();
    return TRUE;
}

void CModalDialog::OnOK()
{
    EndDialog(IDOK);
}

void CModalDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

const RouteTable& CModalDialog::Routes() const
{
    static const RouteTable none;
    return none;
}
