// The control wrappers on real controls: binding, texts of any length, combo box items and
// list-view texts that outgrow the first buffer.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/controls.h"
#include "tests/support/ui_dialog_template.h"
#include "tests/support/ui_test_dialog.h"

namespace {

const WORD ID_EDIT = 100;
const WORD ID_COMBO = 101;
const WORD ID_LIST = 102;
const WORD ID_CHECK = 103;

// Runs `check` in a shown dialog with an edit, a combo box, a list view and a check box.
void RunInControlsDialog(const std::function<void(CTestDialog&)>& check)
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
    DialogTemplate tmpl(L"Controls", 260, 160);
    tmpl.Add(L"EDIT", L"", ID_EDIT, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 200, 14)
        .Add(L"COMBOBOX", L"", ID_COMBO, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 30, 200, 80)
        .Add(WC_LISTVIEWW, L"", ID_LIST, LVS_REPORT | WS_BORDER, 10, 50, 200, 80)
        .Add(L"BUTTON", L"Check", ID_CHECK, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 135, 100, 10);
    CTestDialog dialog(tmpl.Get());
    dialog.m_script = [&](CTestDialog& d) {
        check(d);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
}

} // namespace

TEST(FrameworkControls, TextsOfAnyLengthGoInAndComeOutUnchanged)
{
    RunInControlsDialog([](CTestDialog& d) {
        CEditCtrl edit;
        EXPECT_TRUE(edit.Bind(d, ID_EDIT));
        CWindowRef missing;
        EXPECT_FALSE(missing.Bind(d, 4711));
        EXPECT_FALSE(missing);

        edit.LimitText(0); // no limit below the system's own
        for (const std::wstring& text : {std::wstring(), std::wstring(L"C:\\CrashDumps"),
                                         std::wstring(5000, L'y'), std::wstring(L"\u00e9\u4e2d %TEMP%")}) {
            edit.SetText(text);
            EXPECT_EQ(text, edit.GetText()) << text.size();
        }
    });
}

TEST(FrameworkControls, ComboItemsCheckBoxAndListTexts)
{
    RunInControlsDialog([](CTestDialog& d) {
        CComboBoxCtrl combo;
        EXPECT_TRUE(combo.Bind(d, ID_COMBO));
        for (int code = 0; code < 3; ++code)
            combo.SetItemData(combo.AddString(code ? L"Dump " + std::to_wstring(code) : L""), code);
        EXPECT_EQ(3, combo.GetCount());
        EXPECT_EQ(CB_ERR, combo.GetCurSel());
        combo.SetCurSel(2);
        EXPECT_EQ(2, combo.GetCurSel());
        EXPECT_EQ(2, combo.GetItemData(combo.GetCurSel()));

        CButtonCtrl check;
        EXPECT_TRUE(check.Bind(d, ID_CHECK));
        check.SetCheck(BST_CHECKED);
        EXPECT_EQ(BST_CHECKED, check.GetCheck());

        CListViewCtrl list;
        EXPECT_TRUE(list.Bind(d, ID_LIST));
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 100;
        list.Send(LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        list.Send(LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
        const std::wstring longText(1000, L'n'); // more than the first buffer holds
        for (int row = 0; row < 2; ++row) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = row;
            item.pszText = const_cast<wchar_t*>(row ? L"b.exe" : L"a.exe");
            item.lParam = 40 + row;
            list.Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        list.SetItemText(1, 1, longText);
        EXPECT_EQ(2, list.GetItemCount());
        EXPECT_EQ(L"b.exe", list.GetItemText(1, 0));
        EXPECT_EQ(longText, list.GetItemText(1, 1));
        EXPECT_EQ(L"", list.GetItemText(0, 1));
        EXPECT_EQ(41, list.GetItemData(1));

        LVITEMW state = {};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        list.Send(LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
        EXPECT_EQ(1, list.GetSelectedCount());
        EXPECT_EQ(1, list.GetNextItem(-1, LVNI_SELECTED));
        EXPECT_EQ(-1, list.GetNextItem(1, LVNI_SELECTED));

        EXPECT_TRUE(list.DeleteItem(0));
        EXPECT_EQ(L"b.exe", list.GetItemText(0, 0));
        EXPECT_TRUE(list.DeleteAllItems());
        EXPECT_EQ(0, list.GetItemCount());
    });
}
