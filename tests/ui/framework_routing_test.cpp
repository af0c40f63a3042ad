// Routing tables against a real dialog window: messages are sent to it as the system and its
// controls would send them, and what the handlers saw and what the sender got back are checked.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/modal_dialog.h"
#include "tests/support/ui_dialog_template.h"
#include "tests/support/ui_test_dialog.h"

namespace {

const WORD ID_EDIT = 100;
const WORD ID_COMBO = 101;
const WORD ID_ROUTED_BUTTON = 102;
const WORD ID_LINK = 1011;
const WORD ID_OTHER_STATIC = 1012;
const UINT ID_CMD_ADD = 32781;
const UINT WM_QUESTION = WM_APP + 5;
const UINT WM_UNROUTED = WM_APP + 6;

DialogTemplate ProbeTemplate()
{
    DialogTemplate tmpl(L"Routing probe", 240, 120);
    tmpl.Add(L"EDIT", L"", ID_EDIT, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 100, 14)
        .Add(L"COMBOBOX", L"", ID_COMBO, CBS_DROPDOWNLIST | WS_TABSTOP, 10, 30, 100, 60)
        .Add(L"BUTTON", L"Routed", ID_ROUTED_BUTTON, BS_PUSHBUTTON | WS_TABSTOP, 120, 10, 50, 14)
        .Add(L"STATIC", L"link", ID_LINK, SS_NOTIFY, 120, 30, 50, 8)
        .Add(L"STATIC", L"other", ID_OTHER_STATIC, SS_NOTIFY, 120, 42, 50, 8)
        .Add(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 120, 90, 50, 14)
        .Add(L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 180, 90, 50, 14);
    return tmpl;
}

class CRoutingProbe : public CTestDialog {
public:
    using CTestDialog::CTestDialog;

    std::vector<std::wstring> m_log;
    int m_addCommands = 0;
    int m_buttonCommands = 0;
    std::vector<UINT> m_notifyCodes;
    bool m_letSetTextThrough = false;
    HBRUSH m_brush = ::GetSysColorBrush(COLOR_INFOBK);
    HICON m_dragIcon = ::LoadIconW(nullptr, IDI_WARNING);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITDIALOG)
            m_log.push_back(L"hook WM_INITDIALOG");
        if (message == WM_QUESTION)
            m_log.push_back(L"hook WM_QUESTION");
        return CTestDialog::WindowProc(message, wParam, lParam);
    }

protected:
    const RouteTable& Routes() const override
    {
        static const RouteTable routes = {
            CommandRoute(ID_CMD_ADD, &CRoutingProbe::OnAdd),
            CommandRoute(ID_ROUTED_BUTTON, &CRoutingProbe::OnRoutedButton),
            NotifyRoute(NM_CLICK, ID_LINK, &CRoutingProbe::OnLink),
            NotifyRoute(NM_RETURN, ID_LINK, &CRoutingProbe::OnLink),
            MessageRoute(WM_QUESTION, &CRoutingProbe::OnQuestion),
            MessageRoute(WM_SETTEXT, &CRoutingProbe::OnSetText),
            MessageRoute(WM_CTLCOLORSTATIC, &CRoutingProbe::OnCtlColorStatic),
            MessageRoute(WM_QUERYDRAGICON, &CRoutingProbe::OnQueryDragIcon),
        };
        return routes;
    }

    BOOL OnInitDialog() override
    {
        m_log.push_back(L"OnInitDialog");
        return CTestDialog::OnInitDialog();
    }

private:
    void OnAdd() { ++m_addCommands; }
    void OnRoutedButton() { ++m_buttonCommands; }
    LRESULT OnLink(NMHDR* header)
    {
        m_notifyCodes.push_back(header->code);
        return 0x55;
    }
    LRESULT OnQuestion(WPARAM wParam, LPARAM lParam, bool&)
    {
        m_log.push_back(L"OnQuestion");
        return static_cast<LRESULT>(wParam + lParam);
    }
    LRESULT OnSetText(WPARAM, LPARAM, bool& handled)
    {
        handled = !m_letSetTextThrough;
        return TRUE;
    }
    LRESULT OnCtlColorStatic(WPARAM, LPARAM, bool&) { return reinterpret_cast<LRESULT>(m_brush); }
    LRESULT OnQueryDragIcon(WPARAM, LPARAM, bool&) { return reinterpret_cast<LRESULT>(m_dragIcon); }
};

LRESULT SendNotify(HWND dialog, UINT code, UINT_PTR id)
{
    NMHDR header = {};
    header.hwndFrom = ::GetDlgItem(dialog, static_cast<int>(id));
    header.idFrom = id;
    header.code = code;
    return ::SendMessageW(dialog, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

} // namespace

TEST(FrameworkRouting, CommandsReachTheirHandlerOnlyFromMenusAcceleratorsAndClicks)
{
    struct Case {
        const char* what;
        WORD code;
        WORD controlForLParam; // 0: no control window in lParam
        int expectedCalls;
    };
    const Case cases[] = {
        {"menu item", 0, 0, 1},
        {"accelerator", 1, 0, 1},
        {"button click", BN_CLICKED, ID_ROUTED_BUTTON, 1},
        {"edit change from a control", EN_CHANGE, ID_EDIT, 0},
        {"combo selection change (code 1 from a control)", CBN_SELCHANGE, ID_COMBO, 0},
        {"edit focus from a control", EN_SETFOCUS, ID_EDIT, 0},
    };
    DialogTemplate tmpl = ProbeTemplate();
    for (const Case& c : cases) {
        CRoutingProbe dialog(tmpl.Get());
        dialog.m_script = [&](CTestDialog& d) {
            const HWND control = c.controlForLParam ? d.GetDlgItem(c.controlForLParam) : nullptr;
            ::SendMessageW(d.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CMD_ADD, c.code),
                           reinterpret_cast<LPARAM>(control));
            return IDOK;
        };
        EXPECT_EQ(IDOK, dialog.DoModal()) << c.what;
        EXPECT_EQ(c.expectedCalls, dialog.m_addCommands) << c.what;
    }
}

TEST(FrameworkRouting, AClickedButtonRunsItsCommandHandler)
{
    DialogTemplate tmpl = ProbeTemplate();
    CRoutingProbe dialog(tmpl.Get());
    dialog.m_script = [](CTestDialog& d) {
        // The button itself sends WM_COMMAND/BN_CLICKED to the dialog.
        ::SendMessageW(d.GetDlgItem(ID_ROUTED_BUTTON), BM_CLICK, 0, 0);
        ::SendMessageW(d.GetDlgItem(ID_ROUTED_BUTTON), BM_CLICK, 0, 0);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(2, dialog.m_buttonCommands);
    EXPECT_EQ(0, dialog.m_addCommands);
}

TEST(FrameworkRouting, NotificationsMatchCodeAndControlAndAnswerThroughTheMessageResult)
{
    struct Case {
        UINT code;
        UINT_PTR id;
        LRESULT expectedAnswer;
        bool expectedRouted;
    };
    const Case cases[] = {
        {NM_CLICK, ID_LINK, 0x55, true},
        {NM_RETURN, ID_LINK, 0x55, true},
        {NM_DBLCLK, ID_LINK, 0, false},
        {NM_CLICK, ID_OTHER_STATIC, 0, false},
    };
    DialogTemplate tmpl = ProbeTemplate();
    for (const Case& c : cases) {
        CRoutingProbe dialog(tmpl.Get());
        LRESULT answer = -1;
        LONG_PTR messageResult = -1;
        dialog.m_script = [&](CTestDialog& d) {
            ::SetWindowLongPtrW(d.m_hWnd, DWLP_MSGRESULT, 0);
            answer = SendNotify(d.m_hWnd, c.code, c.id);
            messageResult = ::GetWindowLongPtrW(d.m_hWnd, DWLP_MSGRESULT);
            return IDOK;
        };
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(c.expectedAnswer, answer) << "code " << static_cast<int>(c.code) << " id " << c.id;
        EXPECT_EQ(c.expectedAnswer, messageResult);
        if (c.expectedRouted)
            EXPECT_EQ(std::vector<UINT>{c.code}, dialog.m_notifyCodes);
        else
            EXPECT_TRUE(dialog.m_notifyCodes.empty());
    }
}

TEST(FrameworkRouting, MessageHandlerResultReachesTheSender)
{
    DialogTemplate tmpl = ProbeTemplate();
    CRoutingProbe dialog(tmpl.Get());
    LRESULT routed = 0, zeroAfterwards = -1, unrouted = -1;
    dialog.m_script = [&](CTestDialog& d) {
        routed = ::SendMessageW(d.m_hWnd, WM_QUESTION, 20, 22);
        // A 0 answer right after another one is not left holding the earlier result.
        zeroAfterwards = ::SendMessageW(d.m_hWnd, WM_QUESTION, 0, 0);
        unrouted = ::SendMessageW(d.m_hWnd, WM_UNROUTED, 20, 22);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(42, routed);
    EXPECT_EQ(0, zeroAfterwards);
    EXPECT_EQ(0, unrouted);
}

TEST(FrameworkRouting, ResultsThatDialogProceduresReturnDirectlyAreNotTurnedIntoTrue)
{
    DialogTemplate tmpl = ProbeTemplate();
    CRoutingProbe dialog(tmpl.Get());
    LRESULT brush = 0, icon = 0;
    dialog.m_script = [&](CTestDialog& d) {
        const HDC dc = ::GetDC(d.m_hWnd);
        brush = ::SendMessageW(d.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(d.GetDlgItem(ID_LINK)));
        ::ReleaseDC(d.m_hWnd, dc);
        icon = ::SendMessageW(d.m_hWnd, WM_QUERYDRAGICON, 0, 0);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.m_brush), brush);
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.m_dragIcon), icon);
}

TEST(FrameworkRouting, AHandlerThatClearsHandledLetsTheDefaultProcessingRun)
{
    DialogTemplate tmpl = ProbeTemplate();
    for (bool letThrough : {false, true}) {
        CRoutingProbe dialog(tmpl.Get());
        dialog.m_letSetTextThrough = letThrough;
        std::wstring caption;
        dialog.m_script = [&](CTestDialog& d) {
            ::SendMessageW(d.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Changed"));
            wchar_t text[64] = {};
            // WM_GETTEXT is not routed: the default processing answers it.
            ::SendMessageW(d.m_hWnd, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
            caption = text;
            return IDOK;
        };
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(letThrough ? L"Changed" : L"Routing probe", caption) << "let through " << letThrough;
    }
}

TEST(FrameworkRouting, TheWindowProcHookSeesEveryMessageBeforeTheTable)
{
    DialogTemplate tmpl = ProbeTemplate();
    CRoutingProbe dialog(tmpl.Get());
    dialog.m_script = [](CTestDialog& d) {
        ::SendMessageW(d.m_hWnd, WM_QUESTION, 1, 1);
        return IDOK;
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    const std::vector<std::wstring> expected = {L"hook WM_INITDIALOG", L"OnInitDialog",
                                                L"hook WM_QUESTION", L"OnQuestion"};
    EXPECT_EQ(expected, dialog.m_log);
}
