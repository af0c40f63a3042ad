#include "ui/common/label_fit.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The width of a group box's frame, in dialog units: a label grows up to the frame's inner edge.
// Up to a control beside it or the dialog's edge a label may grow until it touches them: its text,
// drawn from the left, still ends before the box does.
const int GROUP_FRAME_DLU = 1;

bool HasClass(HWND window, const wchar_t* className)
{
    wchar_t name[32] = {};
    return ::GetClassNameW(window, name, 32) > 0 && ::lstrcmpiW(name, className) == 0;
}

// A static that draws a text (not an icon, a frame or a line).
bool IsTextLabel(HWND window)
{
    if (!HasClass(window, L"Static"))
        return false;
    switch (::GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_LEFTNOWORDWRAP:
    case SS_SIMPLE:
        return true;
    default:
        return false;
    }
}

// A check box or a radio button: its caption is a label beside its mark.
bool IsMarkedButton(HWND window)
{
    if (!HasClass(window, L"Button"))
        return false;
    switch (::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

bool IsGroupBox(HWND window)
{
    return HasClass(window, L"Button") && (::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

// The size of the text drawn with `format` into a box `width` pixels wide.
SIZE DrawnSize(HDC dc, const std::wstring& text, UINT format, int width)
{
    RECT rect = {0, 0, width, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    return SIZE{rect.right, rect.bottom};
}

bool OnLineOf(const RECT& rect, const RECT& box)
{
    return rect.top < box.bottom && rect.bottom > box.top;
}

bool Encloses(const RECT& outer, const RECT& inner)
{
    return outer.left <= inner.left && outer.right >= inner.right && outer.top <= inner.top &&
           outer.bottom >= inner.bottom;
}

int GroupFrameWidth(HWND dialog)
{
    RECT frame = {0, 0, GROUP_FRAME_DLU, 0};
    ::MapDialogRect(dialog, &frame);
    return frame.right;
}

// The right edge of the space that holds `box`: the inner edge of the innermost group box around
// it, or the dialog's edge.
int ContainerRight(HWND dialog, const RECT& box)
{
    RECT client = {};
    ::GetClientRect(dialog, &client);
    int right = client.right;
    for (HWND other = ::GetWindow(dialog, GW_CHILD); other; other = ::GetWindow(other, GW_HWNDNEXT)) {
        const RECT rect = ChildRect(dialog, other);
        if (IsGroupBox(other) && Encloses(rect, box))
            right = std::min(right, static_cast<int>(rect.right) - GroupFrameWidth(dialog));
    }
    return right;
}

// The rightmost edge that the label in `box` may reach: the edge of the space that holds it, and
// the left edge of every control beside it on its line. Hidden controls count: they may show later.
int RightLimit(HWND dialog, HWND label, const RECT& box)
{
    int limit = ContainerRight(dialog, box);
    for (HWND other = ::GetWindow(dialog, GW_CHILD); other; other = ::GetWindow(other, GW_HWNDNEXT)) {
        const RECT rect = ChildRect(dialog, other);
        if (other != label && OnLineOf(rect, box) && rect.left > box.left && !(IsGroupBox(other) && Encloses(rect, box)))
            limit = std::min(limit, static_cast<int>(rect.left));
    }
    return limit;
}

// Where a label too wide for the room beside it still lacks `by` pixels, the controls after it on
// its line, in the space that holds it, move right as one when there is free space behind them:
// none may then lie over another control or reach beyond that space.
bool MoveNeighboursRight(HWND dialog, HWND label, const RECT& box, int by)
{
    const int right = ContainerRight(dialog, box);
    std::vector<HWND> moving, staying;
    for (HWND other = ::GetWindow(dialog, GW_CHILD); other; other = ::GetWindow(other, GW_HWNDNEXT)) {
        const RECT rect = ChildRect(dialog, other);
        if (other != label && OnLineOf(rect, box) && rect.left >= box.right && rect.right <= right &&
            !IsGroupBox(other))
            moving.push_back(other);
        else if (other != label)
            staying.push_back(other);
    }
    for (HWND control : moving) {
        RECT moved = ChildRect(dialog, control);
        ::OffsetRect(&moved, by, 0);
        if (moved.right > right)
            return false;
        for (HWND other : staying) {
            const RECT rect = ChildRect(dialog, other);
            RECT overlap = {};
            if (!(IsGroupBox(other) && Encloses(rect, moved)) && ::IntersectRect(&overlap, &rect, &moved))
                return false;
        }
    }
    for (HWND control : moving) {
        const RECT rect = ChildRect(dialog, control);
        ::SetWindowPos(control, nullptr, rect.left + by, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return !moving.empty();
}

} // namespace

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int LabelTextWidth(HWND label)
{
    const std::wstring text = TextOf(label);
    if (text.empty())
        return 0;
    const LONG style = ::GetWindowLongW(label, GWL_STYLE);
    const LONG type = style & SS_TYPEMASK;
    const UINT format = DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0) |
                        ((type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) ? DT_SINGLELINE : DT_WORDBREAK);
    RECT client = {};
    ::GetClientRect(label, &client);

    const HDC dc = ::GetDC(label);
    if (!dc)
        return 0;
    const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    const LONG height = std::max(client.bottom, metrics.tmHeight);
    // Measured as the static draws: wrapped at word breaks, the lines must fit the box's height.
    // The breaking may need a pixel or two more than the text measured on one line.
    const auto fits = [&](int width) {
        const SIZE drawn = DrawnSize(dc, text, format, width);
        return drawn.cy <= height && drawn.cx <= width;
    };
    int width = std::max(1, static_cast<int>(DrawnSize(dc, text, (format & ~DT_WORDBREAK) | DT_SINGLELINE, 0).cx));
    for (int step = 0; step < 32 && !fits(width); ++step)
        width += std::max(1, width / 32);
    int low = 1;
    while (low < width) {
        const int middle = low + (width - low) / 2;
        if (fits(middle))
            width = middle;
        else
            low = middle + 1;
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(label, dc);
    return width;
}

int MarkedButtonWidth(HWND button)
{
    SIZE ideal = {};
    return ::SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) ? ideal.cx : 0;
}

int WidenClippedLabels(HWND dialog)
{
    int widened = 0;
    for (HWND label = ::GetWindow(dialog, GW_CHILD); label; label = ::GetWindow(label, GW_HWNDNEXT)) {
        const bool marked = IsMarkedButton(label);
        if (!marked && !IsTextLabel(label))
            continue;
        RECT inner = {};
        ::GetClientRect(label, &inner);
        const int missing = (marked ? MarkedButtonWidth(label) : LabelTextWidth(label)) - inner.right;
        if (missing <= 0)
            continue;
        const RECT box = ChildRect(dialog, label);
        const int wanted = box.right + missing;
        int right = std::min(wanted, RightLimit(dialog, label, box));
        if (right < wanted && MoveNeighboursRight(dialog, label, box, wanted - right))
            right = std::min(wanted, RightLimit(dialog, label, box));
        if (right <= box.right)
            continue;
        ::SetWindowPos(label, nullptr, 0, 0, right - box.left, box.bottom - box.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ++widened;
    }
    return widened;
}
