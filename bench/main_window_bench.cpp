// How the main window's program list scales, against the real registry of the benchmark's Wine
// prefix: with 10,000 program keys it prints the time of opening the window (which loads every
// key into the list), of select-all with the one recomputation of the list buttons that follows,
// of deleting every second row and of deleting all rows, and checks the end state of each delete.
// The window's resources and manifest come from Kestrune.exe next to this program. Run it in a Wine
// prefix of its own (KESTRUNE_WINEPREFIX): tests running at the same time clear the LocalDumps key.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/optional_apis.h"
#include "app/platform_values.h"
#include "framework/message_box.h"
#include "framework/system_calls.h"
#include "model/registry_layout.h"
#include "tests/support/ui_list_view.h"
#include "tests/support/ui_message_pump.h"
#include "ui/main/kestrune_dlg.h"

namespace {

const int PROGRAM_KEYS = 10000;
const UINT WM_RUN_BENCH = WM_APP + 0x4B1;

HMODULE g_resources = nullptr;
double g_modalStart = 0;

HMODULE WINAPI ResourceModule(LPCWSTR name)
{
    return name ? ::GetModuleHandleW(name) : g_resources;
}

double Seconds()
{
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void DeleteLocalDumps()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key) == 0) {
        ::RegDeleteTreeW(key, nullptr);
        ::RegCloseKey(key);
        ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, KEY_WOW64_64KEY, 0);
    }
}

bool StoreProgramKeys()
{
    for (int i = 0; i < PROGRAM_KEYS; ++i) {
        wchar_t path[300];
        swprintf(path, 300, L"%ls\\program%05d.exe", LOCALDUMPS_KEY_PATH, i);
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key,
                              nullptr) != 0)
            return false;
        const DWORD type = 1 + i % 2;
        ::RegSetValueExW(key, VALUE_DUMP_TYPE, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&type), sizeof(type));
        ::RegCloseKey(key);
    }
    return true;
}

int SelectedCount(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
}

// Every row still refers to the entry of its own name.
bool RowsMatchEntries(const CKestruneDlg& window)
{
    const HWND list = window.ListWindow();
    const std::vector<ProgramEntry>& entries = window.Entries();
    if (static_cast<size_t>(RowCount(list)) != entries.size())
        return false;
    for (int row = 0; row < RowCount(list); ++row) {
        const LPARAM data = RowData(list, row);
        if (data < 0 || static_cast<size_t>(data) >= entries.size() ||
            entries[static_cast<size_t>(data)].processName != CellText(list, row, 0))
            return false;
    }
    return true;
}

class CBenchWindow : public CKestruneDlg {
public:
    double openedAt = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_RUN_BENCH) {
            Measure();
            EndDialog(IDCANCEL);
            return 0;
        }
        return CKestruneDlg::WindowProc(message, wParam, lParam);
    }

protected:
    BOOL OnInitDialog() override
    {
        const BOOL result = CKestruneDlg::OnInitDialog();
        openedAt = Seconds();
        ::PostMessageW(m_hWnd, WM_RUN_BENCH, 0, 0);
        return result;
    }

private:
    void Measure()
    {
        const HWND list = ListWindow();
        std::printf("opening the window (loads the list): %8.3f s, rows %d\n", openedAt - g_modalStart,
                    static_cast<int>(Entries().size()));

        const int updatesBefore = ListButtonUpdates();
        double start = Seconds();
        SelectAllPrograms();
        const double selectTime = Seconds() - start;
        PumpFor(200);
        std::printf("select all:                       %8.3f s, button recomputations after it: %d\n", selectTime,
                    ListButtonUpdates() - updatesBefore);

        std::vector<int> everySecondRow;
        for (int row = 0; row < PROGRAM_KEYS; row += 2)
            everySecondRow.push_back(row);
        SelectOnly(list, everySecondRow);
        start = Seconds();
        DeletePrograms();
        std::printf("delete every second row (%5d):   %8.3f s, rows left %d, rows match entries: %s, selected %d\n",
                    PROGRAM_KEYS / 2, Seconds() - start, static_cast<int>(Entries().size()),
                    RowsMatchEntries(*this) ? "yes" : "NO", SelectedCount(list));

        start = Seconds();
        RefreshFromRegistry();
        std::printf("refresh of the shown window:      %8.3f s, rows %d\n", Seconds() - start,
                    static_cast<int>(Entries().size()));
        SelectAllPrograms();
        start = Seconds();
        DeletePrograms();
        std::printf("delete all rows (%5d):           %8.3f s, rows left %d, entries left %d\n", PROGRAM_KEYS,
                    Seconds() - start, RowCount(list), static_cast<int>(Entries().size()));
    }
};

} // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    RecordPlatformValues();
    OptionalApis optionalApis;

    // The window's templates, menus, icons and common-controls version are Kestrune.exe's.
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring exe = path;
    exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"Kestrune.exe";
    g_resources = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ACTCTXW context = {};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = exe.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(1);
    const HANDLE activation = ::CreateActCtxW(&context);
    ULONG_PTR cookie = 0;
    if (!g_resources || activation == INVALID_HANDLE_VALUE || !::ActivateActCtx(activation, &cookie)) {
        std::printf("Kestrune.exe next to the benchmark is needed for the window's resources\n");
        return 1;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    ::InitCommonControlsEx(&controls);
    Sys().GetModuleHandleW = ResourceModule;
    SetMessageBoxHook([](HWND, const std::wstring&, const std::wstring&, UINT) { return IDYES; });

    DeleteLocalDumps();
    double start = Seconds();
    if (!StoreProgramKeys()) {
        std::printf("cannot write the program keys\n");
        return 1;
    }
    std::printf("%d program keys stored in           %8.3f s\n", PROGRAM_KEYS, Seconds() - start);

    CBenchWindow window;
    g_modalStart = Seconds();
    window.DoModal();

    DeleteLocalDumps();
    return 0;
}
