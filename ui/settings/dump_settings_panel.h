#pragma once
// The group of controls that shows and edits one set of dump settings: folder edit 1000 with its
// Browse button 1001, the set-ACL check box 1004, the dump type combo box 1002 and the count edit
// 1003 with its up-down control 1010, and the button 1040 that opens the contents of a custom dump.
// Both the main window and the program settings dialog carry
// one, with the same control ids; each dialog owns a DumpSettingsPanel attached to its window.
#include <windows.h>

#include <string>

#include "model/dump_settings.h"

// Error flags of ReadSettings.
const DWORD PANEL_ERR_DUMP_TYPE = 1;
const DWORD PANEL_ERR_DUMP_COUNT = 2;
const DWORD PANEL_ERR_DUMP_FOLDER = 4;  // not a full path, or a place never opened to everyone

class DumpSettingsPanel {
public:
    // The dialog window that holds the controls.
    void Attach(HWND dialog) { m_dialog = dialog; }
    HWND Dialog() const { return m_dialog; }

    // Prepares the controls, in this order: LimitTexts, SetUpCountSpinner, AddDumpTypeItems.
    // The main window runs the three steps itself, split around other work of its own.
    void InitPanel();
    void LimitTexts();          // folder edit 260 characters, count edit 10
    void SetUpCountSpinner();   // range 1..9999, count edit as buddy
    // "", mini, full and custom with item data DUMP_TYPE_ITEM_NOT_GIVEN, 1, 2, 0; nothing selected.
    void AddDumpTypeItems();

    // Writes settings into the controls: the program dialog's way (given values only) and the
    // main window's way for what was read from the registry (every field, unknown types select
    // the empty item, the ACL box untouched). A given type that the list cannot show (a custom
    // dump 0, or a code set by another tool) is kept and read back exactly as it came, until the
    // user chooses in the type field, clears the settings or takes a suggested type.
    void ShowSettings(const DumpSettings& settings);
    void ShowStoredSettings(const DumpSettings& settings);

    // Fills `settings` in every case; returns 0 or PANEL_ERR_DUMP_FOLDER | PANEL_ERR_DUMP_TYPE |
    // PANEL_ERR_DUMP_COUNT.
    DWORD ReadSettings(DumpSettings& settings) const;

    // Moves the focus to the offending control and shows the message of the first error flag, in
    // the order of the controls: folder, dump type, count. Without an error, and with the ACL box
    // off, a folder of another account is taken only after a question (Yes/No, No the default);
    // No moves the focus to the folder. Returns false when the settings may be taken.
    bool ReportReadErrors(DWORD flags) const;

    void ClearSettings();
    void SetSuggestedSettings();
    void BrowseForDumpFolder();

    // The selected item's data: a type code, or DUMP_TYPE_ITEM_NOT_GIVEN for the empty item and
    // for no selection. False when it cannot be read.
    bool GetSelectedDumpType(DWORD& code) const;
    bool SelectDumpType(DWORD code);

    // The user chose in the type field (a selection change, or an item chosen from the list,
    // the one already shown included): a kept type gives way.
    void OnDumpTypeChosen();

    // "Contents...": the flags of a custom dump in their own dialog. The panel shows the stored
    // flags, or Windows' default when none are stored, and takes the user's choice only when it
    // differs from what was shown.
    void EditCustomDumpFlags();
    // Sets the flags as the contents dialog would, for callers without a dialog.
    void TakeCustomDumpFlags(DWORD flags);

private:
    HWND Control(int id) const { return ::GetDlgItem(m_dialog, id); }
    void KeepUnlistedDumpType(const DumpSettings& settings);
    void KeepCustomDumpFlags(const DumpSettings& settings);
    // The contents button is enabled exactly while the custom dump is the selected item.
    void UpdateContentsButton() const;
    bool ConfirmFolderOwner() const;

    HWND m_dialog = nullptr;
    bool m_hasKeptDumpType = false;
    DWORD m_keptDumpType = 0;
    bool m_hasCustomDumpFlags = false;
    DWORD m_customDumpFlags = 0;
};

// Item data of the empty dump type item: no type given. Code 0 is the custom dump.
const DWORD DUMP_TYPE_ITEM_NOT_GIVEN = 0xFFFFFFFE;

// The shell's folder browser. Returns 1 when a folder was chosen (written to `path` without a
// trailing separator, except for a drive root: "C:\"), 0 when cancelled, -1 when the choice has no
// file system path.
int PickFolder(HWND owner, std::wstring& path);

// Expands environment-variable references. An empty source succeeds with an empty result; on
// failure `out` is empty.
bool ExpandEnvStrings(const std::wstring& source, std::wstring& out);

// The messages of a failed panel read.
#define PANEL_MSG_DUMP_TYPE_INVALID L"'Crash dump type' selection is invalid"
#define PANEL_MSG_DUMP_COUNT_INVALID \
    L"'Maximum number of files' must be a positive value from 1 and up. Or clear that field not to use it"
// The folder browser returned something that is not a folder of the file system.
#define PANEL_MSG_CANNOT_USE_LOCATION L"Cannot use selected location..."
