#include "ui/settings/add_edit_prog_dlg.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "app/web_pages.h"
#include "framework/app_object.h"
#include "framework/file_open_dialog.h"
#include "framework/message_box.h"
#include "model/text_utils.h"
#include "res/resource.h"
#include "ui/common/app_messages.h"
#include "ui/common/label_fit.h"
#include "ui/settings/process_name_rules.h"

namespace {

const int PROCESS_NAME_LIMIT = 260;

const wchar_t* const CAPTION_ADD = L"Add Crash Dump Settings For Specific Program";
const wchar_t* const CAPTION_EDIT = L"Edit Crash Dump Settings For Specific Program";
const wchar_t* const OK_TEXT_ADD = L"Add";
const wchar_t* const OK_TEXT_EDIT = L"OK";

const wchar_t* const EXECUTABLE_FILTER = L"Executables (*.exe)|*.exe|All files (*.*)|*.*|";

} // namespace

CAddEditProgDlg::CAddEditProgDlg(int row, ProgramEntry* entry, HWND parent)
    : CDraggableDialog(IDD_ADDEDIT_PROG, parent),
      m_row(row),
      m_addMode(row == -1 ? TRUE : FALSE),
      m_entry(entry)
{
}

CAddEditProgDlg::~CAddEditProgDlg()
{
    // m_hExeIcon destroys the icon it holds.
}

const RouteTable& CAddEditProgDlg::Routes() const
{
    static const RouteTable routes = {
        MessageRoute(WM_HELP, &CAddEditProgDlg::OnHelp),
        CommandRoute(IDC_BTN_BROWSE_EXE, &CAddEditProgDlg::OnBrowseExecutable),
        CommandRoute(IDC_BTN_BROWSE_FOLDER, &CAddEditProgDlg::OnBrowseFolder),
        NotifyRoute(CBN_SELCHANGE, IDC_COMBO_DUMP_TYPE, &CAddEditProgDlg::OnDumpTypeChosen),
        NotifyRoute(CBN_SELENDOK, IDC_COMBO_DUMP_TYPE, &CAddEditProgDlg::OnDumpTypeChosen),
        CommandRoute(IDC_BTN_DUMP_CONTENTS, &CAddEditProgDlg::OnDumpContents),
        MessageRoute(WM_CTLCOLORSTATIC, &CAddEditProgDlg::OnCtlColorStatic),
        CommandRoute(ID_PROG_CLEAR_SETTINGS, &CAddEditProgDlg::OnClearSettings),
        CommandRoute(ID_PROG_SUGGESTED_SETTINGS, &CAddEditProgDlg::OnSuggestedSettings),
        CommandRoute(ID_PROG_SAVE_AND_CLOSE, &CAddEditProgDlg::OnSaveAndClose),
        CommandRoute(ID_PROG_CLOSE, &CAddEditProgDlg::OnCloseCommand),
        CommandRoute(IDOK, &CAddEditProgDlg::OnOkButton),
        CommandRoute(ID_PROG_TECHNICAL_DETAILS, &CAddEditProgDlg::OnTechnicalDetails),
    };
    return routes;
}

void CAddEditProgDlg::DoDataExchange()
{
    m_editProcessName.Bind(*this, IDC_EDIT_PROCESS_NAME);
    m_editFolder.Bind(*this, IDC_EDIT_DUMP_FOLDER);
    m_checkSetAcl.Bind(*this, IDC_CHECK_SET_ACL);
    m_comboDumpType.Bind(*this, IDC_COMBO_DUMP_TYPE);
    m_editDumpCount.Bind(*this, IDC_EDIT_DUMP_COUNT);
    m_panel.Attach(m_hWnd);
}

BOOL CAddEditProgDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();

    ShowExeIcon();

    m_panel.InitPanel();
    m_editProcessName.LimitText(PROCESS_NAME_LIMIT);
    WidenClippedLabels(m_hWnd);

    if (m_addMode) {
        ::SetDlgItemTextW(m_hWnd, IDOK, OK_TEXT_ADD);
        ::SetWindowTextW(m_hWnd, CAPTION_ADD);
        m_checkSetAcl.SetCheck(BST_CHECKED);
    } else {
        ::SetDlgItemTextW(m_hWnd, IDOK, OK_TEXT_EDIT);
        ::SetWindowTextW(m_hWnd, CAPTION_EDIT);
        if (m_entry) {
            m_editProcessName.SetText(m_entry->processName);
            m_panel.ShowSettings(m_entry->settings);
        }
    }

    m_editProcessName.SetFocus();
    return FALSE;
}

// The shell's icon for any .exe file; no file needs to exist under that name.
void CAddEditProgDlg::ShowExeIcon()
{
    SHFILEINFOW info = {};
    if (::SHGetFileInfoW(L"file.exe", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                         SHGFI_ICON | SHGFI_USEFILEATTRIBUTES)) {
        m_hExeIcon.reset(info.hIcon);
    }
    if (m_hExeIcon) {
        ::SendDlgItemMessageW(m_hWnd, IDC_STATIC_EXE_ICON, STM_SETICON,
                              reinterpret_cast<WPARAM>(m_hExeIcon.get()), 0);
    }
}

void CAddEditProgDlg::ReportNameError(const std::wstring& message)
{
    m_editProcessName.SetFocus();
    AppMessageBox(message, MB_OK | MB_ICONERROR);
}

void CAddEditProgDlg::OnOkButton()
{
    const std::wstring name = TrimWhitespace(m_editProcessName.GetText());
    const ProcessNameCheck check = CheckProcessName(name);
    if (check != ProcessNameCheck::Valid) {
        ReportNameError(ProcessNameMessage(check));
        return;
    }

    DumpSettings settings;
    if (m_panel.ReportReadErrors(m_panel.ReadSettings(settings)))
        return;

    // The main window knows the other rows; it skips the one being edited.
    const CAppObject* app = CurrentApp();
    const HWND mainWindow = app ? app->MainWindow() : nullptr;
    if (mainWindow && ::SendMessageW(mainWindow, WM_APP_FINDPROCESS,
                                     reinterpret_cast<WPARAM>(name.c_str()),
                                     static_cast<LPARAM>(m_row)) != 0) {
        ReportNameError(FormatText(PROCESS_MSG_ALREADY_EXISTS, name.c_str()));
        return;
    }

    // Only now does the caller's entry change; the marks are the caller's business.
    if (m_entry) {
        m_entry->processName = name;
        m_entry->settings = settings;
    }
    CModalDialog::OnOK();
}

void CAddEditProgDlg::OnSaveAndClose()
{
    OnOkButton();
}

void CAddEditProgDlg::OnCloseCommand()
{
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CAddEditProgDlg::OnBrowseExecutable()
{
    CFileOpenDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                           EXECUTABLE_FILTER);
    dialog.m_ofn.Flags |= OFN_EXPLORER | OFN_FILEMUSTEXIST;
    dialog.m_ofn.Flags &= ~static_cast<DWORD>(OFN_ALLOWMULTISELECT);

    INT_PTR result = dialog.DoModal();
    if (result != IDOK && ::CommDlgExtendedError() != 0) {
        // An older common-dialog library refuses the newer structure: try its own size.
        dialog.m_ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
        dialog.m_ofn.Flags &= ~static_cast<DWORD>(OFN_ENABLESIZING);
        result = dialog.DoModal();
    }
    if (result != IDOK)
        return;

    const std::wstring path = dialog.GetPathName();
    m_editProcessName.SetText(::PathFindFileNameW(path.c_str()));
}

void CAddEditProgDlg::OnBrowseFolder()
{
    m_panel.BrowseForDumpFolder();
}

void CAddEditProgDlg::OnClearSettings()
{
    m_panel.ClearSettings();
}

void CAddEditProgDlg::OnSuggestedSettings()
{
    m_panel.SetSuggestedSettings();
}

LRESULT CAddEditProgDlg::OnDumpTypeChosen(NMHDR*)
{
    m_panel.OnDumpTypeChosen();
    return 0;
}

void CAddEditProgDlg::OnDumpContents()
{
    m_panel.EditCustomDumpFlags();
}

void CAddEditProgDlg::OnTechnicalDetails()
{
    if (!OpenUrl(m_hWnd, PAGE_LOCALDUMPS_DOCS))
        ::MessageBeep(MB_ICONERROR);
}

LRESULT CAddEditProgDlg::OnHelp(WPARAM, LPARAM, bool&)
{
    ForwardHelpToMainWindow();
    return TRUE;
}

// The two explanatory lines are drawn in a quieter grey; everything else keeps the defaults.
LRESULT CAddEditProgDlg::OnCtlColorStatic(WPARAM wParam, LPARAM lParam, bool& handled)
{
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    if (id != IDC_STATIC_CASE_NOTE && id != IDC_STATIC_OMITTED_INFO) {
        handled = false;
        return 0;
    }
    const LRESULT brush = DefaultProcessing(WM_CTLCOLORSTATIC, wParam, lParam);
    ::SetTextColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_3DDKSHADOW));
    return brush;
}
