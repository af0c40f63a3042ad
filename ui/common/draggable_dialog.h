#pragma once
// A modal dialog that moves when its background or the empty part of its menu bar is dragged:
// every message goes to HandleWindowDrag with the dialog's own DragState before its normal
// processing. Every dialog of the program derives from it.
#include "framework/modal_dialog.h"
#include "ui/common/window_drag.h"

class CDraggableDialog : public CModalDialog {
public:
    explicit CDraggableDialog(UINT templateId, HWND parent = nullptr) : CModalDialog(templateId, parent) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (HandleWindowDrag(message, wParam, lParam, m_hWnd, m_dragState))
            return 0;
        return CModalDialog::WindowProc(message, wParam, lParam);
    }

protected:
    DragState m_dragState = {};
};
