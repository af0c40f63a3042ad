// The program list of the main window: columns, loading the rows from the registry, row texts, the
// selection and the enabling of the list commands.
#include "ui/main/kestrune_dlg.h"

#include <string>

#include "model/registry_layout.h"
#include "model/stored_values.h"
#include "model/text_utils.h"
#include "res/resource.h"
#include "ui/main/index_shift.h"

namespace {

const DWORD LIST_EXTENDED_STYLES = LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER;
const size_t MAX_SELECTED_FOR_ADD = 10000;

struct ColumnLayout {
    const wchar_t* header;
    double share;  // of the usable width; 0: whatever the columns before it left
};

const ColumnLayout LIST_COLUMNS[] = {
    {L"Process Name", 0.25},
    {L"Type", 0.16},
    {L"Max Count", 0.125},
    {L"Dump Folder", 0.0},
};

bool SetCellText(HWND list, int row, int column, const wchar_t* text)
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text);
    return ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

}  // namespace

int CKestruneDlg::InsertNameRow(int position, const std::wstring& processName, int entryIndex)
{
    // The list sorts by name: the row lands in name order, and the result is where it landed.
    // A row inserted before its entry exists refers to no entry (-1) until its item data is set: a
    // row whose data cannot be set must not stand for entry 0.
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = position;
    item.pszText = const_cast<wchar_t*>(processName.c_str());
    item.lParam = entryIndex;
    return static_cast<int>(m_list.Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void CKestruneDlg::InitProgramList()
{
    const HWND list = m_list.GetSafeHwnd();
    ::SetWindowLongW(list, GWL_STYLE, ::GetWindowLongW(list, GWL_STYLE) | LVS_SHOWSELALWAYS);
    m_list.Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LIST_EXTENDED_STYLES);

    RECT client = {};
    ::GetClientRect(list, &client);
    const int usable = (client.right - client.left) - ::GetSystemMetrics(SM_CXVSCROLL);

    int nextColumn = 0;
    int widthSoFar = 0;
    for (const ColumnLayout& layout : LIST_COLUMNS) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        column.cx = layout.share > 0 ? static_cast<int>(layout.share * usable) : usable - widthSoFar;
        column.pszText = const_cast<wchar_t*>(layout.header);
        if (m_list.Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(nextColumn), reinterpret_cast<LPARAM>(&column)) != -1) {
            ++nextColumn;
            widthSoFar += column.cx;
        }
    }
}

bool CKestruneDlg::LoadProgramEntries()
{
    bool result = true;
    // The list repaints once at the end instead of after every row.
    m_list.Send(WM_SETREDRAW, FALSE);
    m_list.DeleteAllItems();
    m_entries.clear();
    m_entryDeleted = false;

    // The records of the keys the last reading found, unmarked.
    m_loadIncompleteCode = m_loaded.status == READ_OK ? ERROR_SUCCESS : m_loaded.code;
    if (m_loadIncompleteCode != ERROR_SUCCESS)
        result = false;
    std::vector<ProgramEntry> stored(m_loaded.programs.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        stored[i].processName = m_loaded.programs[i].name;
        stored[i].keyName = m_loaded.programs[i].name;
        stored[i].settings = SettingsFromValues(m_loaded.programs[i].values);
    }

    // The control places every row by name wherever it is inserted from. Rows go in last-read
    // first: the registry lists names in order, and a sorted list control finds the place of a
    // name that sorts first at once, while one that sorts last costs a walk over every row. Each
    // row's item data, given with the row itself, is its record's place in the reading order.
    std::vector<char> skipped(stored.size(), 0);
    int rowsInserted = 0;
    for (size_t i = stored.size(); i-- > 0;) {
        const int row = InsertNameRow(rowsInserted, stored[i].processName, static_cast<int>(i));
        if (row == -1) {
            // The record is left out of m_entries, so the list is no longer the whole of the keys.
            skipped[i] = 1;
            result = false;
            if (m_loadIncompleteCode == ERROR_SUCCESS)
                m_loadIncompleteCode = ERROR_NOT_ENOUGH_MEMORY;
            continue;
        }
        ++rowsInserted;
        if (!SetEntryRowText(row, stored[i], true))
            result = false;
    }

    // m_entries holds the records that got a row, in reading order, unmarked.
    for (size_t i = 0; i < stored.size(); ++i) {
        if (!skipped[i])
            m_entries.push_back(std::move(stored[i]));
    }
    const std::vector<int> skippedBelow = CountFlaggedBelow(skipped);
    if (skippedBelow.back() > 0)
        RenumberRows(skippedBelow);

    m_list.Send(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_list.GetSafeHwnd(), nullptr, TRUE);
    UpdateListButtons(true);
    return result;
}

bool CKestruneDlg::SetEntryRowText(int row, const ProgramEntry& entry, bool freshRow)
{
    // A fresh row holds its name and empty cells: empty texts need not be written there.
    const HWND list = m_list.GetSafeHwnd();
    const DumpSettings& settings = entry.settings;
    bool ok = true;
    if (!freshRow)
        ok &= SetCellText(list, row, 0, entry.processName.c_str());
    if (settings.hasDumpType)
        ok &= SetCellText(list, row, 1, DumpTypeLabel(settings.dumpType));
    else if (!freshRow)
        ok &= SetCellText(list, row, 1, L"");
    if (settings.hasDumpCount)
        ok &= SetCellText(list, row, 2, std::to_wstring(settings.dumpCount).c_str());
    else if (!freshRow)
        ok &= SetCellText(list, row, 2, L"");
    if (settings.hasFolder)
        ok &= SetCellText(list, row, 3, settings.folder.c_str());
    else if (!freshRow)
        ok &= SetCellText(list, row, 3, L"");
    return ok;
}

int CKestruneDlg::RowEntryIndex(int row) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!m_list.Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    if (item.lParam < 0 || static_cast<size_t>(item.lParam) >= m_entries.size())
        return -1;
    return static_cast<int>(item.lParam);
}

bool CKestruneDlg::SetRowEntryIndex(int row, int entryIndex) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = entryIndex;
    return m_list.Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

void CKestruneDlg::RenumberRows(const std::vector<int>& leftBelow) const
{
    // Every row's item data drops by the number of entries that left from below it. A row whose
    // own entry left although the row stayed (its deletion failed) refers to no entry any more,
    // rather than to whichever entry moved into its place.
    const LPARAM oldCount = static_cast<LPARAM>(leftBelow.size()) - 1;
    const int rows = m_list.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (!m_list.Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) || item.lParam < 0)
            continue;
        const size_t old = static_cast<size_t>(item.lParam >= oldCount ? oldCount : item.lParam);
        const bool entryLeft = item.lParam < oldCount && leftBelow[old + 1] != leftBelow[old];
        if (entryLeft)
            SetRowEntryIndex(row, -1);
        else if (leftBelow[old] != 0)
            SetRowEntryIndex(row, static_cast<int>(item.lParam) - leftBelow[old]);
    }
}

bool CKestruneDlg::CollectSelection(std::vector<SelectedRow>& selection) const
{
    selection.clear();
    bool ok = true;
    // The control walks its rows itself and hands over only the selected ones: a list of 10,000
    // rows with none or a few selected costs a few messages, not one per row. The walk ends at -1
    // (or at an answer that does not lie further down).
    int previous = -1;
    for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row > previous;
         row = m_list.GetNextItem(row, LVNI_SELECTED)) {
        previous = row;
        const int entryIndex = RowEntryIndex(row);
        if (entryIndex < 0) {
            ok = false;
            continue;
        }
        selection.push_back({row, entryIndex});
    }
    return ok;
}

DWORD CKestruneDlg::UpdateListButtons(bool apply)
{
    ++m_listButtonUpdates;
    std::vector<SelectedRow> selection;
    DWORD allowed = 0;
    if (CollectSelection(selection)) {
        if (selection.size() < MAX_SELECTED_FOR_ADD)
            allowed |= LIST_CAN_ADD;
        if (!selection.empty())
            allowed |= LIST_CAN_DELETE;
        if (selection.size() == 1)
            allowed |= LIST_CAN_EDIT;
    }
    if (apply) {
        ::EnableWindow(GetDlgItem(IDC_BTN_ADD_PROGRAM), (allowed & LIST_CAN_ADD) ? TRUE : FALSE);
        ::EnableWindow(GetDlgItem(IDC_BTN_DELETE_PROGRAM), (allowed & LIST_CAN_DELETE) ? TRUE : FALSE);
        ::EnableWindow(GetDlgItem(IDC_BTN_EDIT_PROGRAM), (allowed & LIST_CAN_EDIT) ? TRUE : FALSE);
    }
    return allowed;
}

LRESULT CKestruneDlg::OnListItemChanged(NMHDR* header)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    const bool selectionChanged =
        (change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED);
    // A burst of changes recomputes the buttons once, when the timer fires after it. The timer
    // is armed once per burst: arming it again for each of 10,000 rows that select-all changes
    // would cost a call into the window system per row, for the same outcome.
    if (selectionChanged && m_selectionTimerEnabled && !m_selectionTimerPending)
        m_selectionTimerPending = ::SetTimer(m_hWnd, TIMER_SELECTION_CHANGED, 1, &CKestruneDlg::OnSelectionTimer) != 0;
    return 0;
}

void CALLBACK CKestruneDlg::OnSelectionTimer(HWND window, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(window, id);
    if (CKestruneDlg* dialog = FromWindow(window)) {
        dialog->m_selectionTimerPending = false;
        dialog->UpdateListButtons(true);
    }
}
