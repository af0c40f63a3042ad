#include "tests/support/ui_list_view.h"

#include <commctrl.h>

int RowCount(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring CellText(HWND list, int row, int column)
{
    wchar_t text[512] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

LPARAM RowData(HWND list, int row)
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = -999;
    ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

void SelectOnly(HWND list, const std::vector<int>& rows)
{
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    for (int row : rows) {
        item.state = LVIS_SELECTED;
        ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
}

std::vector<int> SelectedRows(HWND list)
{
    std::vector<int> rows;
    for (int row = 0; row < RowCount(list); ++row) {
        if (::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED)
            rows.push_back(row);
    }
    return rows;
}

bool IsFocusedRow(HWND list, int row)
{
    return (::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
}

std::vector<std::wstring> RowNames(HWND list)
{
    std::vector<std::wstring> names;
    for (int row = 0; row < RowCount(list); ++row)
        names.push_back(CellText(list, row, 0));
    return names;
}
