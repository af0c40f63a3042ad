#pragma once
// The main window: the global dump settings in the settings panel, the program-specific entries in
// the program list, the menu bar and the notices. Nothing reaches the registry before the user
// saves; cancelling asks first when something was changed.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/controls.h"
#include "model/checks/dump_checks.h"
#include "model/dump_settings.h"
#include "model/stored_state.h"
#include "ui/common/draggable_dialog.h"
#include "ui/settings/dump_settings_panel.h"

// Timers of the main window.
const UINT_PTR TIMER_UNSUPPORTED_NOTICE = 4097;  // the unsupported-platform message, once
const UINT_PTR TIMER_SELECTION_CHANGED = 4098;   // recompute the list buttons after a selection burst

// What the program list allows right now (UpdateListButtons).
const DWORD LIST_CAN_ADD = 1;
const DWORD LIST_CAN_DELETE = 2;
const DWORD LIST_CAN_EDIT = 4;

// A selected row and the index of its entry in m_entries.
struct SelectedRow {
    int row;
    int entryIndex;
};

class CKestruneDlg : public CDraggableDialog {
public:
    CKestruneDlg();
    ~CKestruneDlg() override;

    // Loading and saving. A load reads the registry once (m_loaded) and shows what it read.
    bool LoadFromRegistry();
    void LoadGlobalSettings();
    bool RefreshFromRegistry();
    bool HasUnsavedChanges() const;
    bool CommitChanges();
    // The save of CommitChanges without closing the window.
    bool SaveChanges();

    // Export: with unsaved edits, asks whether to save them first (only Yes goes on: it saves,
    // reloads and takes the saved state as the window's baseline); true when the export may
    // proceed. Then writes what is stored to `path`, reporting a failure in an error box.
    bool SaveBeforeExport();
    bool ExportStoredConfiguration(const std::wstring& path);

    // The program list.
    void InitProgramList();
    bool LoadProgramEntries();
    bool SetEntryRowText(int row, const ProgramEntry& entry, bool freshRow);
    bool CollectSelection(std::vector<SelectedRow>& selection) const;
    DWORD UpdateListButtons(bool apply);
    void AddProgram();
    void EditProgram(bool beepOnFailure);
    void DeletePrograms();
    void ShowListMenu(POINT screenPoint);
    void SelectAllPrograms();
    LRESULT OnFindProcess(const wchar_t* processName, int skipRow);

    const std::vector<ProgramEntry>& Entries() const { return m_entries; }
    HWND ListWindow() const { return m_list.GetSafeHwnd(); }
    bool CanSave() const { return m_canSave; }
    // The last load read every program key; until one does, the window cannot save.
    bool LoadComplete() const { return m_loadIncompleteCode == ERROR_SUCCESS; }
    // How often the list buttons were recomputed; lets a burst of selection changes be checked.
    int ListButtonUpdates() const { return m_listButtonUpdates; }

    // The dump collection check of the stored settings: the status line and the check window.
    const CheckFindings& Findings() const { return m_findings; }
    void ShowDumpCheck();

protected:
    void DoDataExchange() override;

public:
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    const RouteTable& Routes() const override;

private:
    // Initialisation steps of their own.
    void AppendAboutToSystemMenu();
    void ProbeWriteAccess();
    void EnterReadOnlyMode();
    void UpdateSaveCommands();
    bool ConfirmOutsideChanges(const DumpSettings& global, bool clearing);
    void UpdateDumpStatus();
    void ReleaseWarningIcon();

    // Commands.
    void OnSaveAndExit();
    void OnCloseCommand();
    void OnBrowseFolder();
    void OnClearGlobalSettings();
    void OnSuggestedGlobalSettings();
    void OnDumpContents();
    void OnExport();
    LRESULT OnDumpTypeChosen(NMHDR*);
    void OnRefresh();
    void OnAbout();
    void OnTechnicalDetails();
    void OnDonation();
    void OnEditProgramCommand();
    LRESULT OnDumpStatusLink(NMHDR*);

    // Command update of the Edit popup.
    void OnUpdateAddProgram(CommandState& state);
    void OnUpdateEditProgram(CommandState& state);
    void OnUpdateDeleteProgram(CommandState& state);

    // Messages.
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnHelp(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnFindProcessMessage(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnLoadIncomplete(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam, bool& handled);

    // Notifications.
    LRESULT OnIntroLink(NMHDR* header);
    LRESULT OnListItemChanged(NMHDR* header);
    LRESULT OnListDoubleClick(NMHDR* header);
    LRESULT OnListRightClick(NMHDR* header);

    static CKestruneDlg* FromWindow(HWND window);
    static void CALLBACK OnSelectionTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
    // A new row with the name and the item data `entryIndex` (-1: no entry yet).
    int InsertNameRow(int position, const std::wstring& processName, int entryIndex = -1);
    // The entry index a row refers to, or -1 when its item data cannot be read or is out of range.
    int RowEntryIndex(int row) const;
    bool SetRowEntryIndex(int row, int entryIndex) const;
    // Renumbers the rows' item data after entries left m_entries (see CountFlaggedBelow).
    void RenumberRows(const std::vector<int>& leftBelow) const;

    HICON m_hIcon;
    HACCEL m_hAccel = nullptr;
    // What the registry held at the last load, or after a save of ours that failed part way.
    StoredState m_loaded;
    // 0 when the last load read every program key, else the Win32 code of what went wrong.
    DWORD m_loadIncompleteCode = ERROR_SUCCESS;
    // Clear Global Settings was chosen since the last load: only then may a save of empty global
    // settings without programs remove the whole configuration. A failed save keeps it, with the
    // other edits, so that the next save completes the removal.
    bool m_clearChosen = false;
    DumpSettings m_globalAtLoad;
    LONG m_entryCountAtLoad = 0;
    // An entry was deleted since the list was last loaded; a load discards the deletion with the
    // rest of the list's edits.
    bool m_entryDeleted = false;
    CEditCtrl m_editFolder;
    CButtonCtrl m_checkSetAcl;
    CComboBoxCtrl m_comboDumpType;
    CEditCtrl m_editDumpCount;
    CListViewCtrl m_list;
    std::vector<ProgramEntry> m_entries;
    bool m_selectionTimerEnabled = true;
    bool m_selectionTimerPending = false;  // timer 4098 is armed and has not fired yet
    HICON m_hWarningIcon = nullptr;
    bool m_canSave = false;

    bool m_warningIconOwned = false;  // false for the system's shared copy
    DumpSettingsPanel m_panel;
    int m_listButtonUpdates = 0;
    // What the dump collection check found in the settings as last loaded.
    CheckFindings m_findings;
};
