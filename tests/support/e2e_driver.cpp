// The program's process, its windows and message boxes, and its controls.
#include "tests/support/e2e_driver.h"

#include <vector>

namespace e2e {

namespace {

const DWORD POLL_INTERVAL_MS = 20;
const int MESSAGE_BOX_TEXT_ID = 0xFFFF;

std::wstring ModuleFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

struct WindowSearch {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && (!search->visibleOnly || ::IsWindowVisible(window)))
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

MessageBoxInfo DescribeMessageBox(HWND box)
{
    MessageBoxInfo info;
    const HWND textControl = ::GetDlgItem(box, MESSAGE_BOX_TEXT_ID);
    if (!textControl)
        return info;
    info.window = box;
    info.caption = TextOf(box);
    info.text = TextOf(textControl);
    std::vector<HWND> children;
    ::EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (::GetParent(child) != box || ClassNameOf(child) != L"Button" || !::IsWindowVisible(child))
            continue;
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        info.buttons.push_back({::GetDlgCtrlID(child), TextOf(child), (style & 0x0F) == BS_DEFPUSHBUTTON});
    }
    return info;
}

} // namespace

bool WaitUntil(const std::function<bool()>& predicate, DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (predicate())
            return true;
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(POLL_INTERVAL_MS);
    }
}

// ---------------------------------------------------------------------------------------------

ProgramProcess::~ProgramProcess()
{
    if (IsRunning())
        Terminate();
    Release();
}

std::wstring ProgramProcess::DefaultPath()
{
    return ModuleFolder() + L"\\Kestrune.exe";
}

bool ProgramProcess::Start(const std::wstring& path, const std::wstring& mainCaption, DWORD timeoutMs)
{
    if (m_pi.hProcess)
        return false;
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    if (!::CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          ModuleFolder().c_str(), &si, &m_pi)) {
        m_pi = {};
        return false;
    }
    // Polled from the start rather than after an idle wait, so that ShownAt() is close to the
    // moment the window appeared.
    const bool found = WaitUntil(
        [&] {
            m_mainWindow = FindDialog(Id(), mainCaption);
            m_shownAt = ::GetTickCount64();
            return m_mainWindow != nullptr || !IsRunning();
        },
        timeoutMs);
    if (!found || !m_mainWindow) {
        Terminate();
        return false;
    }
    // The window is there; wait until its initialisation has run and the loop is idle.
    ::WaitForInputIdle(m_pi.hProcess, timeoutMs);
    return true;
}

bool ProgramProcess::IsRunning() const
{
    return m_pi.hProcess && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

void ProgramProcess::RequestClose() const
{
    if (m_mainWindow)
        ::PostMessageW(m_mainWindow, WM_CLOSE, 0, 0);
}

bool ProgramProcess::WaitForExit(DWORD timeoutMs) const
{
    return m_pi.hProcess && ::WaitForSingleObject(m_pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ProgramProcess::ExitCode() const
{
    DWORD code = static_cast<DWORD>(-1);
    if (m_pi.hProcess && !::GetExitCodeProcess(m_pi.hProcess, &code))
        code = static_cast<DWORD>(-1);
    return code;
}

void ProgramProcess::Terminate(UINT exitCode)
{
    if (!m_pi.hProcess)
        return;
    if (IsRunning()) {
        ::TerminateProcess(m_pi.hProcess, exitCode);
        ::WaitForSingleObject(m_pi.hProcess, 10000);
    }
}

void ProgramProcess::Release()
{
    if (m_pi.hThread)
        ::CloseHandle(m_pi.hThread);
    if (m_pi.hProcess)
        ::CloseHandle(m_pi.hProcess);
    m_pi = {};
    m_mainWindow = nullptr;
}

// ---------------------------------------------------------------------------------------------

std::wstring ClassNameOf(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::wstring();
    std::vector<wchar_t> text(length + 2, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, 5000, &copied))
        return std::wstring();
    return std::wstring(text.data());
}

bool IsDialogWindow(HWND window)
{
    return ClassNameOf(window) == L"#32770";
}

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly)
{
    WindowSearch search = {processId, visibleOnly, {}};
    ::EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialog(DWORD processId, const std::wstring& caption)
{
    for (HWND window : TopLevelWindows(processId)) {
        if (IsDialogWindow(window) && TextOf(window) == caption)
            return window;
    }
    return nullptr;
}

HWND WaitForDialog(DWORD processId, const std::wstring& caption, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialog(processId, caption)) != nullptr; }, timeoutMs);
    return found;
}

int MessageBoxInfo::DefaultButton() const
{
    for (const BoxButton& button : buttons) {
        if (button.isDefault)
            return button.id;
    }
    return 0;
}

std::vector<std::wstring> MessageBoxInfo::ButtonTexts() const
{
    std::vector<std::wstring> texts;
    for (const BoxButton& button : buttons)
        texts.push_back(button.text);
    return texts;
}

MessageBoxInfo FindMessageBox(DWORD processId)
{
    for (HWND window : TopLevelWindows(processId)) {
        if (!IsDialogWindow(window))
            continue;
        MessageBoxInfo info = DescribeMessageBox(window);
        if (info)
            return info;
    }
    return MessageBoxInfo();
}

MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs)
{
    MessageBoxInfo info;
    WaitUntil([&] { return static_cast<bool>(info = FindMessageBox(processId)); }, timeoutMs);
    return info;
}

bool PressButton(HWND dialog, int id)
{
    const HWND button = ::GetDlgItem(dialog, id);
    return button && ::PostMessageW(button, BM_CLICK, 0, 0);
}

// ---------------------------------------------------------------------------------------------

std::wstring ControlText(HWND dialog, int id)
{
    const HWND control = ::GetDlgItem(dialog, id);
    return control ? TextOf(control) : std::wstring();
}

bool SetControlText(HWND dialog, int id, const std::wstring& text)
{
    const HWND control = ::GetDlgItem(dialog, id);
    return control && ::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int CheckState(HWND dialog, int id)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0));
}

bool IsControlEnabled(HWND dialog, int id)
{
    const HWND control = ::GetDlgItem(dialog, id);
    return control && ::IsWindowEnabled(control);
}

bool IsControlVisible(HWND dialog, int id)
{
    const HWND control = ::GetDlgItem(dialog, id);
    return control && ::IsWindowVisible(control);
}

int ComboCount(HWND dialog, int id)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
}

int ComboSelection(HWND dialog, int id)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

std::wstring ComboItemText(HWND dialog, int id, int index)
{
    const LRESULT length = ::SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return std::wstring();
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    ::SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(text.data()));
    return std::wstring(text.data());
}

bool SelectComboItem(HWND dialog, int id, int index)
{
    const HWND combo = ::GetDlgItem(dialog, id);
    if (!combo || ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != index)
        return false;
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return true;
}

void PostCommand(HWND window, UINT id)
{
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

} // namespace e2e
