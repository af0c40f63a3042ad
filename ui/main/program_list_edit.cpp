// Adding, editing and deleting program entries, and the duplicate-name question of the program
// settings dialog. Every change keeps each row's item data equal to its entry's index.
#include "ui/main/kestrune_dlg.h"

#include "framework/message_box.h"
#include "framework/wait_cursor.h"
#include "model/process_names.h"
#include "model/text_utils.h"
#include "ui/main/index_shift.h"
#include "ui/settings/add_edit_prog_dlg.h"

namespace {

void Beep()
{
    ::MessageBeep(MB_ICONHAND);
}

void SetRowState(HWND list, int row, UINT state, UINT mask)
{
    LVITEMW item = {};
    item.stateMask = mask;
    item.state = state;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::wstring DeleteQuestion(const std::vector<SelectedRow>& selection, const std::vector<ProgramEntry>& entries)
{
    if (selection.size() == 1) {
        return FormatText(L"Do you want to remove the following program from the list?\n\n%s",
                          entries[static_cast<size_t>(selection[0].entryIndex)].processName.c_str());
    }
    return FormatText(L"Do you want to remove %d selected programs from the list?", static_cast<int>(selection.size()));
}

}  // namespace

void CKestruneDlg::AddProgram()
{
    ProgramEntry entry;
    {
        CAddEditProgDlg dialog(-1, &entry, m_hWnd);
        if (dialog.DoModal() != IDOK)
            return;
    }

    const int row = InsertNameRow(m_list.GetItemCount(), entry.processName);
    if (row == -1) {
        Beep();
        return;
    }
    entry.modified = TRUE;
    m_entries.push_back(entry);
    // The texts go in even when the item data did not: the entry stays and will be saved, so its
    // row shows what it holds.
    const bool indexSet = SetRowEntryIndex(row, static_cast<int>(m_entries.size()) - 1);
    const bool textSet = SetEntryRowText(row, m_entries.back(), true);
    if (!indexSet || !textSet) {
        Beep();
        return;
    }

    const HWND list = m_list.GetSafeHwnd();
    SetRowState(list, -1, 0, LVIS_SELECTED);
    SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    ::SetFocus(list);
}

void CKestruneDlg::EditProgram(bool beepOnFailure)
{
    std::vector<SelectedRow> selection;
    if (!CollectSelection(selection) || selection.size() != 1) {
        if (beepOnFailure)
            Beep();
        return;
    }
    const SelectedRow target = selection[0];
    ProgramEntry copy = m_entries[static_cast<size_t>(target.entryIndex)];
    {
        CAddEditProgDlg dialog(target.row, &copy, m_hWnd);
        if (dialog.DoModal() != IDOK)
            return;
    }

    ProgramEntry& stored = m_entries[static_cast<size_t>(target.entryIndex)];
    if (copy.Equals(stored))
        return;
    copy.modified = TRUE;
    stored = copy;
    // A renamed entry keeps its row position: the list is not re-sorted.
    if (!SetEntryRowText(target.row, stored, false) && beepOnFailure)
        Beep();
}

void CKestruneDlg::DeletePrograms()
{
    std::vector<SelectedRow> selection;
    if (!CollectSelection(selection) || selection.empty()) {
        Beep();
        return;
    }
    if (AppMessageBox(DeleteQuestion(selection, m_entries), MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;

    CWaitCursor wait;
    m_selectionTimerEnabled = false;
    const HWND list = m_list.GetSafeHwnd();
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);

    // Rows go from the highest position down, so that the positions still to come stay valid. The
    // entries go in one pass afterwards, and the rows that remain are renumbered once.
    const size_t oldCount = m_entries.size();
    std::vector<char> removed(oldCount, 0);
    bool rowDeletionFailed = false;
    if (static_cast<int>(selection.size()) == m_list.GetItemCount() && m_list.DeleteAllItems()) {
        // Every row goes: one call instead of one per row.
        for (const SelectedRow& pair : selection)
            removed[static_cast<size_t>(pair.entryIndex)] = 1;
    } else {
        for (auto pair = selection.rbegin(); pair != selection.rend(); ++pair) {
            if (!m_list.DeleteItem(pair->row))
                rowDeletionFailed = true;
            removed[static_cast<size_t>(pair->entryIndex)] = 1;
        }
    }

    size_t kept = 0;
    for (size_t i = 0; i < oldCount; ++i) {
        if (!removed[i]) {
            if (kept != i)
                m_entries[kept] = std::move(m_entries[i]);
            ++kept;
        }
    }
    m_entries.resize(kept);
    m_entryDeleted = true;
    RenumberRows(CountFlaggedBelow(removed));

    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    m_selectionTimerEnabled = true;
    UpdateListButtons(true);
    if (rowDeletionFailed)
        Beep();
}

LRESULT CKestruneDlg::OnFindProcess(const wchar_t* processName, int skipRow)
{
    if (!processName)
        return 0;
    const int rows = m_list.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (row == skipRow)
            continue;
        const int entryIndex = RowEntryIndex(row);
        if (entryIndex < 0)
            continue;
        if (!SameProcessName(m_entries[static_cast<size_t>(entryIndex)].processName, processName))
            continue;
        // The found row becomes the only selected and focused one.
        const HWND list = m_list.GetSafeHwnd();
        SetRowState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        return 1;
    }
    return 0;
}
