#pragma once
// The check window: what the dump collection check found, one row per finding with what it
// concerns, and the explanation of the row selected. It shows what the main window found at its last load and
// changes nothing.
#include <windows.h>

#include <string>
#include <vector>

#include "model/checks/dump_checks.h"
#include "ui/common/draggable_dialog.h"

class CDumpCheckDlg : public CDraggableDialog {
public:
    explicit CDumpCheckDlg(const CheckFindings& findings);

protected:
    BOOL OnInitDialog() override;
    const RouteTable& Routes() const override;

private:
    void AddRow(const CheckFinding& finding, int image);
    LRESULT OnRowChanged(NMHDR* header);
    LRESULT OnHelp(WPARAM wParam, LPARAM lParam, bool& handled);

    CheckFindings m_findings;
    std::vector<std::wstring> m_explanations;  // by row
};
