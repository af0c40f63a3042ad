#pragma once
// Runs the real program settings dialog in-process, the way the program list runs it: modally,
// over a main window of the application that answers the duplicate-name question. The test
// drives the dialog with a list of steps; each step runs from its own posted message once the
// dialog is shown, so that whatever a step posts (a click, a command) is handled before the next
// step looks at the result. Message boxes are captured through the framework's hook.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "model/dump_settings.h"

namespace prog_dialog_test {

// What AppMessageBox was asked to show, and which control had the focus at that moment.
struct ShownBox {
    std::wstring text;
    UINT type;
    int focusId;
};

// One WM_APP_FINDPROCESS that reached the main window.
struct FindQuestion {
    std::wstring name;
    LPARAM row;
};

using Step = std::function<void(HWND dialog)>;

struct ProgDialogRun {
    // Input.
    int row = -1;              // -1: add mode
    LRESULT findAnswer = 0;    // the main window's answer to the duplicate question
    std::vector<Step> steps;   // after the last step a dialog still open ends with RUN_LEFT_OPEN

    // Outcome.
    INT_PTR result = 0;
    BOOL initResult = TRUE;    // what OnInitDialog returned
    int focusAfterInit = 0;    // id of the control with the focus right after OnInitDialog
    HICON exeIcon = nullptr;   // what static 1016 showed while the dialog ran
    std::vector<ShownBox> boxes;
    std::vector<FindQuestion> questions;
    int helpRequests = 0;      // WM_HELP that reached the main window
};

const INT_PTR RUN_TIMED_OUT = -77;
const INT_PTR RUN_LEFT_OPEN = -78;

// Runs the dialog on `entry` and fills the outcome members of `run`.
void RunProgDialog(ProgDialogRun& run, ProgramEntry& entry);

// An entry with every setting given.
ProgramEntry GivenEntry(const wchar_t* name, const wchar_t* folder, DWORD dumpType, LONG dumpCount,
                        BOOL setAcl);

// Step helpers.
void SetText(HWND dialog, int id, const std::wstring& text);
std::wstring GetText(HWND dialog, int id);
void PostCommand(HWND dialog, UINT id);   // a menu command or a button, as WM_COMMAND
void PostClick(HWND dialog, int id);      // BM_CLICK on a button
int FocusedId(HWND dialog);               // 0 when the focus is not on a child of the dialog

} // namespace prog_dialog_test
