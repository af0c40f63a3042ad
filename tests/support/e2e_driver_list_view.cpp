// Reading the rows of a list view that lives in another process: the LVITEMW and the text buffer
// are placed in memory of that process, the control fills them there, and the result is read back.
#include "tests/support/e2e_driver.h"

namespace e2e {

namespace {

const SIZE_T TEXT_CAPACITY = 1024;  // characters per cell
const SIZE_T ITEM_OFFSET = 0;
const SIZE_T TEXT_OFFSET = 64;      // after the LVITEMW, aligned
const SIZE_T BUFFER_SIZE = TEXT_OFFSET + TEXT_CAPACITY * sizeof(wchar_t);

static_assert(sizeof(LVITEMW) <= TEXT_OFFSET, "the item must fit before the text");

} // namespace

RemoteListView::RemoteListView(HWND list) : m_list(list)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(list, &processId);
    m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (m_process) {
        m_buffer = static_cast<BYTE*>(
            ::VirtualAllocEx(m_process, nullptr, BUFFER_SIZE, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
}

RemoteListView::~RemoteListView()
{
    if (m_buffer)
        ::VirtualFreeEx(m_process, m_buffer, 0, MEM_RELEASE);
    if (m_process)
        ::CloseHandle(m_process);
}

bool RemoteListView::Write(const void* data, SIZE_T size, SIZE_T offset) const
{
    SIZE_T written = 0;
    return m_buffer && ::WriteProcessMemory(m_process, m_buffer + offset, data, size, &written) &&
           written == size;
}

bool RemoteListView::Read(void* data, SIZE_T size, SIZE_T offset) const
{
    SIZE_T read = 0;
    return m_buffer && ::ReadProcessMemory(m_process, m_buffer + offset, data, size, &read) && read == size;
}

int RemoteListView::RowCount() const
{
    return static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
}

int RemoteListView::ColumnCount() const
{
    const HWND header = reinterpret_cast<HWND>(::SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring RemoteListView::CellText(int row, int column) const
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.cchTextMax = static_cast<int>(TEXT_CAPACITY);
    item.pszText = reinterpret_cast<LPWSTR>(m_buffer + TEXT_OFFSET);
    const wchar_t empty = L'\0';
    if (!Write(&item, sizeof(item), ITEM_OFFSET) || !Write(&empty, sizeof(empty), TEXT_OFFSET))
        return std::wstring();
    const LRESULT length = ::SendMessageW(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                          reinterpret_cast<LPARAM>(m_buffer + ITEM_OFFSET));
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length), L'\0');
    if (!Read(&text[0], static_cast<SIZE_T>(length) * sizeof(wchar_t), TEXT_OFFSET))
        return std::wstring();
    return text;
}

std::vector<std::wstring> RemoteListView::RowTexts(int row) const
{
    std::vector<std::wstring> texts;
    const int columns = ColumnCount();
    for (int column = 0; column < columns; ++column)
        texts.push_back(CellText(row, column));
    return texts;
}

UINT RemoteListView::ItemState(int row, UINT mask) const
{
    // LVM_GETITEMSTATE carries no pointer and needs no remote memory.
    return static_cast<UINT>(::SendMessageW(m_list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
}

bool RemoteListView::ItemData(int row, LPARAM& data) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!Write(&item, sizeof(item), ITEM_OFFSET))
        return false;
    if (!::SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(m_buffer + ITEM_OFFSET)))
        return false;
    if (!Read(&item, sizeof(item), ITEM_OFFSET))
        return false;
    data = item.lParam;
    return true;
}

bool RemoteListView::RowRect(int row, RECT& screenRect) const
{
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    if (!Write(&rect, sizeof(rect), ITEM_OFFSET))
        return false;
    if (!::SendMessageW(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(m_buffer + ITEM_OFFSET)))
        return false;
    if (!Read(&rect, sizeof(rect), ITEM_OFFSET))
        return false;
    ::MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    screenRect = rect;
    return true;
}

std::vector<int> RemoteListView::SelectedRows() const
{
    std::vector<int> rows;
    const int count = RowCount();
    for (int row = 0; row < count; ++row) {
        if (ItemState(row, LVIS_SELECTED) & LVIS_SELECTED)
            rows.push_back(row);
    }
    return rows;
}

bool RemoteListView::SetItemState(int row, UINT state, UINT mask) const
{
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    return Write(&item, sizeof(item), ITEM_OFFSET) &&
           ::SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(m_buffer + ITEM_OFFSET)) != FALSE;
}

} // namespace e2e
