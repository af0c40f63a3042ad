#pragma once
// Drives the real Kestrune.exe from a test program, as a user would, across the process boundary:
// starting and stopping it, finding its windows and message boxes, reading and setting control
// texts and states, reading the rows of its list views, typing keys, clicking, waiting for
// something to happen, and taking screenshots. Only messages that the system marshals between
// processes are used; list-view items go through memory allocated in the program's process.
// Menus cannot be read from outside (their commands can be sent as WM_COMMAND).
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/window_wait.h"

namespace e2e {

// Polls the predicate every 20 ms until it holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& predicate, DWORD timeoutMs = 10000);

// ---------------------------------------------------------------------------------------------
// The program's process.

class ProgramProcess {
public:
    ProgramProcess() = default;
    ~ProgramProcess();  // a program still running is terminated
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // Kestrune.exe beside the running test program.
    static std::wstring DefaultPath();

    // Starts the program and waits until it is idle and its main window (a dialog with this
    // caption, owned by the new process) is visible. False, with the process stopped, otherwise.
    bool Start(const std::wstring& path = DefaultPath(), const std::wstring& mainCaption = L"Kestrune",
               DWORD timeoutMs = WINDOW_APPEARS_MS);

    DWORD Id() const { return m_pi.dwProcessId; }
    HANDLE Handle() const { return m_pi.hProcess; }
    HWND MainWindow() const { return m_mainWindow; }
    // GetTickCount64() when Start first saw the main window visible.
    ULONGLONG ShownAt() const { return m_shownAt; }

    bool IsRunning() const;
    // Posts WM_CLOSE to the main window; the program may still ask a question before it exits.
    void RequestClose() const;
    bool WaitForExit(DWORD timeoutMs = 10000) const;
    // The exit code; STILL_ACTIVE while running, (DWORD)-1 without a process.
    DWORD ExitCode() const;
    // Ends the process at once and waits for it.
    void Terminate(UINT exitCode = 0xDEAD);

private:
    void Release();

    PROCESS_INFORMATION m_pi = {};
    HWND m_mainWindow = nullptr;
    ULONGLONG m_shownAt = 0;
};

// ---------------------------------------------------------------------------------------------
// Windows of a process.

std::wstring ClassNameOf(HWND window);
std::wstring TextOf(HWND window);  // WM_GETTEXT, any length
bool IsDialogWindow(HWND window);  // class #32770

// The top-level windows of the process, in z-order; with visibleOnly the hidden ones are left out.
std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly = true);
// The first visible top-level dialog of the process with exactly this caption, or null.
HWND FindDialog(DWORD processId, const std::wstring& caption);
HWND WaitForDialog(DWORD processId, const std::wstring& caption, DWORD timeoutMs = WINDOW_APPEARS_MS);

struct BoxButton {
    int id;
    std::wstring text;
    bool isDefault;  // BS_DEFPUSHBUTTON style; DM_GETDEFID is no guide in message boxes
};

struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    std::vector<BoxButton> buttons;  // in child-window order

    explicit operator bool() const { return window != nullptr; }
    // The id of the default button, 0 when none has the style.
    int DefaultButton() const;
    std::vector<std::wstring> ButtonTexts() const;
};

// A message box of the process: a visible #32770 with a static of id 0xFFFF.
MessageBoxInfo FindMessageBox(DWORD processId);
MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs = WINDOW_APPEARS_MS);
// Presses a button of a dialog or message box by posting BM_CLICK (a sent click would not
// return while a modal loop that it opens runs).
bool PressButton(HWND dialog, int id);

// ---------------------------------------------------------------------------------------------
// Controls.

std::wstring ControlText(HWND dialog, int id);
bool SetControlText(HWND dialog, int id, const std::wstring& text);  // WM_SETTEXT
int CheckState(HWND dialog, int id);                                 // BM_GETCHECK
bool IsControlEnabled(HWND dialog, int id);
bool IsControlVisible(HWND dialog, int id);
int ComboCount(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);                   // CB_ERR when none
std::wstring ComboItemText(HWND dialog, int id, int index);
bool SelectComboItem(HWND dialog, int id, int index);     // CB_SETCURSEL plus the CBN_SELCHANGE a user makes
// Posts a WM_COMMAND as a menu item or accelerator would.
void PostCommand(HWND window, UINT id);

// A list view of another process. Item texts and items travel through a buffer allocated in the
// owning process.
class RemoteListView {
public:
    explicit RemoteListView(HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    bool IsUsable() const { return m_buffer != nullptr; }
    int RowCount() const;
    int ColumnCount() const;
    std::wstring CellText(int row, int column) const;
    std::vector<std::wstring> RowTexts(int row) const;  // every column
    UINT ItemState(int row, UINT mask = LVIS_SELECTED | LVIS_FOCUSED) const;
    // The item data (LVIF_PARAM); false when the item cannot be read.
    bool ItemData(int row, LPARAM& data) const;
    std::vector<int> SelectedRows() const;
    // Sets the masked state bits of a row (-1: every row) as LVM_SETITEMSTATE does.
    bool SetItemState(int row, UINT state, UINT mask) const;
    // The row's bounds (LVIR_BOUNDS) in screen coordinates; false when the row has none.
    bool RowRect(int row, RECT& screenRect) const;

private:
    bool Write(const void* data, SIZE_T size, SIZE_T offset) const;
    bool Read(void* data, SIZE_T size, SIZE_T offset) const;

    HWND m_list;
    HANDLE m_process = nullptr;
    BYTE* m_buffer = nullptr;  // in the other process
};

// ---------------------------------------------------------------------------------------------
// Keyboard and mouse.

// The control with the keyboard focus in the GUI thread that owns the window, or null.
HWND FocusedControl(HWND anyWindowOfThread);
// Posts the key's WM_KEYDOWN and WM_KEYUP to that control (plain keys: F5, Escape, Enter, Tab).
bool PostKeyToFocus(HWND anyWindowOfThread, UINT virtualKey);
// Brings the window to the foreground and types Ctrl+key with real input, for accelerators.
bool SendCtrlKey(HWND window, UINT virtualKey);
// Moves the cursor to the screen point and clicks the left button with real input; the press and
// the release carry the point as well, whatever else moves the cursor meanwhile.
bool ClickAt(POINT screenPoint);
// The same with the right button, released two pixels up and to the left, so that a menu opened at
// the point does not open under the pointer.
bool RightClickAt(POINT screenPoint);
// Moves the pointer from beside the window's top-level window onto the screen point and waits
// until the program has read every X event up to that entry: focus and crossing events left by a
// window that opened or closed, which would otherwise come in the middle of the next steps.
bool EnterWindowAndSettle(HWND window, POINT screenPoint);
// Brings the window to the foreground and waits until it is there.
bool BringToForeground(HWND window);
// Presses the keys in order and releases them in reverse order with real input, to whatever has
// the keyboard now (an open menu included): {VK_MENU, 'E'} is Alt+E, {VK_DOWN} one arrow key.
bool TypeChord(const std::vector<UINT>& virtualKeys);
// Gives a control of a dialog the keyboard focus as the dialog manager does (WM_NEXTDLGCTL) and
// waits until it has it.
bool FocusControl(HWND dialog, int id);
// Posts one WM_CHAR per character to the control, as typing into it does.
bool TypeText(HWND control, const std::wstring& text);
// Whether the thread that owns the window is in a menu loop (a menu bar entered with Alt, or an
// open popup menu).
bool IsInMenuMode(HWND anyWindowOfThread);
// A visible popup menu window (#32768) of the process, or null.
HWND FindPopupMenu(DWORD processId);
// The centre of a window in screen coordinates.
POINT CentreOf(HWND window);

// ---------------------------------------------------------------------------------------------
// Screenshots.

// The folder for screenshots: "screenshots" beside the running test program (build/screenshots).
std::wstring ScreenshotFolder();
// Copies the window's screen area into a 24-bit BMP file <folder>\<name>.bmp; returns its path,
// empty on failure.
std::wstring SaveScreenshot(HWND window, const std::wstring& name);

} // namespace e2e
