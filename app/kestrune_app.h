#pragma once
// The application object of Kestrune: records the platform, makes the user-interface thread an OLE
// apartment, prepares the profile and runs the main window; the program ends when that closes.
#include <windows.h>

#include "framework/app_object.h"

class CKestruneApp : public CAppObject {
public:
    CKestruneApp();

    BOOL InitInstance() override;
    int ExitInstance() override;
};
