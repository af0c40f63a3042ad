#pragma once
// Runs the real main window in-process against the test prefix's registry. The test hands it a
// list of steps; each step runs from its own posted message once the window is shown, so that
// whatever a step posts is handled before the next one looks. After the last step a window that
// is still open ends with PROBE_FINISHED. Message boxes are captured through the framework's hook.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/registry_fixture.h"
#include "tests/support/ui_list_view.h"
#include "tests/support/ui_message_pump.h"
#include "ui/main/kestrune_dlg.h"

namespace main_window_test {

const INT_PTR PROBE_FINISHED = 0x5EED;
const INT_PTR PROBE_TIMED_OUT = -77;

struct ShownBox {
    std::wstring text;
    UINT type;
    int focusId;  // the control of the main window that had the focus, 0 for none
};

class CMainWindowProbe;
using Step = std::function<void(CMainWindowProbe& window)>;

class CMainWindowProbe : public CKestruneDlg {
public:
    std::vector<Step> steps;
    // Answers of the captured message boxes, in order; when they run out, IDOK.
    std::vector<int> answers;
    // Runs while a captured box is open, before it is answered, with the box's number (from 0).
    std::function<void(size_t box)> whileBoxOpen;
    std::vector<ShownBox> boxes;

    // Makes this the application's main window and runs it modally.
    INT_PTR Run();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;

private:
    void RunStep(size_t index);
};

// Every main-window test starts without a LocalDumps key, with the common controls registered.
class MainWindowTest : public LocalDumpsTest {
protected:
    void SetUp() override;
};

// While a step runs a nested modal dialog, `drive` gets the first visible dialog of this thread
// with the caption, from a timer callback inside that dialog's loop. Gives up after
// WINDOW_APPEARS_MS.
void WhenWindowShows(const std::wstring& caption, std::function<void(HWND)> drive);

// Fills the program settings dialog with a name and confirms it.
void ConfirmProgramDialog(HWND dialog, const std::wstring& processName);

bool IsControlEnabled(HWND dialog, int id);
int FocusedId(HWND dialog);
void SetControlText(HWND dialog, int id, const std::wstring& text);
std::wstring ControlText(HWND dialog, int id);

}  // namespace main_window_test
