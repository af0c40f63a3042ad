#include "framework/modal_dialog.h"

void CModalDialog::RunCommandUpdate(HMENU popup)
{
    if (!popup)
        return;
    const RouteTable& routes = Routes();
    const int count = ::GetMenuItemCount(popup);
    for (int position = 0; position < count; ++position) {
        // Separators give 0, sub-popups -1: neither has an update line.
        const UINT id = ::GetMenuItemID(popup, position);
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;
        const Route* route = FindRoute(routes, RouteKind::Update, 0, id);
        if (!route)
            continue;
        CommandState state(popup, static_cast<UINT>(position), id);
        bool handled = true;
        route->call(*this, 0, reinterpret_cast<LPARAM>(&state), handled);
    }
}
