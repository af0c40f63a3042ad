// File > Export...: the stored configuration as a registry file for other machines.
#include "ui/main/kestrune_dlg.h"

#include "framework/file_open_dialog.h"
#include "framework/message_box.h"
#include "framework/wait_cursor.h"
#include "model/configuration_export.h"

namespace {

const wchar_t* const EXPORT_FILTER = L"Registry files (*.reg)|*.reg|All files (*.*)|*.*|";
const wchar_t* const EXPORT_FILE_NAME = L"LocalDumps.reg";
const wchar_t* const SAVE_FIRST_QUESTION =
    L"The export writes the configuration as it is stored, without your unsaved changes.\n\n"
    L"Do you want to save your changes and export the saved configuration?\n\n"
    L"Yes saves them first. No exports the stored configuration and keeps your changes unsaved.";

} // namespace

bool CKestruneDlg::SaveBeforeExport()
{
    if (!HasUnsavedChanges())
        return true;
    // No exports what is stored and keeps the edits (a user without the rights to save still gets
    // the file); only Cancel stops.
    const int answer = AppMessageBox(SAVE_FIRST_QUESTION, MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
    if (answer != IDYES)
        return answer == IDNO;
    if (!SaveChanges())
        return false;
    // The window stays open on what was saved, which is now the state to compare edits with.
    RefreshFromRegistry();
    m_entryCountAtLoad = static_cast<LONG>(m_entries.size());
    m_panel.ReadSettings(m_globalAtLoad);
    return true;
}

bool CKestruneDlg::ExportStoredConfiguration(const std::wstring& path)
{
    std::wstring errorText;
    bool exported = false;
    {
        CWaitCursor wait;
        exported = ExportConfiguration(path, errorText);
    }
    if (!exported)
        AppMessageBox(errorText, MB_ICONERROR);
    return exported;
}

void CKestruneDlg::OnExport()
{
    if (!SaveBeforeExport())
        return;
    CFileOpenDialog dialog(FALSE, L"reg", EXPORT_FILE_NAME, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                           EXPORT_FILTER, m_hWnd);
    if (dialog.DoModal() == IDOK)
        ExportStoredConfiguration(dialog.GetPathName());
}
