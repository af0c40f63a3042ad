// The program list's mouse commands: double-click to edit, and the context menu.
#include "ui/main/kestrune_dlg.h"

#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "res/resource.h"

LRESULT CKestruneDlg::OnListDoubleClick(NMHDR*)
{
    // Edits the single selected row, whatever the click hit; quietly does nothing otherwise.
    EditProgram(false);
    return 0;
}

LRESULT CKestruneDlg::OnListRightClick(NMHDR* header)
{
    POINT point = reinterpret_cast<const NMITEMACTIVATE*>(header)->ptAction;
    ::ClientToScreen(header->hwndFrom, &point);
    ShowListMenu(point);
    return 0;
}

void CKestruneDlg::ShowListMenu(POINT screenPoint)
{
    unique_hmenu menu(::LoadMenuW(Sys().GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU)));
    const HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) {
        ::MessageBeep(MB_ICONHAND);
        return;
    }

    const DWORD allowed = UpdateListButtons(false);
    ::SetMenuDefaultItem(popup, ID_LIST_EDIT_PROGRAM, FALSE);
    if (!(allowed & LIST_CAN_EDIT))
        ::EnableMenuItem(popup, ID_LIST_EDIT_PROGRAM, MF_BYCOMMAND | MF_GRAYED);
    if (!(allowed & LIST_CAN_ADD))
        ::EnableMenuItem(popup, ID_LIST_ADD_PROGRAM, MF_BYCOMMAND | MF_GRAYED);
    if (!(allowed & LIST_CAN_DELETE))
        ::EnableMenuItem(popup, ID_LIST_DELETE_PROGRAMS, MF_BYCOMMAND | MF_GRAYED);

    const UINT command = static_cast<UINT>(::TrackPopupMenu(
        popup, TPM_RETURNCMD | TPM_HORPOSANIMATION | TPM_VERPOSANIMATION | TPM_LEFTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
        screenPoint.x, screenPoint.y, 0, m_hWnd, nullptr));
    switch (command) {
    case ID_LIST_ADD_PROGRAM:
        AddProgram();
        break;
    case ID_LIST_DELETE_PROGRAMS:
        DeletePrograms();
        break;
    case ID_LIST_EDIT_PROGRAM:
        EditProgram(true);
        break;
    case ID_LIST_SELECT_ALL:
        SelectAllPrograms();
        break;
    default:
        break;
    }
}

void CKestruneDlg::SelectAllPrograms()
{
    // Row -1 stands for every row; the focus row stays where it is.
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    m_list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}
