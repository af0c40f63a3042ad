#include "framework/app_object.h"

#include "framework/executable_name.h"
#include "framework/modal_dialog.h"

namespace {
CAppObject* s_currentApp = nullptr;
}

CAppObject* CurrentApp()
{
    return s_currentApp;
}

HWND DefaultDialogOwner()
{
    const CAppObject* app = CurrentApp();
    const HWND main = app ? app->MainWindow() : nullptr;
    return main ? ::GetLastActivePopup(main) : nullptr;
}

CAppObject::CAppObject(const wchar_t* appName)
    : m_appName(appName ? appName : ExecutableBaseName())
{
    // Only the first object becomes the application; a second one is an ordinary object.
    if (!s_currentApp)
        s_currentApp = this;
}

CAppObject::~CAppObject()
{
    if (s_currentApp == this)
        s_currentApp = nullptr;
}

BOOL CAppObject::InitInstance()
{
    return TRUE;
}

int CAppObject::ExitInstance()
{
    return m_exitCode;
}

int CAppObject::Run()
{
    if (!InitInstance())
        return ExitInstance();

    MSG msg = {};
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (got == 0)
        m_exitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

HWND CAppObject::MainWindow() const
{
    return m_mainWindow ? m_mainWindow->GetSafeHwnd() : nullptr;
}

void CAppObject::ForgetMainWindow(const CModalDialog* dialog)
{
    if (m_mainWindow == dialog)
        m_mainWindow = nullptr;
}

void CAppObject::SetProfileKeyName(const wchar_t* keyName)
{
    m_profileKeyName = keyName ? keyName : L"";
}
