// The About box.
#include "ui/common/about_dlg.h"

#include <commctrl.h>

#include "app/platform_values.h"
#include "app/web_pages.h"
#include "model/text_utils.h"
#include "res/resource.h"

namespace {

// The first year of the program; the copyright line runs from it to the current year.
const int FIRST_YEAR = 2017;

} // namespace

CAboutDlg::CAboutDlg() : CDraggableDialog(IDD_ABOUTBOX)
{
}

const wchar_t* CAboutDlg::BitnessText(int bitness)
{
    switch (bitness) {
    case 0:
        return L"32-bit OS";
    case 1:
        return L"64-bit OS";
    default:
        return L"Unknown bitness OS";
    }
}

std::wstring CAboutDlg::YearText(int year)
{
    // A clock that cannot be read as a calendar date gives no year: the line then names the
    // first year alone rather than a negative number.
    if (year < 0)
        year = FIRST_YEAR;
    if (year <= FIRST_YEAR)
        return FormatText(L"%04u", static_cast<unsigned>(year));
    return FormatText(L"2017-%04u", static_cast<unsigned>(year));
}

std::wstring CAboutDlg::CopyrightText(int year)
{
    return L"Copyright (c) " + YearText(year) + L" " MAKER_HOST_NAME;
}

int CAboutDlg::CurrentLocalYear()
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return now.wYear != 0 ? static_cast<int>(now.wYear) : -1;
}

BOOL CAboutDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();

    ::SetDlgItemTextW(m_hWnd, IDC_STATIC_PRODUCT,
                      FormatText(L"Kestrune\t(%s)", BitnessText(g_osBitness)).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_STATIC_VERSION, FormatText(L"Version: %s", KESTRUNE_VERSION).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_STATIC_COPYRIGHT, CopyrightText(CurrentLocalYear()).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_LINK_WEBSITE, L"<a>" MAKER_HOST_NAME L"</a>");
    return TRUE;
}

const RouteTable& CAboutDlg::Routes() const
{
    static const RouteTable routes = {
        NotifyRoute(NM_CLICK, IDC_LINK_WEBSITE, &CAboutDlg::OnLinkClick),
        NotifyRoute(NM_RETURN, IDC_LINK_WEBSITE, &CAboutDlg::OnLinkClick),
        MessageRoute(WM_HELP, &CAboutDlg::OnHelp),
    };
    return routes;
}

LRESULT CAboutDlg::OnLinkClick(NMHDR*)
{
    if (!OpenUrl(m_hWnd, PAGE_SOFTWARE))
        ::MessageBeep(MB_ICONERROR);
    return 0;
}

LRESULT CAboutDlg::OnHelp(WPARAM, LPARAM, bool&)
{
    ForwardHelpToMainWindow();
    return TRUE;
}

void ShowAboutBox()
{
    CAboutDlg about;
    about.DoModal();
}
