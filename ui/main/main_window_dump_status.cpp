// The main window's status line: whether Windows writes dumps with the settings as last loaded or
// saved, and the check window behind its link and the Help menu.
#include "ui/main/kestrune_dlg.h"

#include "res/resource.h"
#include "ui/main/dump_check_dlg.h"

void CKestruneDlg::UpdateDumpStatus()
{
    m_findings = RunDumpChecks(m_loaded);
    ::SetDlgItemTextW(m_hWnd, IDC_LINK_DUMP_STATUS,
                      DumpStatusText(m_loaded.keyExists, CountProblems(m_findings)).c_str());
}

void CKestruneDlg::ShowDumpCheck()
{
    CDumpCheckDlg check(m_findings);
    check.DoModal();
}

LRESULT CKestruneDlg::OnDumpStatusLink(NMHDR*)
{
    ShowDumpCheck();
    return 0;
}
