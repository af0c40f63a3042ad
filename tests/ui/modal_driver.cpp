#include "tests/ui/modal_driver.h"

namespace {

ModalDriver* s_driver = nullptr;

struct DialogSearch {
    std::wstring caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<DialogSearch*>(data);
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window) && WindowText(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM)
{
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (std::wstring(className) == L"#32770")
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
    DialogSearch search = {caption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

namespace {

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwnedDialog(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<OwnedSearch*>(data);
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window) &&
        ::GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

ModalDriver::Step WaitForOwnedDialog(HWND owner, HWND& found)
{
    return [owner, &found] {
        OwnedSearch search = {owner, nullptr};
        ::EnumThreadWindows(::GetCurrentThreadId(), MatchOwnedDialog, reinterpret_cast<LPARAM>(&search));
        found = search.found;
        return found != nullptr;
    };
}
