// The main window: construction, initialisation, the routing table, the keyboard and drag hooks,
// and clean-up.
#include "ui/main/kestrune_dlg.h"

#include "app/platform_values.h"
#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "res/resource.h"
#include "ui/common/app_messages.h"
#include "ui/common/label_fit.h"
#include "ui/main/main_window_fit.h"
#include "ui/main/main_window_paint.h"

namespace {

// The window property that leads from the window handle back to its object, for the timer callback.
const wchar_t* const OBJECT_PROP = L"Kestrune.MainWindow";

} // namespace

CKestruneDlg::CKestruneDlg()
    : CDraggableDialog(IDD_KESTRUNE_DIALOG),
      m_hIcon(::LoadIconW(Sys().GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)))
{
    m_hWarningIcon = LoadSmallWarningIcon(m_warningIconOwned);
}

CKestruneDlg::~CKestruneDlg()
{
    // A window still open is destroyed while this object is whole, so that its WM_DESTROY
    // clean-up runs; the icon of a window that never opened goes here.
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    ReleaseWarningIcon();
}

void CKestruneDlg::ReleaseWarningIcon()
{
    if (m_hWarningIcon && m_warningIconOwned)
        ::DestroyIcon(m_hWarningIcon);
    m_hWarningIcon = nullptr;
}

void CKestruneDlg::DoDataExchange()
{
    m_editFolder.Bind(*this, IDC_EDIT_DUMP_FOLDER);
    m_checkSetAcl.Bind(*this, IDC_CHECK_SET_ACL);
    m_comboDumpType.Bind(*this, IDC_COMBO_DUMP_TYPE);
    m_editDumpCount.Bind(*this, IDC_EDIT_DUMP_COUNT);
    m_list.Bind(*this, IDC_LIST_PROGRAMS);
}

const RouteTable& CKestruneDlg::Routes() const
{
    static const RouteTable routes = {
        // Window behaviour
        MessageRoute(WM_SYSCOMMAND, &CKestruneDlg::OnSysCommand),
        MessageRoute(WM_PAINT, &CKestruneDlg::OnPaint),
        MessageRoute(WM_QUERYDRAGICON, &CKestruneDlg::OnQueryDragIcon),
        // The coloured texts are statics and link controls, which ask with WM_CTLCOLORSTATIC; the
        // rest of the colour family keeps the default colours.
        MessageRoute(WM_CTLCOLORSTATIC, &CKestruneDlg::OnCtlColorStatic),
        NotifyRoute(NM_CLICK, IDC_LINK_INTRO, &CKestruneDlg::OnIntroLink),
        NotifyRoute(NM_RETURN, IDC_LINK_INTRO, &CKestruneDlg::OnIntroLink),
        MessageRoute(WM_HELP, &CKestruneDlg::OnHelp),
        // Global settings
        CommandRoute(IDC_BTN_BROWSE_FOLDER, &CKestruneDlg::OnBrowseFolder),
        CommandRoute(ID_EDIT_CLEAR_GLOBAL, &CKestruneDlg::OnClearGlobalSettings),
        CommandRoute(ID_EDIT_SUGGESTED_GLOBAL, &CKestruneDlg::OnSuggestedGlobalSettings),
        NotifyRoute(CBN_SELCHANGE, IDC_COMBO_DUMP_TYPE, &CKestruneDlg::OnDumpTypeChosen),
        NotifyRoute(CBN_SELENDOK, IDC_COMBO_DUMP_TYPE, &CKestruneDlg::OnDumpTypeChosen),
        CommandRoute(IDC_BTN_DUMP_CONTENTS, &CKestruneDlg::OnDumpContents),
        // Save, exit, refresh
        CommandRoute(ID_FILE_SAVE_AND_EXIT, &CKestruneDlg::OnSaveAndExit),
        CommandRoute(IDOK, &CKestruneDlg::OnSaveAndExit),
        CommandRoute(ID_FILE_EXIT, &CKestruneDlg::OnCloseCommand),
        CommandRoute(ID_FILE_EXPORT, &CKestruneDlg::OnExport),
        CommandRoute(IDCANCEL, &CKestruneDlg::OnCancel),
        CommandRoute(ID_HELP_ABOUT, &CKestruneDlg::OnAbout),
        MessageRoute(WM_TIMER, &CKestruneDlg::OnTimer),
        CommandRoute(ID_EDIT_REFRESH, &CKestruneDlg::OnRefresh),
        // Program list
        NotifyRoute(LVN_ITEMCHANGED, IDC_LIST_PROGRAMS, &CKestruneDlg::OnListItemChanged),
        MessageRoute(WM_INITMENUPOPUP, &CKestruneDlg::OnInitMenuPopup),
        UpdateRoute(ID_EDIT_ADD_PROGRAM, &CKestruneDlg::OnUpdateAddProgram),
        UpdateRoute(ID_EDIT_EDIT_PROGRAM, &CKestruneDlg::OnUpdateEditProgram),
        UpdateRoute(ID_EDIT_DELETE_PROGRAM, &CKestruneDlg::OnUpdateDeleteProgram),
        CommandRoute(IDC_BTN_ADD_PROGRAM, &CKestruneDlg::AddProgram),
        CommandRoute(ID_EDIT_ADD_PROGRAM, &CKestruneDlg::AddProgram),
        CommandRoute(ID_EDIT_EDIT_PROGRAM, &CKestruneDlg::OnEditProgramCommand),
        CommandRoute(IDC_BTN_EDIT_PROGRAM, &CKestruneDlg::OnEditProgramCommand),
        NotifyRoute(NM_DBLCLK, IDC_LIST_PROGRAMS, &CKestruneDlg::OnListDoubleClick),
        CommandRoute(IDC_BTN_DELETE_PROGRAM, &CKestruneDlg::DeletePrograms),
        CommandRoute(ID_EDIT_DELETE_PROGRAM, &CKestruneDlg::DeletePrograms),
        MessageRoute(WM_APP_FINDPROCESS, &CKestruneDlg::OnFindProcessMessage),
        MessageRoute(WM_APP_LOAD_INCOMPLETE, &CKestruneDlg::OnLoadIncomplete),
        NotifyRoute(NM_RCLICK, IDC_LIST_PROGRAMS, &CKestruneDlg::OnListRightClick),
        MessageRoute(WM_DESTROY, &CKestruneDlg::OnDestroy),
        // Help pages
        CommandRoute(ID_HELP_CHECK_DUMPS, &CKestruneDlg::ShowDumpCheck),
        NotifyRoute(NM_CLICK, IDC_LINK_DUMP_STATUS, &CKestruneDlg::OnDumpStatusLink),
        NotifyRoute(NM_RETURN, IDC_LINK_DUMP_STATUS, &CKestruneDlg::OnDumpStatusLink),
        CommandRoute(ID_HELP_TECHNICAL_DETAILS, &CKestruneDlg::OnTechnicalDetails),
        CommandRoute(ID_HELP_DONATION, &CKestruneDlg::OnDonation),
    };
    return routes;
}

CKestruneDlg* CKestruneDlg::FromWindow(HWND window)
{
    return static_cast<CKestruneDlg*>(::GetPropW(window, OBJECT_PROP));
}

BOOL CKestruneDlg::PreTranslateMessage(MSG* msg)
{
    // F5 and Ctrl+N work whichever control has the focus.
    if (m_hAccel && ::TranslateAcceleratorW(m_hWnd, m_hAccel, msg))
        return TRUE;
    return CModalDialog::PreTranslateMessage(msg);
}

BOOL CKestruneDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    m_panel.Attach(m_hWnd);
    ::SetPropW(m_hWnd, OBJECT_PROP, this);

    AppendAboutToSystemMenu();
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_panel.LimitTexts();
    m_panel.SetUpCountSpinner();
    m_hAccel = ::LoadAcceleratorsW(Sys().GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_ACCEL));
    ProbeWriteAccess();
    m_panel.AddDumpTypeItems();
    InitProgramList();
    FitWindowToWorkArea(m_hWnd, m_list.GetSafeHwnd(), LIST_MINIMUM_ROWS);
    WidenClippedLabels(m_hWnd);
    m_checkSetAcl.SetCheck(BST_CHECKED);

    LoadFromRegistry();

    // The baseline of the unsaved-change rule: what the window showed right after opening.
    m_entryCountAtLoad = static_cast<LONG>(m_entries.size());
    m_panel.ReadSettings(m_globalAtLoad);

    if (g_notSupported)
        EnterReadOnlyMode();

    m_editFolder.SetFocus();
    return FALSE;
}

void CKestruneDlg::AppendAboutToSystemMenu()
{
    const HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
    wchar_t text[256] = {};
    if (!systemMenu || ::LoadStringW(Sys().GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 256) <= 0)
        return;
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, ID_SYSMENU_ABOUT, text);
}

void CKestruneDlg::ProbeWriteAccess()
{
    unique_hkey key;
    const HWND notice = GetDlgItem(IDC_STATIC_ADMIN_NOTICE);
    if (Sys().RegOpenKeyExW(HKEY_LOCAL_MACHINE, WER_KEY_PATH, 0, ReadWriteAccess(), key.put()) == ERROR_SUCCESS) {
        m_canSave = true;
        key.reset();
        ::ShowWindow(notice, SW_HIDE);
    } else if (g_notSupported) {
        ::ShowWindow(notice, SW_HIDE);
    }
}

void CKestruneDlg::EnterReadOnlyMode()
{
    UpdateSaveCommands();
    ::SetTimer(m_hWnd, TIMER_UNSUPPORTED_NOTICE, 500, nullptr);
}

void CKestruneDlg::UpdateSaveCommands()
{
    const bool allowed = !g_notSupported && LoadComplete();
    ::EnableWindow(GetDlgItem(IDOK), allowed ? TRUE : FALSE);
    ::EnableMenuItem(::GetMenu(m_hWnd), ID_FILE_SAVE_AND_EXIT, MF_BYCOMMAND | (allowed ? MF_ENABLED : MF_GRAYED));
}

LRESULT CKestruneDlg::OnDestroy(WPARAM wParam, LPARAM lParam, bool&)
{
    DefaultProcessing(WM_DESTROY, wParam, lParam);
    ::KillTimer(m_hWnd, TIMER_SELECTION_CHANGED);
    m_selectionTimerPending = false;
    ::RemovePropW(m_hWnd, OBJECT_PROP);
    ReleaseWarningIcon();
    return 0;
}
