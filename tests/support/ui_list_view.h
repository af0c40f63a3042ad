#pragma once
// Reading and selecting the rows of a list-view control of this process.
#include <windows.h>

#include <string>
#include <vector>

int RowCount(HWND list);
std::wstring CellText(HWND list, int row, int column);
LPARAM RowData(HWND list, int row);  // -999 when the row has none
void SelectOnly(HWND list, const std::vector<int>& rows);
std::vector<int> SelectedRows(HWND list);
bool IsFocusedRow(HWND list, int row);
// The texts of the rows' first column (the process names), in row order.
std::vector<std::wstring> RowNames(HWND list);
