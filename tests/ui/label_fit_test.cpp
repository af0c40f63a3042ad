// Every static text and check box of the main window (its settings panel included) and of the
// program settings dialog shows whole in its box, in the font and at the DPI of the display, and
// no label that grew lies over another control. The test command runs this suite at 96 and at
// 144 DPI (150 %).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/add_edit_prog_harness.h"
#include "tests/ui/main_window_harness.h"
#include "ui/common/label_fit.h"

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

bool HasClass(HWND window, const wchar_t* name)
{
    wchar_t className[32] = {};
    return ::GetClassNameW(window, className, 32) && ::lstrcmpiW(className, name) == 0;
}

// The labels of `dialog` whose text does not show whole or that lie over another control: one
// line each. A one-line box is measured with GetTextExtentPoint32 on the text as drawn (a single
// ampersand marks the mnemonic), a taller one by wrapping the text into the box's width.
std::string LabelProblems(HWND dialog)
{
    std::string problems;
    for (HWND label = ::GetWindow(dialog, GW_CHILD); label; label = ::GetWindow(label, GW_HWNDNEXT)) {
        const LONG style = ::GetWindowLongW(label, GWL_STYLE);
        const bool checkBox = HasClass(label, L"Button") && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
        wchar_t text[512] = {};
        if (!(checkBox || (HasClass(label, L"Static") && (style & SS_TYPEMASK) <= SS_RIGHT)) ||
            ::GetWindowTextW(label, text, 512) == 0)
            continue;
        std::wstring shown;
        for (size_t i = 0; text[i]; ++i)
            shown += text[i] == L'&' && text[i + 1] ? text[++i] : text[i];
        RECT box = {};
        ::GetClientRect(label, &box);
        const HDC dc = ::GetDC(label);
        const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics = {};
        ::GetTextMetricsW(dc, &metrics);
        SIZE needed = {};
        ::GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &needed);
        if (box.bottom >= 2 * metrics.tmHeight) {
            RECT wrapped = {0, 0, box.right, 0};
            ::DrawTextW(dc, shown.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            needed = {wrapped.right, wrapped.bottom};
        }
        SIZE ideal = {};  // a check box measures its mark and caption itself
        if (checkBox && ::SendMessageW(label, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)))
            needed = ideal;
        ::SelectObject(dc, old);
        ::ReleaseDC(label, dc);
        if (needed.cx > box.right || needed.cy > box.bottom)
            problems += "\"" + Narrow(shown) + "\" needs " + std::to_string(needed.cx) + "x" +
                        std::to_string(needed.cy) + ", has " + std::to_string(box.right) + "x" +
                        std::to_string(box.bottom) + "\n";
        const RECT rect = ChildRect(dialog, label);
        for (HWND other = ::GetWindow(dialog, GW_CHILD); other; other = ::GetWindow(other, GW_HWNDNEXT)) {
            RECT area = ChildRect(dialog, other), overlap = {};
            const bool around = ::IntersectRect(&overlap, &area, &rect) && ::EqualRect(&overlap, &rect);
            if (other != label && !around && ::IntersectRect(&overlap, &area, &rect))
                problems += "\"" + Narrow(shown) + "\" lies over control " + std::to_string(::GetDlgCtrlID(other)) + "\n";
        }
    }
    return problems;
}

class LabelFit : public main_window_test::MainWindowTest {};

TEST_F(LabelFit, EveryLabelOfTheMainWindowShowsWhole)
{
    std::string problems = "not run";
    main_window_test::CMainWindowProbe window;
    window.steps = {[&](main_window_test::CMainWindowProbe& w) { problems = LabelProblems(w.GetSafeHwnd()); }};
    ASSERT_EQ(main_window_test::PROBE_FINISHED, window.Run());
    EXPECT_EQ("", problems);
}

TEST_F(LabelFit, EveryLabelOfTheProgramDialogShowsWhole)
{
    std::string problems = "not run";
    ProgramEntry entry;
    prog_dialog_test::ProgDialogRun run;
    run.steps = {[&](HWND dialog) { problems = LabelProblems(dialog); }};
    prog_dialog_test::RunProgDialog(run, entry);
    EXPECT_EQ("", problems);
}

} // namespace
