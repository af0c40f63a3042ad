#include "ui/settings/custom_dump_dlg.h"

#include "app/web_pages.h"
#include "model/registry_layout.h"
#include "res/resource.h"
#include "ui/settings/custom_dump_flags.h"

namespace {

const DWORD LIST_EXTENDED_STYLES = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP;
const double NAME_COLUMN_SHARE = 0.3;

bool IsChecked(const CListViewCtrl& list, int row)
{
    const UINT state = static_cast<UINT>(list.Send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;  // state image 1: unchecked, 2: checked
}

} // namespace

CCustomDumpDlg::CCustomDumpDlg(DWORD flags, bool stored, HWND parent)
    : CDraggableDialog(IDD_CUSTOM_DUMP, parent), m_initial(flags), m_flags(flags), m_stored(stored)
{
}

const RouteTable& CCustomDumpDlg::Routes() const
{
    static const RouteTable routes = {
        MessageRoute(WM_HELP, &CCustomDumpDlg::OnHelp),
        NotifyRoute(LVN_ITEMCHANGED, IDC_LIST_DUMP_FLAGS, &CCustomDumpDlg::OnFlagChanged),
        CommandRoute(IDC_BTN_DUMP_FLAGS_DEFAULT, &CCustomDumpDlg::OnWindowsDefault),
    };
    return routes;
}

void CCustomDumpDlg::DoDataExchange()
{
    m_list.Bind(*this, IDC_LIST_DUMP_FLAGS);
    m_value.Bind(*this, IDC_STATIC_DUMP_FLAGS_VALUE);
}

BOOL CCustomDumpDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    FillList();
    ShowChecks();
    ShowValue();
    m_list.SetFocus();
    return FALSE;
}

void CCustomDumpDlg::FillList()
{
    m_list.Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LIST_EXTENDED_STYLES, LIST_EXTENDED_STYLES);
    RECT client = {};
    ::GetClientRect(m_list.GetSafeHwnd(), &client);
    const int usable = (client.right - client.left) - ::GetSystemMetrics(SM_CXVSCROLL);
    const int nameWidth = static_cast<int>(NAME_COLUMN_SHARE * usable);
    const wchar_t* const headers[] = {L"Contents", L"What it adds, and what it costs"};
    const int widths[] = {nameWidth, usable - nameWidth};
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNW lvc = {};
        lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        lvc.fmt = LVCFMT_LEFT;
        lvc.cx = widths[column];
        lvc.pszText = const_cast<wchar_t*>(headers[column]);
        m_list.Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&lvc));
    }

    m_showingChecks = true;
    for (size_t i = 0; i < CUSTOM_DUMP_FLAG_COUNT; ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(CUSTOM_DUMP_FLAGS[i].name);
        item.lParam = static_cast<LPARAM>(CUSTOM_DUMP_FLAGS[i].bit);
        const int row = static_cast<int>(m_list.Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (row >= 0)
            m_list.SetItemText(row, 1, CUSTOM_DUMP_FLAGS[i].effect);
    }
    m_showingChecks = false;
}

void CCustomDumpDlg::ShowChecks()
{
    m_showingChecks = true;
    for (int row = 0; row < m_list.GetItemCount(); ++row) {
        const DWORD bit = static_cast<DWORD>(m_list.GetItemData(row));
        LVITEMW item = {};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK((m_flags & bit) ? 2 : 1);
        m_list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    m_showingChecks = false;
}

void CCustomDumpDlg::ShowValue() const
{
    m_value.SetText(CustomDumpFlagsText(m_flags, m_stored || m_flags != m_initial));
}

LRESULT CCustomDumpDlg::OnFlagChanged(NMHDR* header)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (m_showingChecks || !(change->uChanged & LVIF_STATE) ||
        ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) == 0)
        return 0;
    DWORD checked = 0;
    for (int row = 0; row < m_list.GetItemCount(); ++row) {
        if (IsChecked(m_list, row))
            checked |= static_cast<DWORD>(m_list.GetItemData(row));
    }
    m_flags = ChooseCustomDumpFlags(m_flags, checked);
    ShowValue();
    return 0;
}

void CCustomDumpDlg::OnWindowsDefault()
{
    m_flags = ChooseCustomDumpFlags(m_flags, DEFAULT_CUSTOM_DUMP_FLAGS);
    ShowChecks();
    ShowValue();
}

LRESULT CCustomDumpDlg::OnHelp(WPARAM, LPARAM, bool&)
{
    ForwardHelpToMainWindow();
    return TRUE;
}
