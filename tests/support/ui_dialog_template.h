#pragma once
// In-memory dialog templates for tests that need a dialog of a chosen shape rather than one of
// the program's own.
//
//     DialogTemplate tmpl(L"Probe", 200, 100);
//     tmpl.Add(L"EDIT", L"", 100, WS_TABSTOP | WS_BORDER, 10, 10, 100, 14);
//     tmpl.Add(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 40, 50, 14);
//     CSomeDialog dialog(tmpl.Get());
#include <windows.h>

#include <string>
#include <vector>

class DialogTemplate {
public:
    // A popup dialog with caption, system menu and the shell font, of the given size in dialog units.
    DialogTemplate(const std::wstring& caption, short cx, short cy,
                   DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);

    // A child control; WS_CHILD and WS_VISIBLE are added.
    DialogTemplate& Add(const std::wstring& className, const std::wstring& text, WORD id, DWORD style,
                        short x, short y, short cx, short cy);

    // The built template; valid until the next Add.
    const DLGTEMPLATE* Get();

private:
    struct Item {
        std::wstring className;
        std::wstring text;
        WORD id;
        DWORD style;
        short x, y, cx, cy;
    };

    std::wstring m_caption;
    short m_cx, m_cy;
    DWORD m_style;
    std::vector<Item> m_items;
    std::vector<WORD> m_buffer;
};
