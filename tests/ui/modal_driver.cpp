#include "tests/ui/modal_driver.h"

#include "tests/support/e2e_driver.h"

namespace {

ModalDriver* s_driver = nullptr;

struct DialogSearch {
    const std::function<bool(HWND)>* accepts;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<DialogSearch*>(data);
    if (e2e::IsDialogWindow(window) && ::IsWindowVisible(window) && (*search->accepts)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The first visible dialog of this thread that `accepts`, or null.
HWND FindThreadDialogWhere(const std::function<bool(HWND)>& accepts)
{
    DialogSearch search = {&accepts, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM)
{
    if (e2e::IsDialogWindow(window))
        ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

} // namespace

ModalDriver::ModalDriver(std::vector<Step> steps, DWORD limitMs)
    : m_steps(std::move(steps)), m_deadline(::GetTickCount() + limitMs)
{
    s_driver = this;
    m_timer = ::SetTimer(nullptr, 0, 30, OnTimer);
}

ModalDriver::~ModalDriver()
{
    ::KillTimer(nullptr, m_timer);
    s_driver = nullptr;
}

void CALLBACK ModalDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_driver)
        s_driver->Tick();
}

void ModalDriver::Tick()
{
    // A step may run a modal loop of its own, in which this timer fires again.
    if (m_running)
        return;
    if (static_cast<LONG>(::GetTickCount() - m_deadline) > 0) {
        if (!Finished()) {
            m_timedOut = true;
            m_next = m_steps.size();
        }
        ::EnumThreadWindows(::GetCurrentThreadId(), CancelDialog, 0);
        return;
    }
    if (Finished())
        return;
    m_running = true;
    if (m_steps[m_next]())
        ++m_next;
    m_running = false;
}

ModalDriver::Step WaitForDialog(const std::wstring& caption, HWND& found)
{
    return [caption, &found] {
        found = FindThreadDialog(caption);
        return found != nullptr;
    };
}

HWND FindThreadDialog(const std::wstring& caption)
{
    return FindThreadDialogWhere([&caption](HWND window) { return WindowText(window) == caption; });
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

std::wstring ItemText(HWND dialog, int id)
{
    return WindowText(::GetDlgItem(dialog, id));
}

ModalDriver::Step WaitForOwnedDialog(HWND owner, HWND& found)
{
    return [owner, &found] {
        found = FindOwnedDialog(owner);
        return found != nullptr;
    };
}

HWND FindOwnedDialog(HWND owner)
{
    return FindThreadDialogWhere([owner](HWND window) { return ::GetWindow(window, GW_OWNER) == owner; });
}
