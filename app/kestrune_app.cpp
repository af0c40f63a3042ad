#include "app/kestrune_app.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/platform_values.h"
#include "app/suggested_profile.h"
#include "app/web_pages.h"
#include "ui/main/kestrune_dlg.h"

CKestruneApp::CKestruneApp()
{
    RecordPlatformValues();
    // The page opening relies on a single-threaded apartment on this thread.
    ::OleInitialize(nullptr);
}

BOOL CKestruneApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    CAppObject::InitInstance();
    SetProfileKeyName(MAKER_HOST_NAME);
    WriteProfileString(PROFILE_SECTION_SETTINGS, L"ver", KESTRUNE_VERSION);
    InitSuggestedProfile();

    {
        CKestruneDlg mainWindow;
        SetMainWindow(&mainWindow);
        mainWindow.DoModal();
    }
    // No message loop of our own: the application ends with its main window.
    return FALSE;
}

int CKestruneApp::ExitInstance()
{
    ::OleUninitialize();
    return CAppObject::ExitInstance();
}
