// How the main window's program list scales, against the real registry of the benchmark's Wine
// prefix: with 10,000 program keys it prints the time of opening the window (which loads every
// key into the list), of the dump collection check that each load runs, alone, of select-all with
// the one recomputation of the list buttons that follows, of deleting every second row and of
// deleting all rows, and checks the end state of each delete.
// Beside the bare registry read loop (which reads every value the program manages,
// MANAGED_VALUE_NAMES, as the program does) it prints the real program's start to its window ready
// (with and without the keys, so that the fixed cost of a start shows apart), the window's own
// reading of the registry, a refresh that reads and fills the list again, and the filling of the
// list alone: the best and the median of several runs, the runs of the yardstick and of the
// measurement taking turns.
// The window's resources and manifest come from Kestrune.exe next to this program. Run it in a Wine
// prefix of its own (KESTRUNE_WINEPREFIX): tests running at the same time clear the LocalDumps key.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/optional_apis.h"
#include "app/platform_values.h"
#include "framework/message_box.h"
#include "framework/system_calls.h"
#include "model/checks/dump_checks.h"
#include "model/registry_layout.h"
#include "model/stored_state.h"
#include "tests/support/bench_registry.h"
#include "tests/support/e2e_driver.h"
#include "tests/support/program_manifest.h"
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

const int RUNS = 5;

// The runs of one measurement: the best (shortest) and the median.
struct Runs {
    std::vector<double> seconds;
    void Add(double run) { seconds.push_back(run); }
    double Best() const { return *std::min_element(seconds.begin(), seconds.end()); }
    double Median() const
    {
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

// The median of the ratios of two measurements run by run: their runs take turns, so each ratio
// compares two runs made moments apart, and a machine whose speed drifts moves both sides alike.
double MedianRatio(const Runs& work, const Runs& bare)
{
    Runs ratios;
    for (size_t i = 0; i < work.seconds.size() && i < bare.seconds.size(); ++i)
        ratios.Add(work.seconds[i] / bare.seconds[i]);
    return ratios.Median();
}

double TimeBareRead(std::vector<std::wstring>& names)
{
    const double start = BenchSeconds();
    BareReadLoop(names);
    return BenchSeconds() - start;
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
        openedAt = BenchSeconds();
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
        double start = BenchSeconds();
        SelectAllPrograms();
        const double selectTime = BenchSeconds() - start;
        PumpFor(200);
        std::printf("select all:                       %8.3f s, button recomputations after it: %d\n", selectTime,
                    ListButtonUpdates() - updatesBefore);

        std::vector<int> everySecondRow;
        for (int row = 0; row < PROGRAM_KEYS; row += 2)
            everySecondRow.push_back(row);
        SelectOnly(list, everySecondRow);
        start = BenchSeconds();
        DeletePrograms();
        std::printf("delete every second row (%5d):   %8.3f s, rows left %d, rows match entries: %s, selected %d\n",
                    PROGRAM_KEYS / 2, BenchSeconds() - start, static_cast<int>(Entries().size()),
                    RowsMatchEntries(*this) ? "yes" : "NO", SelectedCount(list));

        // The window's own reading of the registry, alone; a refresh that reads and fills the list
        // again; the list alone, filled again from the reading the refresh made. Each beside a bare
        // read loop of its own round, the runs taking turns.
        Runs bare, reading, refresh, fill;
        std::vector<std::wstring> names;
        size_t keys = 0;
        for (int run = 0; run < RUNS; ++run) {
            bare.Add(TimeBareRead(names));
            start = BenchSeconds();
            keys = ReadStoredState().programs.size();
            reading.Add(BenchSeconds() - start);
            start = BenchSeconds();
            RefreshFromRegistry();
            refresh.Add(BenchSeconds() - start);
            start = BenchSeconds();
            LoadProgramEntries();
            fill.Add(BenchSeconds() - start);
        }
        std::printf("bare registry read loop again:    %8.3f s (median %.3f s)\n", bare.Best(), bare.Median());
        std::printf("the window's registry reading:    %8.3f s (median %.3f s), keys %d, %.2f times the bare read "
                    "loop (run by run: median %.2f)\n",
                    reading.Best(), reading.Median(), static_cast<int>(keys), reading.Best() / bare.Best(),
                    MedianRatio(reading, bare));
        std::printf("refresh of the shown window:      %8.3f s (median %.3f s), rows %d, %.2f times the bare read "
                    "loop (run by run: median %.2f)\n",
                    refresh.Best(), refresh.Median(), static_cast<int>(Entries().size()),
                    refresh.Best() / bare.Best(), MedianRatio(refresh, bare));
        std::printf("filling the list from a reading:  %8.3f s (median %.3f s), %.2f times the bare read loop (run "
                    "by run: median %.2f)\n",
                    fill.Best(), fill.Median(), fill.Best() / bare.Best(), MedianRatio(fill, bare));
        SelectAllPrograms();
        start = BenchSeconds();
        DeletePrograms();
        std::printf("delete all rows (%5d):           %8.3f s, rows left %d, entries left %d\n", PROGRAM_KEYS,
                    BenchSeconds() - start, RowCount(list), static_cast<int>(Entries().size()));
    }
};

// From starting Kestrune.exe to its main window visible and idle; -1 when it failed.
double TimeToWindowReady()
{
    e2e::ProgramProcess program;
    const double start = BenchSeconds();
    if (!program.Start(e2e::ProgramProcess::DefaultPath(), L"Kestrune", 120000)) {
        std::printf("Kestrune.exe did not open its main window\n");
        return -1;
    }
    const double ready = BenchSeconds() - start;
    program.RequestClose();
    program.WaitForExit(30000);
    return ready;
}


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
    if (!g_resources || !ActivateManifestOf(exe)) {
        std::printf("Kestrune.exe next to the benchmark is needed for the window's resources\n");
        return 1;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    ::InitCommonControlsEx(&controls);
    Sys().GetModuleHandleW = ResourceModule;
    SetMessageBoxHook([](HWND, const std::wstring&, const std::wstring&, UINT) { return IDYES; });

    // The fixed cost of starting the program: its window ready over an empty configuration.
    DeleteLocalDumps();
    Runs emptyReady;
    for (int run = 0; run < RUNS; ++run) {
        emptyReady.Add(TimeToWindowReady());
        if (emptyReady.seconds.back() < 0)
            return 1;
    }

    double start = BenchSeconds();
    StoreProgramKeys(PROGRAM_KEYS, L"C:\\CrashDumps");
    std::printf("%d program keys stored in           %8.3f s\n", PROGRAM_KEYS, BenchSeconds() - start);

    // The yardstick, only the registry calls that reading the keys needs, and the real program, from
    // starting the process to its main window visible and idle. Their runs take turns, so that a
    // busy moment of the machine does not fall on one of them only.
    Runs bareReads, readies;
    std::vector<std::wstring> names;
    for (int run = 0; run < RUNS; ++run) {
        bareReads.Add(TimeBareRead(names));
        readies.Add(TimeToWindowReady());
        if (readies.seconds.back() < 0)
            return 1;
    }
    const double bareRead = bareReads.Best();
    const double ready = readies.Best();
    std::printf("bare registry read loop:          %8.3f s (median %.3f s), keys %d\n", bareRead,
                bareReads.Median(), static_cast<int>(names.size()));
    std::printf("process start to window ready:    %8.3f s (median %.3f s), %.2f times the bare read loop "
                "(run by run: median %.2f)\n",
                ready, readies.Median(), ready / bareRead, MedianRatio(readies, bareReads));
    std::printf("  without program keys:           %8.3f s (median %.3f s); the keys add %.3f s, %.2f times the "
                "bare read loop\n",
                emptyReady.Best(), emptyReady.Median(), ready - emptyReady.Best(),
                (ready - emptyReady.Best()) / bareRead);

    // The dump collection check that every load runs, alone, on what a load read: the keys' common
    // folder exists, so that the folder checks read it too.
    const bool madeFolder = ::CreateDirectoryW(L"C:\\CrashDumps", nullptr) != FALSE;
    const StoredState loaded = ReadStoredState();
    double check = 1e30;
    int problems = 0;
    for (int run = 0; run < 3; ++run) {
        start = BenchSeconds();
        problems = CountProblems(RunDumpChecks(loaded));
        check = std::min(check, BenchSeconds() - start);
    }
    if (madeFolder)
        ::RemoveDirectoryW(L"C:\\CrashDumps");
    std::printf("dump collection check, %d keys:  %8.3f s, %d problems; adds %.1f %% to the time to ready\n",
                static_cast<int>(loaded.programs.size()), check, problems, 100.0 * check / (ready - check));

    CBenchWindow window;
    g_modalStart = BenchSeconds();
    window.DoModal();

    DeleteLocalDumps();
    return 0;
}
