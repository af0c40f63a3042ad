#pragma once
// The contents of a custom dump: one check box per MINIDUMP_TYPE flag in a list, each with what it
// adds and what it costs, the value as it will be stored, and Windows' default at one click. Bits
// that the list does not show are kept as they are.
#include <windows.h>

#include "framework/controls.h"
#include "ui/common/draggable_dialog.h"

class CCustomDumpDlg : public CDraggableDialog {
public:
    // flags: what the dialog shows first; stored: whether they are stored, or Windows' default.
    CCustomDumpDlg(DWORD flags, bool stored, HWND parent);

    // The flags as the user left them; meaningful after IDOK.
    DWORD Flags() const { return m_flags; }

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    const RouteTable& Routes() const override;

private:
    LRESULT OnFlagChanged(NMHDR* header);
    void OnWindowsDefault();
    LRESULT OnHelp(WPARAM wParam, LPARAM lParam, bool& handled);

    void FillList();
    void ShowChecks();
    void ShowValue() const;

    DWORD m_initial;
    DWORD m_flags;
    bool m_stored;
    bool m_showingChecks = false;  // the dialog sets the boxes itself: no choice of the user's
    CListViewCtrl m_list;
    CWindowRef m_value;
};
