// Command update of popup menus: WM_INITMENUPOPUP with real menus decides the state of the items
// that have an update line and leaves every other item as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/modal_dialog.h"
#include "tests/support/ui_dialog_template.h"
#include "tests/support/ui_test_dialog.h"

namespace {

const UINT ID_ADD = 32781;
const UINT ID_EDIT = 32782;
const UINT ID_DELETE = 32783;
const UINT ID_SAVE = 32774;    // no update line, starts grayed
const UINT ID_REFRESH = 32777; // no update line, starts enabled
const UINT ID_SUGGESTED = 32773;
const UINT ID_IN_SUBMENU = 32790;

class CUpdateProbe : public CTestDialog {
public:
    using CTestDialog::CTestDialog;
    bool m_canAdd = true;
    bool m_canEdit = true;
    bool m_canDelete = true;
    int m_updates = 0;

protected:
    static RouteTable UpdateLines()
    {
        return {
            UpdateRoute(ID_ADD, &CUpdateProbe::OnUpdateAdd),
            UpdateRoute(ID_EDIT, &CUpdateProbe::OnUpdateEdit),
            UpdateRoute(ID_DELETE, &CUpdateProbe::OnUpdateDelete),
            UpdateRoute(ID_SUGGESTED, &CUpdateProbe::OnUpdateSuggested),
            UpdateRoute(ID_IN_SUBMENU, &CUpdateProbe::OnUpdateAdd),
        };
    }

    const RouteTable& Routes() const override
    {
        static const RouteTable routes = UpdateLines();
        return routes;
    }

    void OnUpdateAdd(CommandState& state)
    {
        ++m_updates;
        state.Enable(m_canAdd);
    }
    void OnUpdateEdit(CommandState& state)
    {
        ++m_updates;
        state.Enable(m_canEdit);
    }
    void OnUpdateDelete(CommandState& state)
    {
        ++m_updates;
        state.Enable(m_canDelete);
    }
    void OnUpdateSuggested(CommandState& state)
    {
        ++m_updates;
        state.SetCheck(true);
    }
};

// Like the main window: its own WM_INITMENUPOPUP line runs the default processing first, skips
// the system menu and then asks for the command update.
class COwnPopupHandler : public CUpdateProbe {
public:
    using CUpdateProbe::CUpdateProbe;
    int m_popupMessages = 0;

protected:
    const RouteTable& Routes() const override
    {
        static const RouteTable routes = [] {
            RouteTable table = {MessageRoute(WM_INITMENUPOPUP, &COwnPopupHandler::OnInitMenuPopup)};
            const RouteTable updates = UpdateLines();
            table.insert(table.end(), updates.begin(), updates.end());
            return table;
        }();
        return routes;
    }

private:
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam, bool&)
    {
        ++m_popupMessages;
        DefaultProcessing(WM_INITMENUPOPUP, wParam, lParam);
        if (HIWORD(lParam) || !wParam)
            return 0;
        RunCommandUpdate(reinterpret_cast<HMENU>(wParam));
        return 0;
    }
};

struct PopupMenu {
    PopupMenu() : m_menu(::CreatePopupMenu()), m_submenu(::CreatePopupMenu())
    {
        ::AppendMenuW(m_submenu, MF_STRING | MF_GRAYED, ID_IN_SUBMENU, L"In submenu");
        ::AppendMenuW(m_menu, MF_STRING, ID_ADD, L"Add");
        ::AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(m_menu, MF_STRING, ID_EDIT, L"Edit");
        ::AppendMenuW(m_menu, MF_STRING | MF_GRAYED, ID_DELETE, L"Delete");
        ::AppendMenuW(m_menu, MF_STRING | MF_GRAYED, ID_SAVE, L"Save");
        ::AppendMenuW(m_menu, MF_STRING, ID_REFRESH, L"Refresh");
        ::AppendMenuW(m_menu, MF_STRING, ID_SUGGESTED, L"Suggested");
        ::AppendMenuW(m_menu, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(m_submenu), L"More");
    }
    ~PopupMenu() { ::DestroyMenu(m_menu); } // destroys the submenu too

    bool Grayed(UINT id) const { return (::GetMenuState(m_menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
    bool Checked(UINT id) const { return (::GetMenuState(m_menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
    bool SeparatorIntact() const { return (::GetMenuState(m_menu, 1, MF_BYPOSITION) & MF_SEPARATOR) != 0; }
    bool SubmenuGrayed() const { return (::GetMenuState(m_menu, 7, MF_BYPOSITION) & MF_GRAYED) != 0; }
    bool SubmenuItemGrayed() const
    {
        return (::GetMenuState(m_submenu, ID_IN_SUBMENU, MF_BYCOMMAND) & MF_GRAYED) != 0;
    }

    HMENU m_menu;
    HMENU m_submenu;
};

DialogTemplate UpdateTemplate()
{
    DialogTemplate tmpl(L"Update probe", 160, 60);
    tmpl.Add(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 40, 50, 14);
    return tmpl;
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD)
{
    ::EndMenu();
}

LRESULT SendInitMenuPopup(HWND dialog, HMENU popup, bool systemMenu)
{
    return ::SendMessageW(dialog, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                          MAKELPARAM(0, systemMenu ? TRUE : FALSE));
}

} // namespace

TEST(FrameworkCommandUpdate, ItemsWithUpdateLinesFollowTheirHandlersOthersKeepTheirState)
{
    struct Case {
        bool canAdd, canEdit, canDelete;
    };
    const Case cases[] = {{true, false, true}, {false, true, false}, {true, true, true}, {false, false, false}};
    DialogTemplate tmpl = UpdateTemplate();
    for (const Case& c : cases) {
        PopupMenu popup;
        CUpdateProbe dialog(tmpl.Get());
        dialog.m_canAdd = c.canAdd;
        dialog.m_canEdit = c.canEdit;
        dialog.m_canDelete = c.canDelete;
        dialog.m_script = [&](CTestDialog& d) {
            SendInitMenuPopup(d.m_hWnd, popup.m_menu, false);
            return IDOK;
        };
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(!c.canAdd, popup.Grayed(ID_ADD));
        EXPECT_EQ(!c.canEdit, popup.Grayed(ID_EDIT));
        EXPECT_EQ(!c.canDelete, popup.Grayed(ID_DELETE));
        EXPECT_TRUE(popup.Checked(ID_SUGGESTED));
        // No update line: untouched.
        EXPECT_TRUE(popup.Grayed(ID_SAVE));
        EXPECT_FALSE(popup.Grayed(ID_REFRESH));
        EXPECT_TRUE(popup.SeparatorIntact());
        EXPECT_TRUE(popup.SubmenuGrayed());
        // Items of a sub-popup are updated when that popup opens, not with its parent.
        EXPECT_TRUE(popup.SubmenuItemGrayed());
        EXPECT_EQ(4, dialog.m_updates);
    }
}

TEST(FrameworkCommandUpdate, TheSystemMenuIsLeftAlone)
{
    DialogTemplate tmpl = UpdateTemplate();
    PopupMenu popup;
    CUpdateProbe dialog(tmpl.Get());
    dialog.m_canAdd = false;
    dialog.m_script = [&](CTestDialog& d) {
        SendInitMenuPopup(d.m_hWnd, popup.m_menu, true);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(0, dialog.m_updates);
    EXPECT_FALSE(popup.Grayed(ID_ADD));
    EXPECT_TRUE(popup.Grayed(ID_DELETE));
}

TEST(FrameworkCommandUpdate, ADialogWithItsOwnPopupHandlerRunsTheUpdateOnce)
{
    DialogTemplate tmpl = UpdateTemplate();
    PopupMenu popup;
    COwnPopupHandler dialog(tmpl.Get());
    dialog.m_canEdit = false;
    dialog.m_script = [&](CTestDialog& d) {
        SendInitMenuPopup(d.m_hWnd, popup.m_menu, false);
        SendInitMenuPopup(d.m_hWnd, popup.m_menu, true);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(2, dialog.m_popupMessages);
    EXPECT_EQ(4, dialog.m_updates);
    EXPECT_TRUE(popup.Grayed(ID_EDIT));
    EXPECT_FALSE(popup.Grayed(ID_DELETE));
}

TEST(FrameworkCommandUpdate, OpeningARealPopupRunsTheUpdate)
{
    DialogTemplate tmpl = UpdateTemplate();
    PopupMenu popup;
    CUpdateProbe dialog(tmpl.Get());
    dialog.m_canAdd = false;
    dialog.m_canDelete = true;
    dialog.m_script = [&](CTestDialog& d) {
        // The menu's own modal loop runs until the timer closes the menu.
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, CloseMenu);
        ::SetForegroundWindow(d.m_hWnd);
        ::TrackPopupMenu(popup.m_menu, TPM_LEFTALIGN | TPM_TOPALIGN, 100, 100, 0, d.m_hWnd, nullptr);
        ::KillTimer(nullptr, timer);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_GE(dialog.m_updates, 4);
    EXPECT_TRUE(popup.Grayed(ID_ADD));
    EXPECT_FALSE(popup.Grayed(ID_DELETE));
    EXPECT_TRUE(popup.Grayed(ID_SAVE));
}
