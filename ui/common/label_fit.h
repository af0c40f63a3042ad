#pragma once
// Labels as wide as their texts. A dialog template sizes each static text for the font its author
// saw; drawn in another font or at another text scale, a text can be wider than its box, and the
// static then wraps the rest onto a line below the box, where nobody sees it ("Dump files" for
// "Dump files folder:"). When a dialog opens, every such label is widened to the right into the
// free space beside it: up to the next control on its line, the inner edge of the group box around
// it or the dialog's edge, never over another control. Where that is not enough, the controls
// after it on its line move right as one, when there is free space behind them.
#include <windows.h>

// A child's rectangle in its dialog's client coordinates.
RECT ChildRect(HWND dialog, HWND child);

// The width in pixels that the static text `label` needs so that its text shows whole in its box,
// drawn in its own font as the static draws it (a mnemonic ampersand takes no room); for a box
// tall enough for several lines, the narrowest width at which the wrapped text fits its height.
// 0 for an empty text.
int LabelTextWidth(HWND label);

// The width in pixels that a check box or radio button needs for its mark and its caption on one
// line, as the control itself measures them; 0 when it cannot tell.
int MarkedButtonWidth(HWND button);

// Widens every static text, check box and radio button of `dialog` that is too narrow for its
// text, as far as the room beside it allows; returns how many were widened. Run it once the
// controls have their places (a spinner beside its buddy edit, say).
int WidenClippedLabels(HWND dialog);
