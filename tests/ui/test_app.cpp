// The application object of ui_tests.exe. Profile and main-window code find it through
// CurrentApp(), exactly as in the program: named "Kestrune", profile under the maker's key.
#include "app/web_pages.h"
#include "framework/app_object.h"

namespace {

class CTestApp : public CAppObject {
public:
    CTestApp() : CAppObject(L"Kestrune") { SetProfileKeyName(MAKER_HOST_NAME); }
};

CTestApp s_testApp;

} // namespace
