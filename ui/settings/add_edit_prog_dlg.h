#pragma once
// The dialog in which the user adds the crash-dump settings of one program or edits those of an
// existing entry. It checks the process name and the settings, asks the main window whether
// another row already uses the name, and fills the caller's entry only when the user confirms.
#include <windows.h>

#include <string>

#include "framework/controls.h"
#include "framework/unique_handles.h"
#include "model/dump_settings.h"
#include "ui/common/draggable_dialog.h"
#include "ui/settings/dump_settings_panel.h"

class CAddEditProgDlg : public CDraggableDialog {
public:
    // row: the list row of the entry being edited, -1 to add. entry: owned by the caller; shown
    // in edit mode and filled on IDOK.
    CAddEditProgDlg(int row, ProgramEntry* entry, HWND parent);
    ~CAddEditProgDlg() override;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    const RouteTable& Routes() const override;

private:
    void OnOkButton();
    void OnSaveAndClose();
    void OnCloseCommand();
    void OnBrowseExecutable();
    void OnBrowseFolder();
    void OnClearSettings();
    void OnSuggestedSettings();
    LRESULT OnDumpTypeChosen(NMHDR*);
    void OnDumpContents();
    void OnTechnicalDetails();
    LRESULT OnHelp(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam, bool& handled);

    void ShowExeIcon();
    void ReportNameError(const std::wstring& message);

    int m_row;
    BOOL m_addMode;
    ProgramEntry* m_entry;
    unique_hicon m_hExeIcon;  // the shell's icon for .exe files, shown in static 1016
    CEditCtrl m_editProcessName;
    CEditCtrl m_editFolder;
    CButtonCtrl m_checkSetAcl;
    CComboBoxCtrl m_comboDumpType;
    CEditCtrl m_editDumpCount;
    DumpSettingsPanel m_panel;
};
