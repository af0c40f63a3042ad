// Loading, refreshing, the unsaved-change rule with the exit confirmation, and save and exit.
#include "ui/main/kestrune_dlg.h"

#include "app/platform_values.h"
#include "framework/message_box.h"
#include "framework/wait_cursor.h"
#include "model/commit.h"
#include "model/error_text.h"
#include "model/stored_state.h"
#include "model/text_utils.h"
#include "ui/common/app_messages.h"

bool CKestruneDlg::LoadFromRegistry()
{
    m_loaded = ReadStoredState();
    m_clearChosen = false;
    LoadGlobalSettings();
    const bool loaded = LoadProgramEntries();
    UpdateDumpStatus();
    // A list that misses keys must not be saved: the save would delete every key it did not show.
    UpdateSaveCommands();
    if (!LoadComplete())
        ::PostMessageW(m_hWnd, WM_APP_LOAD_INCOMPLETE, m_loadIncompleteCode, 0);
    return loaded;
}

void CKestruneDlg::LoadGlobalSettings()
{
    // All the values are read before any control changes; the ACL check box is left alone.
    m_panel.ShowStoredSettings(SettingsFromValues(m_loaded.global));
}

bool CKestruneDlg::RefreshFromRegistry()
{
    // Discards the edits without asking. The baseline of the unsaved-change rule stays the state at
    // opening, so an outside change of the registry counts as a change.
    CWaitCursor wait;
    return LoadFromRegistry();
}

LRESULT CKestruneDlg::OnLoadIncomplete(WPARAM wParam, LPARAM, bool&)
{
    const DWORD code = static_cast<DWORD>(wParam);
    AppMessageBox(FormatText(L"ERROR: The list of programs could not be read completely. Kestrune cannot save "
                             L"until Refresh (F5) reads it all.\n\n(%d) %s",
                             static_cast<int>(code), ErrorText(code).c_str()),
                  MB_ICONERROR);
    return 0;
}

bool CKestruneDlg::ConfirmOutsideChanges(const DumpSettings& global, bool clearing)
{
    // Another program (an administrator, a script, Group Policy) may have changed the settings
    // since they were loaded; the save asks before it writes over that. After Yes the registry is
    // read again, right before the save writes, and what changed while the question was open is
    // asked about in turn. A reading that misses keys stops the save: it cannot tell what changed.
    const DesiredConfiguration desired = {global, m_entries, clearing};
    StoredState answered = m_loaded;
    for (bool again = false;; again = true) {
        StoredState now = ReadStoredState();
        if (now.status != READ_OK) {
            // The list shown is whole; only this reading failed, so the edits stay and SAVE may
            // simply be tried again.
            AppMessageBox(FormatText(L"ERROR: The settings could not be read again to look for changes that "
                                     L"other programs made. Nothing was saved; try SAVE again.\n\n(%d) %s",
                                     static_cast<int>(now.code), ErrorText(now.code).c_str()),
                          MB_ICONERROR);
            return false;
        }
        const std::vector<OutsideChange> changes = ChangedSettings(answered, now);
        if (changes.empty())
            return true;
        if (AppMessageBox(OutsideChangeQuestion(changes, desired, again),
                          MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return false;
        answered = std::move(now);
    }
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
    const bool committed = SaveChanges();
    if (committed)
        OnOK();
    return committed;
}

bool CKestruneDlg::SaveChanges()
{
    if (g_notSupported) {
        AppMessageBox(L"ERROR: Not supported on your Operating System", MB_ICONERROR);
        return false;
    }

    // A list that misses keys cannot be saved (see LoadFromRegistry); SAVE is disabled, this guards
    // the Enter key and the accelerators.
    if (!LoadComplete()) {
        ::MessageBeep(MB_ICONERROR);
        return false;
    }

    DumpSettings global;
    // The entries need no check here: the program settings dialog checked each one.
    if (m_panel.ReportReadErrors(m_panel.ReadSettings(global)))
        return false;

    const ClearRequest clear = m_clearChosen ? CLEAR_ASKED : CLEAR_NOT_ASKED;
    if (!ConfirmOutsideChanges(global, ClearsConfiguration(global, m_entries, clear)))
        return false;

    std::wstring errorText;
    bool committed = false;
    {
        CWaitCursor wait;
        committed = SaveConfiguration(global, m_entries, clear, errorText);
        // What this save wrote before it stopped is the program's own doing, not another's. The
        // state is taken before the message shows, so that what another program changes while
        // it is open counts as a change.
        if (!committed) {
            m_loaded = ReadStoredState();
            UpdateDumpStatus();
        }
    }
    if (!committed)
        AppMessageBox(errorText, MB_OK | MB_ICONERROR);
    return committed;
}

void CKestruneDlg::OnSaveAndExit()
{
    CommitChanges();
}
