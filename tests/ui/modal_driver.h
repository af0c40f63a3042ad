#pragma once
// Drives windows from inside a modal loop that a test has started: a thread timer runs one step
// at a time on the user-interface thread while the loop dispatches messages. A step returns true
// to let the next one run on a later tick. If the steps do not finish within the time limit (by
// default the time that a window may take to show), every dialog of the thread is sent IDCANCEL
// so that the test fails instead of hanging.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/window_wait.h"

class ModalDriver {
public:
    using Step = std::function<bool()>;

    explicit ModalDriver(std::vector<Step> steps, DWORD limitMs = WINDOW_APPEARS_MS);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    bool Finished() const { return m_next >= m_steps.size(); }
    bool TimedOut() const { return m_timedOut; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<Step> m_steps;
    size_t m_next = 0;
    DWORD m_deadline;
    bool m_timedOut = false;
    bool m_running = false;
    UINT_PTR m_timer;
};

// A step that waits until the dialog with this caption shows, and keeps its handle in `found`.
ModalDriver::Step WaitForDialog(const std::wstring& caption, HWND& found);

// The visible dialog of this thread with the given caption, or null.
HWND FindThreadDialog(const std::wstring& caption);
std::wstring WindowText(HWND window);
std::wstring ItemText(HWND dialog, int id);

// A step that waits until a dialog owned by `owner` shows, and keeps its handle in `found`.
ModalDriver::Step WaitForOwnedDialog(HWND owner, HWND& found);

// The visible dialog of this thread that `owner` owns (a message box, a common dialog), or null.
HWND FindOwnedDialog(HWND owner);
