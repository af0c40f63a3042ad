// The program's static objects and, until the main window exists, a plain window that shows what
// Kestrune learned about the platform and the stored global settings.
#include <windows.h>

#include <string>

#include "app/optional_apis.h"
#include "framework/app_object.h"
#include "app/platform_values.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/text_utils.h"

namespace {


std::wstring DescribeState()
{
    std::wstring text = FormatText(L"Kestrune %s\r\n\r\nBitness: %d\r\nNot supported: %d\r\nWindows 7 or later: %d\r\n"
                                   L"Registry view: 0x%04X\r\nRegDeleteKeyExW: %s\r\n\r\n",
                                   KESTRUNE_VERSION, g_osBitness, g_notSupported, g_osWin7OrLater,
                                   static_cast<unsigned>(g_registryView), g_pfnRegDeleteKeyEx ? L"present" : L"absent");
    std::wstring folder;
    DWORD type = 0;
    DWORD count = 0;
    text += L"DumpFolder: " + (RegReadDumpFolder(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, folder) ? folder : L"(not given)");
    text += L"\r\nDumpType: " + (RegReadDword(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, VALUE_DUMP_TYPE, type)
                                     ? std::to_wstring(type) : std::wstring(L"(not given)"));
    text += L"\r\nDumpCount: " + (RegReadDword(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, VALUE_DUMP_COUNT, count)
                                      ? std::to_wstring(static_cast<LONG>(count)) : std::wstring(L"(not given)"));
    return text;
}

LRESULT CALLBACK PlaceholderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

namespace {

class CPlaceholderApp : public CAppObject {
public:
    CPlaceholderApp() { RecordPlatformValues(); }
    BOOL InitInstance() override;
};

BOOL CPlaceholderApp::InitInstance()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    int show = SW_SHOWNORMAL;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlaceholderProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    wc.lpszClassName = L"KestrunePlaceholder";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"Kestrune", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  520, 320, nullptr, nullptr, instance, nullptr);
    CreateWindowExW(0, L"STATIC", DescribeState().c_str(), WS_CHILD | WS_VISIBLE, 12, 12, 480, 260, window, nullptr,
                    instance, nullptr);
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return FALSE;
}

// The two static objects, in this order: the application object, then the optional functions.
CPlaceholderApp theApp;
OptionalApis g_optionalApis;

}  // namespace
