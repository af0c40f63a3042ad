// The main window on the screen it opens on: it lies inside the monitor's work area; where the
// template fits, the layout is the template's to the pixel; where it does not, only the program
// list and its group box got shorter, the controls below them moved up by as much, and the list
// still shows five rows. The test command runs this suite again on small screens at 96 and 144
// DPI with KESTRUNE_FIT_EXPECT=shrink, which insists that the screen really was too small; at
// 144 DPI it also saves the window's picture.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/main_window_harness.h"
#include "tests/ui/png_writer.h"
#include "ui/common/label_fit.h"
#include "ui/main/main_window_fit.h"

using namespace main_window_test;

namespace {

struct ShrinkCase {
    int window, available, list, listMinimum, expected;
};

TEST(MainWindowFitRule, TheListGivesUpWhatIsMissingDownToItsMinimum)
{
    const ShrinkCase cases[] = {
        {725, 1024, 250, 120, 0},    // fits with room to spare
        {720, 720, 250, 120, 0},     // fits exactly
        {760, 720, 250, 120, 40},    // 40 pixels too tall
        {1091, 1032, 385, 190, 59},
        {900, 720, 250, 120, 130},   // more missing than the list can give: down to its minimum
        {900, 720, 120, 120, 0},     // the list is at its minimum already
        {900, 720, 100, 120, 0},     // and never grows
    };
    for (const ShrinkCase& c : cases)
        EXPECT_EQ(c.expected, ListShrinkNeeded(c.window, c.available, c.list, c.listMinimum))
            << c.window << " in " << c.available << ", list " << c.list << " of at least " << c.listMinimum;
}

struct Layout {
    RECT frame = {};
    RECT work = {};
    RECT client = {};
    std::vector<RECT> children;  // in the dialog's client coordinates, in z-order
    std::vector<int> ids;
};

Layout LayoutOf(HWND dialog)
{
    Layout layout;
    ::GetWindowRect(dialog, &layout.frame);
    ::GetClientRect(dialog, &layout.client);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    layout.work = monitor.rcWork;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = {};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
        layout.children.push_back(rect);
        layout.ids.push_back(::GetDlgCtrlID(child));
    }
    return layout;
}

int Height(const RECT& rect) { return rect.bottom - rect.top; }

bool Same(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

RECT Shifted(RECT rect, int dy)
{
    ::OffsetRect(&rect, 0, dy);
    return rect;
}

RECT Shortened(RECT rect, int dy)
{
    rect.bottom -= dy;
    return rect;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// The layout as the template gives it: the same template in a dialog without any code of ours
// but what places the controls in any window.
Layout TemplateLayout()
{
    const HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_KESTRUNE_DIALOG),
                                             nullptr, PlainDialogProc, 0);
    EXPECT_NE(nullptr, dialog);
    // The spinner places itself beside its count edit, which gets narrower, in any window.
    ::SendDlgItemMessageW(dialog, IDC_SPIN_DUMP_COUNT, UDM_SETBUDDY,
                          reinterpret_cast<WPARAM>(::GetDlgItem(dialog, IDC_EDIT_DUMP_COUNT)), 0);
    // Labels too narrow for their texts in this display's font grow beside themselves, in any height.
    WidenClippedLabels(dialog);
    const Layout layout = LayoutOf(dialog);
    ::DestroyWindow(dialog);
    return layout;
}

class MainWindowFit : public MainWindowTest {};

TEST_F(MainWindowFit, LiesInTheWorkAreaAndKeepsTheTemplateLayoutWhereItFits)
{
    // Stored settings and a few rows, for the picture.
    StoreSampleConfiguration();

    const Layout original = TemplateLayout();
    Layout fitted;
    int rowsPerPage = 0;
    int dpi = 0;
    RgbImage picture;
    CMainWindowProbe window;
    window.steps = {[&](CMainWindowProbe& w) {
        fitted = LayoutOf(w.GetSafeHwnd());
        rowsPerPage = static_cast<int>(::SendMessageW(w.ListWindow(), LVM_GETCOUNTPERPAGE, 0, 0));
        const HDC screen = ::GetDC(nullptr);
        dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        if (dpi == 144) {
            ::RedrawWindow(w.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            PumpFor(200);
            picture = CaptureWindow(w.GetSafeHwnd());
        }
    }};
    ASSERT_EQ(PROBE_FINISHED, window.Run());
    ASSERT_EQ(original.children.size(), fitted.children.size());
    ASSERT_EQ(original.ids, fitted.ids);

    const RECT& work = fitted.work;
    EXPECT_GE(fitted.frame.top, work.top);
    EXPECT_LE(fitted.frame.bottom, work.bottom);
    EXPECT_GE(fitted.frame.left, work.left);
    EXPECT_LE(fitted.frame.right, work.right);

    const int tooTall = Height(original.frame) - Height(work);
    const char* expect = std::getenv("KESTRUNE_FIT_EXPECT");
    if (expect && std::string(expect) == "shrink") {
        ASSERT_GT(tooTall, 0) << "the window fits this screen as it is: " << Height(original.frame) << " in "
                              << Height(work) << " pixels at " << dpi << " DPI";
    }

    if (tooTall <= 0) {
        EXPECT_EQ(Height(original.frame), Height(fitted.frame));
        for (size_t i = 0; i < fitted.children.size(); ++i)
            EXPECT_TRUE(Same(original.children[i], fitted.children[i])) << "control " << original.ids[i] << " moved";
        return;
    }

    const int shrink = Height(original.frame) - Height(fitted.frame);
    EXPECT_EQ(tooTall, shrink) << "the list had room to give";
    size_t listIndex = 0;
    while (listIndex < original.ids.size() && original.ids[listIndex] != IDC_LIST_PROGRAMS)
        ++listIndex;
    ASSERT_LT(listIndex, original.ids.size());
    const RECT list = original.children[listIndex];
    int shortened = 0;
    for (size_t i = 0; i < fitted.children.size(); ++i) {
        const RECT& was = original.children[i];
        const RECT& is = fitted.children[i];
        const int id = original.ids[i];
        if (was.top <= list.top && was.bottom >= list.bottom) {
            EXPECT_TRUE(Same(Shortened(was, shrink), is)) << "control " << id << " around the list";
            ++shortened;
        } else if (was.top > list.top) {
            EXPECT_TRUE(Same(Shifted(was, -shrink), is)) << "control " << id << " below the list";
        } else {
            EXPECT_TRUE(Same(was, is)) << "control " << id << " above the list moved";
        }
        // Every control is on the window's face, none beyond the client area.
        EXPECT_GE(is.top, 0) << "control " << id;
        EXPECT_LE(is.bottom, fitted.client.bottom) << "control " << id;
    }
    EXPECT_EQ(2, shortened) << "the list and its group box";
    EXPECT_GE(rowsPerPage, LIST_MINIMUM_ROWS);
    if (dpi == 144) {
        ::CreateDirectoryW(L"screenshots", nullptr);
        EXPECT_GE(picture.DistinctColours(16), 8u);
        EXPECT_TRUE(WritePng(L"screenshots\\main-window-150.png", picture));
    }
}

} // namespace
