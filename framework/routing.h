#pragma once
// Routing tables: each dialog declares, in one static table, which handler takes which message,
// command, control notification or command update. A table reads like this:
//
//     const RouteTable& CAboutDlg::Routes() const
//     {
//         static const RouteTable routes = {
//             NotifyRoute(NM_CLICK, IDC_LINK_WEBSITE, &CAboutDlg::OnLinkClick),
//             NotifyRoute(NM_RETURN, IDC_LINK_WEBSITE, &CAboutDlg::OnLinkClick),
//             MessageRoute(WM_HELP, &CAboutDlg::OnHelp),
//             CommandRoute(ID_HELP_ABOUT, &CAboutDlg::OnAbout),
//             UpdateRoute(ID_EDIT_ADD_PROGRAM, &CAboutDlg::OnUpdateAdd),
//         };
//         return routes;
//     }
//
// Handler shapes:
//     message:      LRESULT OnX(WPARAM, LPARAM, bool& handled)  handled starts true; clear it to
//                   let the default dialog processing run as well
//     command:      void OnX()                                  menus, accelerators, buttons
//     notification: LRESULT OnX(NMHDR*)                         the result goes to DWLP_MSGRESULT;
//                   a control's WM_COMMAND code (CBN_SELCHANGE, ...) arrives the same way, its
//                   result unused
//     update:       void OnUpdateX(CommandState&)               see CModalDialog::RunCommandUpdate
// The first matching line wins.
#include <windows.h>

#include <functional>
#include <vector>

class CModalDialog;

// What a command-update handler may change about one menu item.
class CommandState {
public:
    CommandState(HMENU menu, UINT position, UINT id) : m_menu(menu), m_position(position), m_id(id) {}

    UINT Id() const { return m_id; }
    UINT Position() const { return m_position; }
    HMENU Menu() const { return m_menu; }

    void Enable(bool enabled)
    {
        ::EnableMenuItem(m_menu, m_position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    void SetCheck(bool checked)
    {
        ::CheckMenuItem(m_menu, m_position, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
    }

private:
    HMENU m_menu;
    UINT m_position;
    UINT m_id;
};

enum class RouteKind { Message, Command, Notify, Update };

// One line of a routing table. The call receives the dialog and the message parameters; for an
// update line lParam carries the CommandState, for a notification line the NMHDR.
struct Route {
    RouteKind kind;
    UINT code; // message number, or notification code
    UINT id;   // command id, or the id of the notifying control
    std::function<LRESULT(CModalDialog&, WPARAM, LPARAM, bool&)> call;
};

using RouteTable = std::vector<Route>;

// The first line of the given kind that matches, or null. `code` is ignored for commands and
// updates, `id` for messages.
const Route* FindRoute(const RouteTable& routes, RouteKind kind, UINT code, UINT id);

// True when a WM_COMMAND with this notification code and lParam is a command: a menu item
// (code 0, no control), an accelerator (code 1, no control) or a clicked button (BN_CLICKED).
// Other codes from controls (EN_CHANGE, CBN_SELCHANGE, ...) are not commands.
inline bool IsCommandNotification(UINT code, LPARAM lParam)
{
    return code == BN_CLICKED || (code == 1 && lParam == 0);
}

template <typename T>
Route MessageRoute(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM, bool&))
{
    return {RouteKind::Message, message, 0,
            [handler](CModalDialog& dialog, WPARAM wParam, LPARAM lParam, bool& handled) {
                return (static_cast<T&>(dialog).*handler)(wParam, lParam, handled);
            }};
}

template <typename T>
Route CommandRoute(UINT id, void (T::*handler)())
{
    return {RouteKind::Command, 0, id, [handler](CModalDialog& dialog, WPARAM, LPARAM, bool&) {
                (static_cast<T&>(dialog).*handler)();
                return LRESULT(0);
            }};
}

template <typename T>
Route NotifyRoute(UINT code, UINT controlId, LRESULT (T::*handler)(NMHDR*))
{
    return {RouteKind::Notify, code, controlId,
            [handler](CModalDialog& dialog, WPARAM, LPARAM lParam, bool&) {
                return (static_cast<T&>(dialog).*handler)(reinterpret_cast<NMHDR*>(lParam));
            }};
}

template <typename T>
Route UpdateRoute(UINT id, void (T::*handler)(CommandState&))
{
    return {RouteKind::Update, 0, id, [handler](CModalDialog& dialog, WPARAM, LPARAM lParam, bool&) {
                (static_cast<T&>(dialog).*handler)(*reinterpret_cast<CommandState*>(lParam));
                return LRESULT(0);
            }};
}
