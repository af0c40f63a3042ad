// The check window.
#include "ui/main/dump_check_dlg.h"

#include <commctrl.h>

#include "app/web_pages.h"
#include "res/resource.h"

namespace {

// Images of the rows.
const int IMAGE_PROBLEM = 0;
const int IMAGE_NOTE = 1;

const wchar_t* const NOTHING_FOUND_EXPLANATION =
    L"Kestrune found nothing that keeps Windows from writing dumps: no copy of the settings that Windows "
    L"ignores, no debugger that starts instead, no policy that turns error reporting off, and nothing in the "
    L"stored settings or their folders that loses dumps.";

} // namespace

CDumpCheckDlg::CDumpCheckDlg(const CheckFindings& findings)
    : CDraggableDialog(IDD_DUMP_CHECK), m_findings(findings)
{
}

const RouteTable& CDumpCheckDlg::Routes() const
{
    static const RouteTable routes = {
        NotifyRoute(LVN_ITEMCHANGED, IDC_LIST_FINDINGS, &CDumpCheckDlg::OnRowChanged),
        MessageRoute(WM_HELP, &CDumpCheckDlg::OnHelp),
    };
    return routes;
}

BOOL CDumpCheckDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    const HWND list = GetDlgItem(IDC_LIST_FINDINGS);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

    // The system's warning and information icons at small size; the list destroys them with itself.
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    const HIMAGELIST images = ::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 0);
    ::ImageList_AddIcon(images, ::LoadIconW(nullptr, IDI_WARNING));
    ::ImageList_AddIcon(images, ::LoadIconW(nullptr, IDI_INFORMATION));
    ::SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));

    // The title, and what the finding concerns (the same title can come from two places).
    RECT client = {};
    ::GetClientRect(list, &client);
    const int width = client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = width * 3 / 5;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = width - column.cx;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

    if (CountProblems(m_findings) == 0)
        AddRow({CHECK_NO_PROBLEMS, L"", NOTHING_FOUND_EXPLANATION}, IMAGE_NOTE);
    for (const CheckFinding& finding : m_findings)
        AddRow(finding, finding.note ? IMAGE_NOTE : IMAGE_PROBLEM);

    LVITEMW first = {};
    first.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    first.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    ::SetFocus(list);
    return FALSE;
}

void CDumpCheckDlg::AddRow(const CheckFinding& finding, int image)
{
    const HWND list = GetDlgItem(IDC_LIST_FINDINGS);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(m_explanations.size());
    item.pszText = const_cast<wchar_t*>(finding.title.c_str());
    item.iImage = image;
    const int row = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(finding.subject.c_str());
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    m_explanations.push_back(finding.explanation);
}

LRESULT CDumpCheckDlg::OnRowChanged(NMHDR* header)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    const bool selectedNow = (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
    // The rows stay in the order they were added: a row's number is its explanation's.
    if (selectedNow && change->iItem >= 0 && static_cast<size_t>(change->iItem) < m_explanations.size())
        ::SetDlgItemTextW(m_hWnd, IDC_EDIT_FINDING_TEXT, m_explanations[static_cast<size_t>(change->iItem)].c_str());
    return 0;
}

LRESULT CDumpCheckDlg::OnHelp(WPARAM, LPARAM, bool&)
{
    ForwardHelpToMainWindow();
    return TRUE;
}
