// The dump settings panel: showing, reading back, clearing and suggesting one set of settings.
#include "ui/settings/dump_settings_panel.h"

#include <commctrl.h>

#include "app/suggested_profile.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "model/dump_folder_path.h"
#include "model/registry_layout.h"
#include "model/text_utils.h"
#include "res/resource.h"
#include "ui/settings/custom_dump_dlg.h"
#include "ui/settings/dump_count_rule.h"
#include "ui/settings/dump_folder_rules.h"

namespace {

const int FOLDER_TEXT_LIMIT = 260;
const int COUNT_TEXT_LIMIT = 10;
const int COUNT_SPINNER_MIN = 1;
const int COUNT_SPINNER_MAX = 9999;
const DWORD NO_DUMP_TYPE = 0xFFFFFFFF;  // -1: leave the selection as it is

struct DumpTypeItem {
    const wchar_t* text;
    DWORD code;
};

const DumpTypeItem DUMP_TYPE_ITEMS[] = {
    {L"", DUMP_TYPE_ITEM_NOT_GIVEN},
    {L"Mini dump (smaller file, less helpful for debugging)", DUMP_TYPE_MINI},
    {L"Full dump (larger file, more helpful for debugging)", DUMP_TYPE_FULL},
    {L"Custom dump (choose what it holds)", DUMP_TYPE_CUSTOM},
};

bool IsListedDumpType(DWORD code)
{
    return code == DUMP_TYPE_MINI || code == DUMP_TYPE_FULL || code == DUMP_TYPE_CUSTOM;
}

std::wstring ControlText(HWND control)
{
    return CWindowRef(control).GetText();
}

void SetControlText(HWND control, const std::wstring& text)
{
    CWindowRef(control).SetText(text);
}

std::wstring CountText(LONG count)
{
    return FormatText(L"%d", static_cast<int>(count));
}

void SetCheck(HWND checkBox, bool checked)
{
    ::SendMessageW(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Selects the first item whose data is the given code; false when there is none.
bool SelectItemWithData(HWND combo, DWORD code)
{
    const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        const LRESULT data = ::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
        if (data == CB_ERR || static_cast<DWORD>(data) != code)
            continue;
        return ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != CB_ERR;
    }
    return false;
}

} // namespace

void DumpSettingsPanel::InitPanel()
{
    LimitTexts();
    SetUpCountSpinner();
    AddDumpTypeItems();
}

void DumpSettingsPanel::LimitTexts()
{
    ::SendMessageW(Control(IDC_EDIT_DUMP_FOLDER), EM_LIMITTEXT, FOLDER_TEXT_LIMIT, 0);
    ::SendMessageW(Control(IDC_EDIT_DUMP_COUNT), EM_LIMITTEXT, COUNT_TEXT_LIMIT, 0);
}

void DumpSettingsPanel::SetUpCountSpinner()
{
    const HWND spinner = Control(IDC_SPIN_DUMP_COUNT);
    ::SendMessageW(spinner, UDM_SETRANGE32, COUNT_SPINNER_MIN, COUNT_SPINNER_MAX);
    ::SendMessageW(spinner, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Control(IDC_EDIT_DUMP_COUNT)), 0);
}

void DumpSettingsPanel::AddDumpTypeItems()
{
    const HWND combo = Control(IDC_COMBO_DUMP_TYPE);
    for (const DumpTypeItem& item : DUMP_TYPE_ITEMS) {
        const LRESULT index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text));
        if (index >= 0)
            ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(item.code));
    }
    UpdateContentsButton();
}

void DumpSettingsPanel::KeepUnlistedDumpType(const DumpSettings& settings)
{
    m_hasKeptDumpType = settings.hasDumpType && !IsListedDumpType(settings.dumpType);
    m_keptDumpType = settings.dumpType;
}

void DumpSettingsPanel::KeepCustomDumpFlags(const DumpSettings& settings)
{
    m_hasCustomDumpFlags = settings.hasCustomDumpFlags != FALSE;
    m_customDumpFlags = settings.customDumpFlags;
}

void DumpSettingsPanel::UpdateContentsButton() const
{
    DWORD code = DUMP_TYPE_ITEM_NOT_GIVEN;
    const bool custom = GetSelectedDumpType(code) && code == DUMP_TYPE_CUSTOM;
    ::EnableWindow(Control(IDC_BTN_DUMP_CONTENTS), custom ? TRUE : FALSE);
}

void DumpSettingsPanel::OnDumpTypeChosen()
{
    m_hasKeptDumpType = false;
    UpdateContentsButton();
}

void DumpSettingsPanel::EditCustomDumpFlags()
{
    const DWORD shown = m_hasCustomDumpFlags ? m_customDumpFlags : DEFAULT_CUSTOM_DUMP_FLAGS;
    CCustomDumpDlg dialog(shown, m_hasCustomDumpFlags, m_dialog);
    if (dialog.DoModal() == IDOK)
        TakeCustomDumpFlags(dialog.Flags());
}

void DumpSettingsPanel::TakeCustomDumpFlags(DWORD flags)
{
    // Windows' default stays unstored as long as the user keeps it.
    const DWORD shown = m_hasCustomDumpFlags ? m_customDumpFlags : DEFAULT_CUSTOM_DUMP_FLAGS;
    if (flags == shown)
        return;
    m_hasCustomDumpFlags = true;
    m_customDumpFlags = flags;
}

void DumpSettingsPanel::ShowSettings(const DumpSettings& settings)
{
    KeepUnlistedDumpType(settings);
    KeepCustomDumpFlags(settings);
    if (settings.hasFolder)
        SetControlText(Control(IDC_EDIT_DUMP_FOLDER), settings.folder);
    SetCheck(Control(IDC_CHECK_SET_ACL), settings.setAcl != FALSE);
    if (settings.hasDumpType && settings.dumpType != NO_DUMP_TYPE)
        SelectDumpType(settings.dumpType);
    if (settings.hasDumpCount)
        SetControlText(Control(IDC_EDIT_DUMP_COUNT), CountText(settings.dumpCount));
    UpdateContentsButton();
}

void DumpSettingsPanel::ShowStoredSettings(const DumpSettings& settings)
{
    SetControlText(Control(IDC_EDIT_DUMP_FOLDER), settings.hasFolder ? settings.folder : std::wstring());
    KeepUnlistedDumpType(settings);
    KeepCustomDumpFlags(settings);

    // A type the list does not offer and a missing value show the empty item.
    const DWORD code = settings.hasDumpType ? settings.dumpType : DUMP_TYPE_ITEM_NOT_GIVEN;
    if (!IsListedDumpType(code) || !SelectDumpType(code))
        SelectItemWithData(Control(IDC_COMBO_DUMP_TYPE), DUMP_TYPE_ITEM_NOT_GIVEN);

    SetControlText(Control(IDC_EDIT_DUMP_COUNT),
                   settings.hasDumpCount ? CountText(settings.dumpCount) : std::wstring());
    UpdateContentsButton();
}

DWORD DumpSettingsPanel::ReadSettings(DumpSettings& settings) const
{
    DWORD flags = 0;

    settings.folder = TrimWhitespace(ControlText(Control(IDC_EDIT_DUMP_FOLDER)));
    settings.hasFolder = !settings.folder.empty();

    settings.setAcl = ::SendMessageW(Control(IDC_CHECK_SET_ACL), BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (CheckDumpFolder(settings.folder, settings.setAcl != FALSE) != DumpFolderCheck::Valid)
        flags |= PANEL_ERR_DUMP_FOLDER;

    DWORD code = 0;
    if (!GetSelectedDumpType(code))
        flags |= PANEL_ERR_DUMP_TYPE;
    settings.hasDumpType = IsListedDumpType(code) && !(flags & PANEL_ERR_DUMP_TYPE);
    settings.dumpType = code == DUMP_TYPE_ITEM_NOT_GIVEN ? 0 : code;
    if (m_hasKeptDumpType && !(flags & PANEL_ERR_DUMP_TYPE)) {
        settings.hasDumpType = TRUE;
        settings.dumpType = m_keptDumpType;
    }
    // Carried whatever the type: they are written only for a custom dump.
    settings.hasCustomDumpFlags = m_hasCustomDumpFlags ? TRUE : FALSE;
    settings.customDumpFlags = m_customDumpFlags;

    const std::wstring countText = TrimWhitespace(ControlText(Control(IDC_EDIT_DUMP_COUNT)));
    if (countText.empty()) {
        settings.hasDumpCount = FALSE;
        settings.dumpCount = 0;
    } else {
        LONG count = 0;
        settings.hasDumpCount = ParseDumpCount(countText, count);
        settings.dumpCount = count;
        if (!settings.hasDumpCount)
            flags |= PANEL_ERR_DUMP_COUNT;
    }
    return flags;
}

bool DumpSettingsPanel::ReportReadErrors(DWORD flags) const
{
    int control = 0;
    std::wstring message;
    if (flags & PANEL_ERR_DUMP_FOLDER) {
        DumpSettings settings;
        ReadSettings(settings);
        control = IDC_EDIT_DUMP_FOLDER;
        message = DumpFolderMessage(settings.folder, settings.setAcl != FALSE);
    } else if (flags & PANEL_ERR_DUMP_TYPE) {
        control = IDC_COMBO_DUMP_TYPE;
        message = PANEL_MSG_DUMP_TYPE_INVALID;
    } else if (flags & PANEL_ERR_DUMP_COUNT) {
        control = IDC_EDIT_DUMP_COUNT;
        message = PANEL_MSG_DUMP_COUNT_INVALID;
    } else {
        return !ConfirmFolderOwner();
    }
    // The dialog's own way to move the focus, so that the default button follows along.
    ::SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(control)), TRUE);
    AppMessageBox(message, MB_OK | MB_ICONERROR);
    return true;
}

bool DumpSettingsPanel::ConfirmFolderOwner() const
{
    DumpSettings settings;
    ReadSettings(settings);
    const std::wstring owner = FolderOwnerToConfirm(settings.folder, settings.setAcl != FALSE);
    if (owner.empty())
        return true;
    const std::wstring text =
        FormatText(PANEL_MSG_FOLDER_FOREIGN_OWNER, DumpFolderOnDisk(settings.folder).c_str(), owner.c_str());
    if (AppMessageBox(text, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES)
        return true;
    ::SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(IDC_EDIT_DUMP_FOLDER)), TRUE);
    return false;
}

void DumpSettingsPanel::ClearSettings()
{
    SetControlText(Control(IDC_EDIT_DUMP_FOLDER), std::wstring());
    SetCheck(Control(IDC_CHECK_SET_ACL), false);
    m_hasKeptDumpType = false;
    if (const HWND combo = Control(IDC_COMBO_DUMP_TYPE))
        SelectItemWithData(combo, DUMP_TYPE_ITEM_NOT_GIVEN);
    SetControlText(Control(IDC_EDIT_DUMP_COUNT), std::wstring());
    UpdateContentsButton();
}

void DumpSettingsPanel::SetSuggestedSettings()
{
    const SuggestedSettings suggested = ReadSuggestedSettings();
    SetControlText(Control(IDC_EDIT_DUMP_FOLDER), suggested.folder);
    SetCheck(Control(IDC_CHECK_SET_ACL), suggested.setAcl != 0);
    if (static_cast<DWORD>(suggested.dumpType) != NO_DUMP_TYPE && SelectDumpType(static_cast<DWORD>(suggested.dumpType)))
        m_hasKeptDumpType = false;
    SetControlText(Control(IDC_EDIT_DUMP_COUNT), CountText(suggested.dumpCount));
    UpdateContentsButton();
}

void DumpSettingsPanel::BrowseForDumpFolder()
{
    std::wstring path;
    ExpandEnvStrings(ControlText(Control(IDC_EDIT_DUMP_FOLDER)), path);
    if (PickFolder(m_dialog, path) == 1)
        SetControlText(Control(IDC_EDIT_DUMP_FOLDER), path);
}

bool DumpSettingsPanel::GetSelectedDumpType(DWORD& code) const
{
    code = DUMP_TYPE_ITEM_NOT_GIVEN;
    const HWND combo = Control(IDC_COMBO_DUMP_TYPE);
    if (!combo)
        return false;
    const LRESULT selection = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR)
        return true;
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    if (selection < 0 || selection >= count)
        return false;
    const LRESULT data = ::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(selection), 0);
    if (data == CB_ERR) {
        code = NO_DUMP_TYPE;
        return false;
    }
    code = static_cast<DWORD>(data);
    return true;
}

bool DumpSettingsPanel::SelectDumpType(DWORD code)
{
    return SelectItemWithData(Control(IDC_COMBO_DUMP_TYPE), code);
}
