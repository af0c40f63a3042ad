// Every static text and check box of the main window (its settings panel included) and of the
// program settings dialog shows whole in its box, in the font and at the DPI of the display, and no label that grew
// lies over another control. The test command runs this suite at 96 and at 144 DPI (150 %).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/ui_dialog_template.h"
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

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// The rule on a dialog of chosen shape: a label grows to the right up to the control beside it,
// the group box around it or the dialog's edge and no further; where that is not enough, the
// controls after it on its line move right into free space; one that fits stays as it is.
TEST(LabelWidening, GrowsIntoTheRoomBesideItAndNoFurther)
{
    const wchar_t* const tooLong = L"A text far longer than any box here";
    DialogTemplate tmpl(L"Labels", 240, 90);
    tmpl.Add(L"STATIC", tooLong, 101, SS_LEFT, 5, 5, 30, 8)
        .Add(L"EDIT", L"", 102, WS_BORDER, 80, 4, 60, 12)
        .Add(L"BUTTON", L"Group", 103, BS_GROUPBOX, 5, 20, 120, 40)
        .Add(L"STATIC", tooLong, 104, SS_LEFT, 10, 35, 30, 8)
        .Add(L"STATIC", L"&Fits", 105, SS_LEFT, 150, 5, 60, 8)
        .Add(L"STATIC", L"Wide text", 106, SS_LEFT, 150, 35, 10, 8)
        .Add(L"STATIC", L"Pushes its neighbour", 107, SS_LEFT, 5, 70, 10, 8)
        .Add(L"EDIT", L"", 108, WS_BORDER, 20, 68, 40, 12);
    const HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), tmpl.Get(), nullptr,
                                                     PlainDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    RECT before[9] = {};
    for (int id = 101; id <= 108; ++id)
        before[id - 100] = ChildRect(dialog, ::GetDlgItem(dialog, id));

    EXPECT_EQ(4, WidenClippedLabels(dialog));
    RECT after[9] = {};
    for (int id = 101; id <= 107; ++id) {
        after[id - 100] = ChildRect(dialog, ::GetDlgItem(dialog, id));
        EXPECT_EQ(before[id - 100].left, after[id - 100].left) << id;
        EXPECT_EQ(before[id - 100].bottom, after[id - 100].bottom) << id;
    }
    EXPECT_GT(after[1].right, before[1].right);
    EXPECT_GT(after[4].right, before[4].right);
    EXPECT_GT(after[6].right, before[6].right);
    EXPECT_TRUE(::EqualRect(&before[5], &after[5]));
    after[8] = ChildRect(dialog, ::GetDlgItem(dialog, 108));
    EXPECT_GT(after[8].left, before[8].left);
    EXPECT_EQ(before[8].right - before[8].left, after[8].right - after[8].left);
    // Only the two long texts are still cut, and no label lies over another control.
    const std::string expected = "\"A text far longer than any box here\" needs";
    const std::string problems = LabelProblems(dialog);
    EXPECT_EQ(0u, problems.find(expected)) << problems;
    EXPECT_NE(std::string::npos, problems.find(expected, 1)) << problems;
    EXPECT_EQ(2, std::count(problems.begin(), problems.end(), '\n')) << problems;
    ::DestroyWindow(dialog);
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
