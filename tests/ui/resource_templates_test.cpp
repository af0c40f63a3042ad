// The dialog templates, menus and accelerators linked into the program, read back from its own
// resources and held against the tables they were drawn from: controls in tab order with their
// ids, classes, captions, key styles and places; menu texts and commands; the two shortcuts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

// ---- Reading an extended dialog template -------------------------------------------------------

struct TemplateItem {
    DWORD style;
    int id;
    std::wstring className;  // ordinal classes by name: Button, Edit, Static, ComboBox
    std::wstring text;       // an ordinal text (an icon id) as "#<number>"
    short x, y, cx, cy;
};

struct TemplateDialog {
    DWORD style;
    DWORD exStyle;
    short cx, cy;
    std::wstring menu;
    std::wstring caption;
    WORD pointSize;
    std::wstring font;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : m_at(data) {}

    WORD Word() { WORD w; memcpy(&w, m_at, 2); m_at += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, m_at, 4); m_at += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    void Skip(size_t bytes) { m_at += bytes; }
    void AlignDword()
    {
        const auto address = reinterpret_cast<uintptr_t>(m_at);
        m_at += (4 - address % 4) % 4;
    }
    std::wstring String()
    {
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word())
            text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    // A string, or 0xFFFF and an ordinal written "#<number>", or 0 for nothing.
    std::wstring StringOrOrdinal()
    {
        WORD first;
        memcpy(&first, m_at, 2);
        if (first == 0xFFFF) {
            Skip(2);
            return L"#" + std::to_wstring(Word());
        }
        return String();
    }

private:
    const BYTE* m_at;
};

std::wstring ClassName(const std::wstring& raw)
{
    if (raw == L"#128") return L"Button";
    if (raw == L"#129") return L"Edit";
    if (raw == L"#130") return L"Static";
    if (raw == L"#133") return L"ComboBox";
    return raw;
}

bool LoadDialog(int templateId, TemplateDialog& dialog)
{
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data)
        return false;

    TemplateReader in(data);
    if (in.Word() != 1 || in.Word() != 0xFFFF)
        return false;  // not an extended template
    in.Dword();        // help id
    dialog.exStyle = in.Dword();
    dialog.style = in.Dword();
    const WORD count = in.Word();
    in.Short();
    in.Short();
    dialog.cx = in.Short();
    dialog.cy = in.Short();
    dialog.menu = in.StringOrOrdinal();
    in.StringOrOrdinal();  // window class
    dialog.caption = in.String();
    dialog.pointSize = 0;
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.Word();
        in.Word();  // weight
        in.Skip(2); // italic, character set
        dialog.font = in.String();
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignDword();
        TemplateItem item;
        in.Dword();  // help id
        in.Dword();  // extended style
        item.style = in.Dword();
        item.x = in.Short();
        item.y = in.Short();
        item.cx = in.Short();
        item.cy = in.Short();
        item.id = static_cast<int>(static_cast<short>(in.Dword() & 0xFFFF));
        item.className = ClassName(in.StringOrOrdinal());
        item.text = in.StringOrOrdinal();
        in.Skip(in.Word());  // creation data
        dialog.items.push_back(item);
    }
    return true;
}

// ---- The tables ---------------------------------------------------------------------------------

// One control: `typeMask` picks the type bits of the style (button or static kind), which must
// equal `type`; every bit of `required` must be set and none of `forbidden`.
struct Control {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD typeMask, type, required, forbidden;
    short x, y, cx, cy;
};

const DWORD BUTTON_TYPE = 0x0F;
const DWORD STATIC_TYPE = SS_TYPEMASK;
const DWORD VISIBLE_CHILD = WS_CHILD | WS_VISIBLE;
const DWORD PANEL_EDIT = VISIBLE_CHILD | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD COUNT_EDIT = PANEL_EDIT | ES_CENTER | ES_NUMBER;
const DWORD COMBO = VISIBLE_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
const DWORD SPINNER = VISIBLE_CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
const wchar_t* const ACL_CAPTION = L"Set up &ACL on dump folder for `Everyone` to have read-write access";

const Control MAIN_CONTROLS[] = {
    {IDOK, L"Button", L"&SAVE", BUTTON_TYPE, BS_DEFPUSHBUTTON, VISIBLE_CHILD | WS_TABSTOP, 0, 326, 393, 65, 19},
    {IDCANCEL, L"Button", L"Cancel", BUTTON_TYPE, BS_PUSHBUTTON, VISIBLE_CHILD | WS_TABSTOP, 0, 396, 398, 50, 14},
    {-1, L"Static", L"#128", STATIC_TYPE, SS_ICON, VISIBLE_CHILD, 0, 7, 7, 20, 20},
    {IDC_LINK_INTRO, L"SysLink",
     L"Use this utility to specify location that will be used to save <a>minidump files</a> when a program "
     L"crashes. Such files will be useful for developers of the crashed program to <a>diagnose the issue</a>.",
     0, 0, VISIBLE_CHILD | WS_TABSTOP, 0, 42, 7, 404, 22},
    {IDC_LINK_NOTE, L"SysLink",
     L"NOTE: This tool must be run as administrator to be able to save changes.\nThese settings may not affect "
     L".NET processes.",
     0, 0, VISIBLE_CHILD | WS_TABSTOP, 0, 42, 28, 404, 23},
    {-1, L"Button", L"Global Settings For All Running Programs", BUTTON_TYPE, BS_GROUPBOX, VISIBLE_CHILD, 0,
     39, 57, 407, 88},
    {-1, L"Static", L"&Dump files folder:", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 50, 76, 57, 8},
    {IDC_EDIT_DUMP_FOLDER, L"Edit", L"", 0, 0, PANEL_EDIT, 0, 111, 72, 281, 14},
    {IDC_CHECK_SET_ACL, L"Button", ACL_CAPTION, BUTTON_TYPE, BS_AUTOCHECKBOX, VISIBLE_CHILD, 0, 115, 88, 239, 10},
    {IDC_BTN_BROWSE_FOLDER, L"Button", L"&Browse...", BUTTON_TYPE, BS_PUSHBUTTON, VISIBLE_CHILD, 0, 393, 72, 42, 14},
    {-1, L"Static", L"Crash dump &type:", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 50, 105, 58, 8},
    {IDC_COMBO_DUMP_TYPE, L"ComboBox", L"", 0, 0, COMBO, CBS_SORT, 111, 102, 237, 136},
    {IDC_BTN_DUMP_CONTENTS, L"Button", L"&Contents...", BUTTON_TYPE, BS_PUSHBUTTON, WS_CHILD | WS_DISABLED, 0,
     375, 102, 60, 14},
    {-1, L"Static", L"Maximum &number of files:", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 50, 124, 82, 8},
    {IDC_EDIT_DUMP_COUNT, L"Edit", L"", 0, 0, COUNT_EDIT, 0, 138, 120, 48, 14},
    {IDC_SPIN_DUMP_COUNT, L"msctls_updown32", L"", 0, 0, SPINNER, 0, 289, 121, 11, 14},
    {-1, L"Static", L"before recycling old ones", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 196, 124, 81, 8},
    {-1, L"Button", L"Settings Specific To Programs", BUTTON_TYPE, BS_GROUPBOX, VISIBLE_CHILD, 0, 39, 152, 407, 211},
    {IDC_LIST_PROGRAMS, L"SysListView32", L"", LVS_TYPEMASK, LVS_REPORT,
     VISIBLE_CHILD | LVS_SORTASCENDING | LVS_NOSORTHEADER | LVS_ALIGNLEFT | WS_BORDER | WS_TABSTOP, LVS_SINGLESEL,
     51, 166, 384, 154},
    {IDC_BTN_ADD_PROGRAM, L"Button", L"&+", BUTTON_TYPE, BS_PUSHBUTTON, VISIBLE_CHILD, 0, 53, 320, 13, 12},
    {IDC_BTN_DELETE_PROGRAM, L"Button", L"&-", BUTTON_TYPE, BS_PUSHBUTTON, VISIBLE_CHILD, 0, 66, 320, 13, 12},
    {IDC_BTN_EDIT_PROGRAM, L"Button", L"&...", BUTTON_TYPE, BS_PUSHBUTTON, VISIBLE_CHILD, 0, 81, 320, 13, 12},
    {IDC_STATIC_EXPLANATION, L"Static",
     L"If a program crashes, WER will first read the global settings, and then will override any of the "
     L"settings with program-specific settings if the process name matches.",
     STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 55, 336, 378, 19},
    {IDC_STATIC_ADMIN_NOTICE, L"Static", L"Run this tool as administrator to be able to save changes", STATIC_TYPE,
     SS_LEFT, VISIBLE_CHILD, 0, 76, 371, 183, 8},
    {IDC_STATIC_WARNING_PLACE, L"Static", L"", STATIC_TYPE, SS_BLACKFRAME, WS_CHILD, WS_VISIBLE, 57, 367, 16, 16},
    {IDC_LINK_DUMP_STATUS, L"SysLink", L"", 0, 0, VISIBLE_CHILD | WS_TABSTOP, 0, 42, 390, 278, 20},
};

const Control CHECK_CONTROLS[] = {
    {-1, L"Static", L"&Findings:", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 7, 7, 120, 8},
    {IDC_LIST_FINDINGS, L"SysListView32", L"", LVS_TYPEMASK, LVS_REPORT,
     VISIBLE_CHILD | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | WS_BORDER | WS_TABSTOP, 0, 7, 17, 346, 76},
    {-1, L"Static", L"&Explanation:", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 7, 99, 120, 8},
    {IDC_EDIT_FINDING_TEXT, L"Edit", L"", 0, 0, VISIBLE_CHILD | WS_TABSTOP | ES_MULTILINE | ES_READONLY | WS_VSCROLL, 0,
     7, 109, 346, 96},
    {IDCANCEL, L"Button", L"Close", BUTTON_TYPE, BS_DEFPUSHBUTTON, VISIBLE_CHILD | WS_TABSTOP, 0, 303, 211, 50, 14},
};

const Control PROGRAM_CONTROLS[] = {
    {IDOK, L"Button", L"", BUTTON_TYPE, BS_DEFPUSHBUTTON, VISIBLE_CHILD | WS_TABSTOP, 0, 324, 158, 59, 18},
    {IDCANCEL, L"Button", L"Cancel", BUTTON_TYPE, BS_PUSHBUTTON, VISIBLE_CHILD | WS_TABSTOP, 0, 385, 162, 50, 14},
    {IDC_STATIC_EXE_ICON, L"Static", L"", STATIC_TYPE, SS_ICON, VISIBLE_CHILD, 0, 11, 10, 21, 20},
    {-1, L"Static", L"&Process name:", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 49, 14, 48, 8},
    {IDC_EDIT_PROCESS_NAME, L"Edit", L"", 0, 0, PANEL_EDIT, 0, 111, 11, 170, 14},
    {IDC_BTN_BROWSE_EXE, L"Button", L"Bro&wse...", BUTTON_TYPE, BS_PUSHBUTTON, VISIBLE_CHILD | WS_TABSTOP, 0,
     282, 11, 42, 14},
    {-1, L"Static", L"&Dump files folder:", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 49, 59, 57, 8},
    {IDC_EDIT_DUMP_FOLDER, L"Edit", L"", 0, 0, PANEL_EDIT, 0, 111, 55, 281, 14},
    {IDC_CHECK_SET_ACL, L"Button", ACL_CAPTION, BUTTON_TYPE, BS_AUTOCHECKBOX, VISIBLE_CHILD | WS_TABSTOP, 0,
     115, 71, 239, 10},
    {IDC_BTN_BROWSE_FOLDER, L"Button", L"&Browse...", BUTTON_TYPE, BS_PUSHBUTTON, VISIBLE_CHILD | WS_TABSTOP, 0,
     393, 55, 42, 14},
    {-1, L"Static", L"Crash dump &type:", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 49, 88, 58, 8},
    {IDC_COMBO_DUMP_TYPE, L"ComboBox", L"", 0, 0, COMBO, CBS_SORT, 111, 85, 237, 136},
    {IDC_BTN_DUMP_CONTENTS, L"Button", L"&Contents...", BUTTON_TYPE, BS_PUSHBUTTON, WS_CHILD | WS_DISABLED, 0,
     375, 85, 60, 14},
    {-1, L"Static", L"Maximum &number of files:", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 49, 107, 82, 8},
    {IDC_EDIT_DUMP_COUNT, L"Edit", L"", 0, 0, COUNT_EDIT, 0, 137, 103, 48, 14},
    {IDC_SPIN_DUMP_COUNT, L"msctls_updown32", L"", 0, 0, SPINNER, 0, 289, 104, 11, 14},
    {-1, L"Static", L"before recycling old ones", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 195, 107, 81, 8},
    {-1, L"Static", L"", STATIC_TYPE, SS_ETCHEDHORZ, VISIBLE_CHILD, 0, 47, 43, 388, 1},
    {IDC_STATIC_CASE_NOTE, L"Static", L"Process names are not case sensitive.", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD,
     0, 112, 27, 123, 8},
    {IDC_STATIC_OMITTED_INFO, L"Static",
     L"INFO: If any of these settings are omitted, a corresponding global setting will be used instead.",
     STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 111, 128, 304, 8},
};

const Control ABOUT_CONTROLS[] = {
    {-1, L"Static", L"#128", STATIC_TYPE, SS_ICON, VISIBLE_CHILD, 0, 14, 14, 21, 20},
    {IDC_STATIC_PRODUCT, L"Static", L"Kestrune", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD | SS_NOPREFIX | WS_GROUP, 0,
     42, 14, 200, 8},
    {IDC_STATIC_VERSION, L"Static", L"ver", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD | WS_GROUP, 0, 51, 26, 191, 8},
    {IDOK, L"Button", L"OK", BUTTON_TYPE, BS_DEFPUSHBUTTON, VISIBLE_CHILD | WS_GROUP | WS_TABSTOP, 0, 192, 72, 50, 14},
    {IDC_STATIC_COPYRIGHT, L"Static", L"Copyright", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD | WS_GROUP, 0, 42, 39, 200, 8},
    {IDC_LINK_WEBSITE, L"SysLink", nullptr, 0, 0, VISIBLE_CHILD | WS_TABSTOP, 0, 51, 50, 154, 11},
};

const Control CUSTOM_DUMP_CONTROLS[] = {
    {-1, L"Static", nullptr, STATIC_TYPE, SS_LEFT, VISIBLE_CHILD, 0, 7, 7, 456, 16},
    {IDC_LIST_DUMP_FLAGS, L"SysListView32", L"", LVS_TYPEMASK, LVS_REPORT,
     VISIBLE_CHILD | LVS_SINGLESEL | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP, 0, 7, 26, 456, 180},
    {IDC_STATIC_DUMP_FLAGS_VALUE, L"Static", L"", STATIC_TYPE, SS_LEFT, VISIBLE_CHILD | SS_NOPREFIX, 0, 7, 210, 456, 16},
    {IDC_BTN_DUMP_FLAGS_DEFAULT, L"Button", L"Windows' &Default", BUTTON_TYPE, BS_PUSHBUTTON,
     VISIBLE_CHILD | WS_TABSTOP, 0, 7, 230, 80, 14},
    {IDOK, L"Button", L"OK", BUTTON_TYPE, BS_DEFPUSHBUTTON, VISIBLE_CHILD | WS_TABSTOP, 0, 359, 230, 50, 14},
    {IDCANCEL, L"Button", L"Cancel", BUTTON_TYPE, BS_PUSHBUTTON, VISIBLE_CHILD | WS_TABSTOP, 0, 413, 230, 50, 14},
};

struct Dialog {
    int templateId;
    const wchar_t* caption;
    DWORD style;  // all of these bits
    DWORD exStyle;
    short cx, cy;
    const wchar_t* menu;
    const Control* controls;
    size_t controlCount;
};

const Dialog DIALOGS[] = {
    {IDD_KESTRUNE_DIALOG, L"Kestrune", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
     WS_EX_APPWINDOW, 453, 419, L"#129", MAIN_CONTROLS, sizeof(MAIN_CONTROLS) / sizeof(MAIN_CONTROLS[0])},
    {IDD_ADDEDIT_PROG, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 442,
     183, L"#132", PROGRAM_CONTROLS, sizeof(PROGRAM_CONTROLS) / sizeof(PROGRAM_CONTROLS[0])},
    {IDD_CUSTOM_DUMP, L"Custom Dump Contents", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS,
     0, 470, 251, L"", CUSTOM_DUMP_CONTROLS, sizeof(CUSTOM_DUMP_CONTROLS) / sizeof(CUSTOM_DUMP_CONTROLS[0])},
    {IDD_ABOUTBOX, L"About", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 249,
     93, L"", ABOUT_CONTROLS, sizeof(ABOUT_CONTROLS) / sizeof(ABOUT_CONTROLS[0])},
    {IDD_DUMP_CHECK, L"Dump Collection Check", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS,
     0, 360, 232, L"", CHECK_CONTROLS, sizeof(CHECK_CONTROLS) / sizeof(CHECK_CONTROLS[0])},
};

TEST(ResourceTemplates, DialogsMatchTheirTables)
{
    for (const Dialog& expected : DIALOGS) {
        SCOPED_TRACE(testing::Message() << "dialog " << expected.templateId);
        TemplateDialog dialog;
        ASSERT_TRUE(LoadDialog(expected.templateId, dialog));
        EXPECT_EQ(dialog.caption, expected.caption);
        EXPECT_EQ(dialog.style & expected.style, expected.style);
        EXPECT_EQ(dialog.exStyle, expected.exStyle);
        EXPECT_EQ(dialog.cx, expected.cx);
        EXPECT_EQ(dialog.cy, expected.cy);
        EXPECT_EQ(dialog.menu, expected.menu);
        EXPECT_EQ(dialog.pointSize, 8);
        EXPECT_EQ(dialog.font, L"MS Shell Dlg");
        ASSERT_EQ(dialog.items.size(), expected.controlCount);
        for (size_t i = 0; i < expected.controlCount; ++i) {
            const Control& want = expected.controls[i];
            const TemplateItem& item = dialog.items[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " (id " << want.id << ")");
            EXPECT_EQ(item.id, want.id);
            // Class names are not case sensitive; the resource compiler writes them in capitals.
            EXPECT_EQ(::lstrcmpiW(item.className.c_str(), want.className), 0) << item.className;
            if (want.text) {
                EXPECT_EQ(item.text, want.text);
            }
            EXPECT_EQ(item.style & want.typeMask, want.type);
            EXPECT_EQ(item.style & want.required, want.required);
            EXPECT_EQ(item.style & want.forbidden, 0u);
            EXPECT_EQ(item.x, want.x);
            EXPECT_EQ(item.y, want.y);
            EXPECT_EQ(item.cx, want.cx);
            EXPECT_EQ(item.cy, want.cy);
        }
    }
}

// The letter after a single '&' in a caption, or 0 when it has none.
wchar_t MnemonicOf(const std::wstring& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            return static_cast<wchar_t>(::towupper(text[i + 1]));
        ++i;
    }
    return 0;
}

// Alt and a letter must reach one thing only: a control caption that takes a menu title's letter
// makes Alt+letter flip the control instead of opening the menu.
TEST(ResourceTemplates, EveryMnemonicOfADialogAndItsMenuBarIsUnique)
{
    const struct {
        int templateId;
        int menuId;
    } dialogs[] = {{IDD_KESTRUNE_DIALOG, IDR_MAIN_MENU}, {IDD_ADDEDIT_PROG, IDR_PROG_MENU}};
    for (const auto& d : dialogs) {
        SCOPED_TRACE(testing::Message() << "dialog " << d.templateId);
        std::vector<std::wstring> captions;
        const HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(d.menuId));
        ASSERT_NE(menu, nullptr);
        for (int popup = 0; popup < ::GetMenuItemCount(menu); ++popup) {
            wchar_t title[64] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(popup), title, 64, MF_BYPOSITION);
            captions.push_back(title);
        }
        ::DestroyMenu(menu);
        TemplateDialog dialog;
        ASSERT_TRUE(LoadDialog(d.templateId, dialog));
        for (const TemplateItem& item : dialog.items) {
            const bool prefixed = !(item.className == L"Static" && (item.style & SS_NOPREFIX));
            if (prefixed && item.text.compare(0, 1, L"#") != 0)
                captions.push_back(item.text);
        }
        std::wstring seen;
        for (const std::wstring& caption : captions) {
            const wchar_t letter = MnemonicOf(caption);
            if (!letter)
                continue;
            EXPECT_EQ(seen.find(letter), std::wstring::npos) << "Alt+" << static_cast<char>(letter) << " again in "
                                                             << testing::PrintToString(caption);
            seen.push_back(letter);
        }
        EXPECT_GE(seen.size(), 8u);
    }
}

// ---- Menus and accelerators ---------------------------------------------------------------------

struct MenuLine {
    int menuId;
    int popup;
    int position;
    const wchar_t* text;  // nullptr: a separator
    UINT command;
};

const MenuLine MENU_LINES[] = {
    {IDR_MAIN_MENU, 0, 0, L"&Save && Exit", 32774},
    {IDR_MAIN_MENU, 0, 1, nullptr, 0},
    {IDR_MAIN_MENU, 0, 2, L"E&xport...", 32810},
    {IDR_MAIN_MENU, 0, 3, nullptr, 0},
    {IDR_MAIN_MENU, 0, 4, L"&Exit", 32771},
    {IDR_MAIN_MENU, 1, 0, L"&Refresh\tF5", 32777},
    {IDR_MAIN_MENU, 1, 1, nullptr, 0},
    {IDR_MAIN_MENU, 1, 2, L"&Clear Global Settings", 32772},
    {IDR_MAIN_MENU, 1, 3, L"Set &Suggested Global Settings", 32773},
    {IDR_MAIN_MENU, 1, 4, nullptr, 0},
    {IDR_MAIN_MENU, 1, 5, L"&Add Program Specific Settings...\tCtrl+N", 32781},
    {IDR_MAIN_MENU, 1, 6, L"&Edit Program Specific Settings...", 32782},
    {IDR_MAIN_MENU, 1, 7, nullptr, 0},
    {IDR_MAIN_MENU, 1, 8, L"&Delete Program Specific Settings...", 32783},
    {IDR_MAIN_MENU, 2, 0, L"&Check Dump Collection...", 32800},
    {IDR_MAIN_MENU, 2, 1, L"&Technical Details...", 32794},
    {IDR_MAIN_MENU, 2, 2, nullptr, 0},
    {IDR_MAIN_MENU, 2, 3, L"Make a &Donation...", 32796},
    {IDR_MAIN_MENU, 2, 4, nullptr, 0},
    {IDR_MAIN_MENU, 2, 5, L"&About...", 32775},
    {IDR_PROG_MENU, 0, 0, L"&Save && Close", 32788},
    {IDR_PROG_MENU, 0, 1, nullptr, 0},
    {IDR_PROG_MENU, 0, 2, L"&Close", 32789},
    {IDR_PROG_MENU, 1, 0, L"&Clear Settings", 32786},
    {IDR_PROG_MENU, 1, 1, L"Set &Suggested Settings", 32787},
    {IDR_PROG_MENU, 2, 0, L"&Technical Details...", 32795},
    {IDR_LIST_MENU, 0, 0, L"&Edit Program...", 32792},
    {IDR_LIST_MENU, 0, 1, nullptr, 0},
    {IDR_LIST_MENU, 0, 2, L"&Add Program...", 32790},
    {IDR_LIST_MENU, 0, 3, L"&Delete Program(s)...", 32791},
    {IDR_LIST_MENU, 0, 4, nullptr, 0},
    {IDR_LIST_MENU, 0, 5, L"&Select All", 32793},
};

struct MenuShape {
    int menuId;
    std::vector<std::wstring> popups;  // empty: the popup titles are not fixed
    std::vector<int> itemCounts;
};

TEST(ResourceTemplates, MenusMatchTheirTables)
{
    const MenuShape shapes[] = {
        {IDR_MAIN_MENU, {L"&File", L"&Edit", L"&Help"}, {5, 9, 6}},
        {IDR_PROG_MENU, {L"&File", L"&Edit", L"&Help"}, {3, 2, 1}},
        {IDR_LIST_MENU, {}, {6}},
    };
    const HMODULE module = ::GetModuleHandleW(nullptr);
    for (const MenuShape& shape : shapes) {
        SCOPED_TRACE(testing::Message() << "menu " << shape.menuId);
        const HMENU menu = ::LoadMenuW(module, MAKEINTRESOURCEW(shape.menuId));
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(::GetMenuItemCount(menu), static_cast<int>(shape.itemCounts.size()));
        for (size_t popup = 0; popup < shape.itemCounts.size(); ++popup) {
            wchar_t title[64] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(popup), title, 64, MF_BYPOSITION);
            if (!shape.popups.empty()) {
                EXPECT_EQ(std::wstring(title), shape.popups[popup]);
            }
            EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(menu, static_cast<int>(popup))), shape.itemCounts[popup]);
        }
        for (const MenuLine& line : MENU_LINES) {
            if (line.menuId != shape.menuId)
                continue;
            SCOPED_TRACE(testing::Message() << "popup " << line.popup << " position " << line.position);
            const HMENU popup = ::GetSubMenu(menu, line.popup);
            MENUITEMINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_ID;
            ASSERT_TRUE(::GetMenuItemInfoW(popup, static_cast<UINT>(line.position), TRUE, &info));
            if (!line.text) {
                EXPECT_NE(info.fType & MFT_SEPARATOR, 0u);
                continue;
            }
            wchar_t text[128] = {};
            ::GetMenuStringW(popup, static_cast<UINT>(line.position), text, 128, MF_BYPOSITION);
            EXPECT_EQ(std::wstring(text), line.text);
            EXPECT_EQ(info.wID, line.command);
        }
        ::DestroyMenu(menu);
    }
}

TEST(ResourceTemplates, AcceleratorsAreF5AndCtrlN)
{
    const HACCEL table = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_ACCEL));
    ASSERT_NE(table, nullptr);
    ACCEL entries[8] = {};
    const int count = ::CopyAcceleratorTableW(table, entries, 8);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(entries[0].key, VK_F5);
    EXPECT_EQ(entries[0].fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), FVIRTKEY);
    EXPECT_EQ(entries[0].cmd, ID_EDIT_REFRESH);
    EXPECT_EQ(entries[1].key, 'N');
    EXPECT_EQ(entries[1].fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), FVIRTKEY | FCONTROL);
    EXPECT_EQ(entries[1].cmd, ID_EDIT_ADD_PROGRAM);

    wchar_t about[32] = {};
    EXPECT_GT(::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, 32), 0);
    EXPECT_EQ(std::wstring(about), L"&About...");
}

} // namespace
