#pragma once
// Thin wrappers around the controls of a dialog. Each holds the control's window handle, bound
// from DoDataExchange with Bind(*this, id), and offers the few operations the dialogs use;
// anything else goes through Send.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/modal_dialog.h"

class CWindowRef {
public:
    CWindowRef() = default;
    explicit CWindowRef(HWND window) : m_hWnd(window) {}

    // Attaches the wrapper to the dialog's control; false when the dialog has no such control.
    bool Bind(const CModalDialog& dialog, int id)
    {
        m_hWnd = dialog.GetDlgItem(id);
        return m_hWnd != nullptr;
    }

    HWND GetSafeHwnd() const { return m_hWnd; }
    explicit operator bool() const { return m_hWnd != nullptr; }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }

    std::wstring GetText() const
    {
        const int length = ::GetWindowTextLengthW(m_hWnd);
        if (length <= 0)
            return std::wstring();
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const int copied = ::GetWindowTextW(m_hWnd, &text[0], length + 1);
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        return text;
    }
    void SetText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }

    void Enable(bool enabled) const { ::EnableWindow(m_hWnd, enabled ? TRUE : FALSE); }
    bool IsEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    void Show(bool visible) const { ::ShowWindow(m_hWnd, visible ? SW_SHOW : SW_HIDE); }
    bool IsVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    void SetFocus() const { ::SetFocus(m_hWnd); }

    HWND m_hWnd = nullptr;
};

class CEditCtrl : public CWindowRef {
public:
    void LimitText(int characters) const { Send(EM_LIMITTEXT, static_cast<WPARAM>(characters)); }
};

class CButtonCtrl : public CWindowRef {
public:
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CComboBoxCtrl : public CWindowRef {
public:
    int AddString(const std::wstring& text) const
    {
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    LRESULT GetItemData(int index) const { return Send(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
    int SetItemData(int index, LPARAM data) const
    {
        return static_cast<int>(Send(CB_SETITEMDATA, static_cast<WPARAM>(index), data));
    }
};

class CListViewCtrl : public CWindowRef {
public:
    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    int GetSelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
    // The next item after `start` (-1: from the beginning) with the LVNI_ flags, or -1.
    int GetNextItem(int start, UINT flags) const
    {
        return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
    }
    std::wstring GetItemText(int item, int subItem) const
    {
        // LVM_GETITEMTEXTW reports the copied length; grow until the text fits.
        for (int size = 256; size <= 65536; size *= 4) {
            std::wstring text(static_cast<size_t>(size), L'\0');
            LVITEMW lvi = {};
            lvi.iSubItem = subItem;
            lvi.cchTextMax = size;
            lvi.pszText = &text[0];
            const int length = static_cast<int>(Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                                                     reinterpret_cast<LPARAM>(&lvi)));
            if (length < size - 1) {
                text.resize(length > 0 ? static_cast<size_t>(length) : 0);
                return text;
            }
        }
        return std::wstring();
    }
    void SetItemText(int item, int subItem, const std::wstring& text) const
    {
        LVITEMW lvi = {};
        lvi.iSubItem = subItem;
        lvi.pszText = const_cast<wchar_t*>(text.c_str());
        Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
    }
    LPARAM GetItemData(int item) const
    {
        LVITEMW lvi = {};
        lvi.mask = LVIF_PARAM;
        lvi.iItem = item;
        return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lvi)) ? lvi.lParam : 0;
    }
    bool DeleteItem(int item) const { return Send(LVM_DELETEITEM, static_cast<WPARAM>(item)) != 0; }
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }
};
