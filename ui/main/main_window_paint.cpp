// The main window's look: the warning icon beside the run-as-administrator notice, the icon of the
// minimized window and the colours of the explanatory texts.
#include "ui/main/kestrune_dlg.h"

#include "app/optional_apis.h"
#include "app/platform_values.h"
#include "res/resource.h"
#include "ui/main/main_window_paint.h"

HICON LoadSmallWarningIcon(bool& owned)
{
    const int width = ::GetSystemMetrics(SM_CXSMICON);
    const int height = ::GetSystemMetrics(SM_CYSMICON);
    HICON icon = nullptr;
    owned = g_pfnLoadIconWithScaleDown != nullptr;
    if (g_pfnLoadIconWithScaleDown) {
        g_pfnLoadIconWithScaleDown(nullptr, IDI_WARNING, width, height, &icon);
        return icon;
    }
    return static_cast<HICON>(::LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, width, height, LR_SHARED));
}

LRESULT CKestruneDlg::OnPaint(WPARAM, LPARAM, bool&)
{
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(m_hWnd, &paint);

    if (!m_canSave && !g_notSupported) {
        RECT place = {};
        ::GetWindowRect(GetDlgItem(IDC_STATIC_WARNING_PLACE), &place);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        const int width = ::GetSystemMetrics(SM_CXSMICON);
        const int height = ::GetSystemMetrics(SM_CYSMICON);
        const int centreX = place.left + (place.right - place.left) / 2;
        const int centreY = place.top + (place.bottom - place.top) / 2;
        ::DrawIconEx(dc, centreX - width / 2, centreY - height / 2, m_hWarningIcon, width, height, 0,
                     ::GetSysColorBrush(COLOR_3DFACE), DI_NORMAL);
    }

    if (::IsIconic(m_hWnd)) {
        ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        const int iconWidth = ::GetSystemMetrics(SM_CXICON);
        const int iconHeight = ::GetSystemMetrics(SM_CYICON);
        RECT client = {};
        ::GetClientRect(m_hWnd, &client);
        const int x = (client.right - client.left - iconWidth + 1) / 2;
        const int y = (client.bottom - client.top - iconHeight + 1) / 2;
        ::DrawIcon(dc, x, y, m_hIcon);
    }
    // Everything else of the dialog is drawn by its controls and the background erasure.

    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT CKestruneDlg::OnQueryDragIcon(WPARAM, LPARAM, bool&)
{
    return reinterpret_cast<LRESULT>(m_hIcon);
}

LRESULT CKestruneDlg::OnCtlColorStatic(WPARAM wParam, LPARAM lParam, bool&)
{
    // The brush stays the one the default processing chose; only the text colour changes.
    const LRESULT brush = DefaultProcessing(WM_CTLCOLORSTATIC, wParam, lParam);
    const HDC dc = reinterpret_cast<HDC>(wParam);
    switch (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) {
    case IDC_LINK_INTRO:
    case IDC_LINK_NOTE:
    case IDC_STATIC_EXPLANATION:
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DDKSHADOW));
        break;
    case IDC_STATIC_ADMIN_NOTICE:
        ::SetTextColor(dc, RGB(192, 0, 0));
        break;
    default:
        break;
    }
    return brush;
}
