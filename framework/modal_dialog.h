#pragma once
// The base of every Kestrune dialog: a dialog built from a template, run modally by its own
// message loop, with its messages routed through the routing table that the dialog declares.
//
// A dialog derives from CModalDialog, overrides the virtual operations it needs and returns its
// table from Routes() (see framework/routing.h). Message flow for every message the dialog
// window receives:
//     WindowProc (a dialog may override it to look at every message first, then call the base)
//       -> WM_INITDIALOG: OnInitDialog (base: DoDataExchange, TRUE)
//       -> WM_COMMAND commands and WM_NOTIFY notifications: their table lines
//       -> other messages: their table line
//       -> nothing routed: IDOK/IDCANCEL commands go to OnOK/OnCancel, WM_INITMENUPOPUP runs the
//          command update of the popup, everything else gets the default dialog processing.
#include <windows.h>

#include "framework/routing.h"

class CModalDialog {
public:
    // A template from the program's resources. Without a parent the dialog is owned by the
    // application's main window when it runs, or by the dialog last active above it (so that a
    // dialog opened from a dialog disables that one).
    explicit CModalDialog(UINT templateId, HWND parent = nullptr);
    // A template built in memory; it must outlive DoModal.
    explicit CModalDialog(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr);
    virtual ~CModalDialog();

    CModalDialog(const CModalDialog&) = delete;
    CModalDialog& operator=(const CModalDialog&) = delete;

    // Creates the window, disables the owner and runs the dialog's own message loop until
    // EndDialog; then re-enables and re-activates the owner, destroys the window and returns the
    // EndDialog result. -1 when the window cannot be created or a WM_QUIT ended the loop (the
    // WM_QUIT is posted again for the next loop out).
    INT_PTR DoModal();
    // Ends the modal loop with this result once the current message has been handled.
    void EndDialog(INT_PTR result);

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    // Command update of a popup menu: for each item position the update line of the item's id,
    // if there is one, decides its state; other items (separators, sub-popups, items without an
    // update line) keep theirs. A dialog without a WM_INITMENUPOPUP line of its own gets this
    // for every popup except the system menu; one with its own line calls it itself.
    void RunCommandUpdate(HMENU popup);

    // Hands a message to the default window procedure right away, for a handler that wants the
    // default processing before its own work.
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

    // The overridable operations, in the order of their virtual slots.
protected:
    // Binds the control wrappers; called by the base OnInitDialog.
    virtual void DoDataExchange();

public:
    // Called by the modal loop for each message before it is dispatched; TRUE consumes it.
    // The base gives the dialog its keyboard handling (IsDialogMessageW).
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Every message of the dialog window passes here. An override looks at the message, then
    // calls CModalDialog::WindowProc for the routing and the default handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // TRUE: the first control that takes the focus gets it. FALSE: the dialog set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The dialog's routing table; the base has none.
    virtual const RouteTable& Routes() const;

    // Asks for the default dialog processing of the message being handled, in addition to
    // whatever the override did. The base WindowProc uses it for unrouted messages.
    void UseDefaultProcessing();

private:
    struct MessageFrame {
        bool defaultProcessing = false;
    };

    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateDialogWindow(HWND owner);
    HWND ResolveOwner() const;
    bool RouteCommand(WPARAM wParam, LPARAM lParam);
    bool RouteNotify(LPARAM lParam, LRESULT& result);
    // A control's own WM_COMMAND code (CBN_SELCHANGE, EN_CHANGE, ...), routed like a WM_NOTIFY.
    bool RouteControlNotification(WPARAM wParam, LPARAM lParam);

    UINT m_templateId = 0;
    const DLGTEMPLATE* m_template = nullptr;
    HWND m_parent = nullptr;

    bool m_inModalLoop = false;
    bool m_ended = false;
    INT_PTR m_result = -1;
    MessageFrame* m_frame = nullptr;
};
