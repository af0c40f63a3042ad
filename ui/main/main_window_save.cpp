// Loading, refreshing, the unsaved-change rule with the exit confirmation, and save and exit.
#include "ui/main/kestrune_dlg.h"

#include "app/platform_values.h"
#include "framework/message_box.h"
#include "framework/wait_cursor.h"
#include "model/commit.h"
#include "model/stored_settings.h"

void CKestruneDlg::LoadGlobalSettings()
{
    // All three values are read before any control changes; the ACL check box is left alone.
    m_panel.ShowStoredSettings(ReadGlobalSettings());
}

bool CKestruneDlg::RefreshFromRegistry()
{
    // Discards the edits without asking. The baseline of the unsaved-change rule stays the state at
    // opening, so an outside change of the registry counts as a change.
    CWaitCursor wait;
    LoadGlobalSettings();
    return LoadProgramEntries();
}

bool CKestruneDlg::HasUnsavedChanges() const
{
    DumpSettings shown;
    m_panel.ReadSettings(shown);
    if (!shown.Equals(m_globalAtLoad))
        return true;
    // A deletion counts even when a refresh has brought the number of entries back.
    if (m_entryDeleted || static_cast<LONG>(m_entries.size()) != m_entryCountAtLoad)
        return true;
    for (const ProgramEntry& entry : m_entries) {
        if (entry.modified)
            return true;
    }
    return false;
}

void CKestruneDlg::OnCancel()
{
    CWaitCursor wait;
    if (!HasUnsavedChanges()) {
        EndDialog(IDCANCEL);
        return;
    }
    const int answer = AppMessageBox(L"Do you want to exit without saving changes?",
                                     MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
    if (answer == IDYES)
        EndDialog(IDCANCEL);
}

bool CKestruneDlg::CommitChanges()
{
    if (g_notSupported) {
        AppMessageBox(L"ERROR: Not supported on your Operating System", MB_ICONERROR);
        return false;
    }

    DumpSettings global;
    // The entries need no check here: the program settings dialog checked each one.
    if (m_panel.ReportReadErrors(m_panel.ReadSettings(global)))
        return false;

    bool committed = false;
    {
        CWaitCursor wait;
        committed = CommitConfiguration(global, m_entries);
    }
    if (committed)
        OnOK();
    return committed;
}

void CKestruneDlg::OnSaveAndExit()
{
    CommitChanges();
}
