// The pages the program opens and OpenUrl, the one way they are opened.
#include "app/web_pages.h"

#include <objbase.h>
#include <shellapi.h>

#include "app/platform_values.h"
#include "framework/app_object.h"
#include "model/text_utils.h"

#define MAKER_SITE L"https://" MAKER_HOST_NAME

const wchar_t* const PAGE_MINIDUMP_DOCS =
    L"https://learn.microsoft.com/en-us/windows/win32/debug/minidump-files";
const wchar_t* const PAGE_CRASH_VIDEO =
    L"https://www.youtube.com/results?search_query=analyze+crash+dump+windbg";
const wchar_t* const PAGE_LOCALDUMPS_DOCS =
    L"https://learn.microsoft.com/en-us/windows/win32/wer/collecting-user-mode-dumps";
const wchar_t* const PAGE_DONATION = MAKER_SITE L"/php/donate.php";
const wchar_t* const PAGE_SOFTWARE = MAKER_SITE L"/software";

std::wstring ProgramInfoPage()
{
    return FormatText(MAKER_SITE L"/php/dwnld_fdbk.php?what=info&name=Kestrune&ver=%s",
                      KESTRUNE_VERSION);
}

#if !defined(_WIN64)
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "the 32-bit shell request block is 60 bytes");
#endif

BOOL OpenUrl(HWND owner, const wchar_t* url)
{
    const std::wstring address = url ? url : L"";

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = address.c_str();
    info.nShow = SW_SHOW;

    // The shell may hand the request to COM objects; this thread is normally an apartment
    // already, and then the call only adds a reference that is balanced below.
    const HRESULT comResult = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const bool comInitialized = SUCCEEDED(comResult);

    const BOOL opened = ::ShellExecuteExW(&info);
    const DWORD error = opened ? ERROR_SUCCESS : ::GetLastError();

    if (comInitialized)
        ::CoUninitialize();

    ::SetLastError(error);
    return opened;
}

void OpenProgramInfoPage(HWND mainWindow)
{
    if (!OpenUrl(mainWindow, ProgramInfoPage().c_str()))
        ::MessageBeep(MB_ICONERROR);
}

void ForwardHelpToMainWindow()
{
    const CAppObject* app = CurrentApp();
    const HWND mainWindow = app ? app->MainWindow() : nullptr;
    if (!mainWindow)
        return;
    // The request as the main window would have got it from F1 itself.
    HELPINFO help = {};
    help.cbSize = sizeof(help);
    help.iContextType = HELPINFO_WINDOW;
    help.iCtrlId = 0;
    help.hItemHandle = mainWindow;
    ::GetCursorPos(&help.MousePos);
    ::SendMessageW(mainWindow, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
}
