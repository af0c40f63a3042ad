// The process entry point of Kestrune.exe: the application object, constructed as a static
// object before this runs, does the rest.
#include <windows.h>

#include "framework/app_object.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    CAppObject* app = CurrentApp();
    return app ? app->Run() : -1;
}
