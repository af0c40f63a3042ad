// The main window's commands and messages that hand over to other parts: the panel, the About
// box, the web pages, the unsupported-platform notice and the command update of the menu bar.
#include "ui/main/kestrune_dlg.h"

#include "app/web_pages.h"
#include "framework/message_box.h"
#include "model/text_utils.h"
#include "res/resource.h"
#include "ui/common/about_dlg.h"

LRESULT CKestruneDlg::OnTimer(WPARAM wParam, LPARAM, bool& handled)
{
    if (wParam == TIMER_UNSUPPORTED_NOTICE) {
        ::KillTimer(m_hWnd, TIMER_UNSUPPORTED_NOTICE);
        AppMessageBox(L"Windows Error Reporting is not supported on your Operating System", MB_ICONERROR);
    }
    handled = false;
    return 0;
}

LRESULT CKestruneDlg::OnSysCommand(WPARAM wParam, LPARAM, bool& handled)
{
    if ((wParam & 0xFFF0) == ID_SYSMENU_ABOUT)
        ShowAboutBox();
    else
        handled = false;
    return 0;
}

LRESULT CKestruneDlg::OnInitMenuPopup(WPARAM wParam, LPARAM lParam, bool&)
{
    DefaultProcessing(WM_INITMENUPOPUP, wParam, lParam);
    const HMENU popup = reinterpret_cast<HMENU>(wParam);
    if (!popup || HIWORD(lParam))
        return 0;
    RunCommandUpdate(popup);
    return 0;
}

void CKestruneDlg::OnUpdateAddProgram(CommandState& state)
{
    state.Enable((UpdateListButtons(true) & LIST_CAN_ADD) != 0);
}

void CKestruneDlg::OnUpdateEditProgram(CommandState& state)
{
    state.Enable((UpdateListButtons(true) & LIST_CAN_EDIT) != 0);
}

void CKestruneDlg::OnUpdateDeleteProgram(CommandState& state)
{
    state.Enable((UpdateListButtons(true) & LIST_CAN_DELETE) != 0);
}

LRESULT CKestruneDlg::OnFindProcessMessage(WPARAM wParam, LPARAM lParam, bool&)
{
    return OnFindProcess(reinterpret_cast<const wchar_t*>(wParam), static_cast<int>(lParam));
}

void CKestruneDlg::OnCloseCommand()
{
    // Arrives as a cancel request, so the exit confirmation runs.
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CKestruneDlg::OnBrowseFolder()
{
    m_panel.BrowseForDumpFolder();
}

void CKestruneDlg::OnClearGlobalSettings()
{
    m_panel.ClearSettings();
    m_clearChosen = true;
}

void CKestruneDlg::OnSuggestedGlobalSettings()
{
    m_panel.SetSuggestedSettings();
}

void CKestruneDlg::OnRefresh()
{
    RefreshFromRegistry();
}

void CKestruneDlg::OnAbout()
{
    ShowAboutBox();
}

void CKestruneDlg::OnEditProgramCommand()
{
    EditProgram(true);
}

LRESULT CKestruneDlg::OnIntroLink(NMHDR* header)
{
    const auto* link = reinterpret_cast<const NMLINK*>(header);
    const wchar_t* page = nullptr;
    if (link->item.iLink == 0)
        page = PAGE_MINIDUMP_DOCS;
    else if (link->item.iLink == 1)
        page = PAGE_CRASH_VIDEO;
    if (page && !OpenUrl(m_hWnd, page)) {
        const int error = static_cast<int>(::GetLastError());
        AppMessageBox(FormatText(L"ERROR: (%d) Failed to open web page:\n\n%s", error, page), MB_ICONERROR);
    }
    return 0;
}

LRESULT CKestruneDlg::OnHelp(WPARAM, LPARAM, bool&)
{
    OpenProgramInfoPage(m_hWnd);
    return TRUE;
}

void CKestruneDlg::OnTechnicalDetails()
{
    if (!OpenUrl(m_hWnd, PAGE_LOCALDUMPS_DOCS))
        ::MessageBeep(MB_ICONERROR);
}

void CKestruneDlg::OnDonation()
{
    if (!OpenUrl(m_hWnd, PAGE_DONATION))
        ::MessageBeep(MB_ICONERROR);
}

LRESULT CKestruneDlg::OnDumpTypeChosen(NMHDR*)
{
    m_panel.OnDumpTypeChosen();
    return 0;
}

void CKestruneDlg::OnDumpContents()
{
    m_panel.EditCustomDumpFlags();
}
