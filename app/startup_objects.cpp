// The program's two static objects, constructed in this order before wWinMain runs and destroyed in
// the reverse order after it: the application object, then the optional system functions.
#include "app/kestrune_app.h"
#include "app/optional_apis.h"

namespace {

CKestruneApp theApp;
OptionalApis g_optionalApis;

}  // namespace
