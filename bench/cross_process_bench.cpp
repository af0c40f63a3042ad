// The program list with 10,000 program keys, driven from another process the way a user's input
// reaches the window: select-all as one LVM_SETITEMSTATE for row -1 (timed until the call
// returns), and delete-all through the "&-" button and a Yes answer (timed from the answer until
// the list reports no rows). Beside each figure, the yardstick of the same run: a bare list-view
// control with the same styles and the same 10,000 rows in a process of its own (this program
// started again), whose dialog handles none of the list's notifications, put through the same
// select-all and a posted LVM_DELETEALLITEMS. Run it in a Wine prefix of its own
// (KESTRUNE_WINEPREFIX): tests running at the same time clear the LocalDumps key.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/platform_values.h"
#include "res/resource.h"
#include "tests/support/bench_registry.h"
#include "tests/support/e2e_driver.h"
#include "tests/support/program_manifest.h"
#include "tests/support/ui_dialog_template.h"

namespace {

const int PROGRAM_KEYS = 10000;
const int RUNS = 3;
const wchar_t* const BARE_LIST_SWITCH = L"KESTRUNE_BENCH_BARE_LIST";
const wchar_t* const BARE_LIST_CAPTION = L"Bare list";
const wchar_t* const BENCH_FOLDER = L"C:\\CrashDumps";

std::wstring KestrunePath()
{
    return e2e::ProgramProcess::DefaultPath();
}

// The common controls of Kestrune.exe's manifest, so that both lists are the same control.
bool ActivateKestruneControls()
{
    if (!ActivateManifestOf(KestrunePath()))
        return false;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    return ::InitCommonControlsEx(&controls) != FALSE;
}

// ---- The bare list's process -------------------------------------------------------------------

void SetCell(HWND list, int row, int column, const wchar_t* text)
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text);
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void FillBareList(HWND list)
{
    ::SetWindowLongW(list, GWL_STYLE, ::GetWindowLongW(list, GWL_STYLE) | LVS_SHOWSELALWAYS);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER);
    const wchar_t* const headers[] = {L"Process Name", L"Type", L"Max Count", L"Dump Folder"};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.cx = 120;
        column.pszText = const_cast<wchar_t*>(headers[i]);
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int i = PROGRAM_KEYS - 1; i >= 0; --i) {
        const std::wstring name = BenchProgramName(i);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = PROGRAM_KEYS - 1 - i;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        item.lParam = i;
        const int row = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        SetCell(list, row, 1, L"Mini dump");
        SetCell(list, row, 2, L"5");
        SetCell(list, row, 3, BENCH_FOLDER);
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

INT_PTR CALLBACK BareListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        FillBareList(::GetDlgItem(dialog, IDC_LIST_PROGRAMS));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            ::EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;  // the list's notifications included: nothing of ours runs on them
    }
}

int RunBareList()
{
    if (!ActivateKestruneControls())
        return 1;
    DialogTemplate tmpl(BARE_LIST_CAPTION, 453, 419, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SETFONT);
    tmpl.Add(L"SysListView32", L"", IDC_LIST_PROGRAMS,
             LVS_REPORT | LVS_SORTASCENDING | LVS_NOSORTHEADER | LVS_ALIGNLEFT | WS_BORDER | WS_TABSTOP, 51, 166,
             384, 154);
    ::DialogBoxIndirectParamW(nullptr, tmpl.Get(), nullptr, BareListProc, 0);
    return 0;
}

// ---- The driver ----------------------------------------------------------------------------------

struct Figures {
    double selectAll = 1e30;
    double deleteAll = 1e30;
    bool ok = true;
};

// Polls the list until it reports no rows; each poll waits for the list's thread to answer.
bool WaitForNoRows(const e2e::RemoteListView& list)
{
    return e2e::WaitUntil([&] { return list.RowCount() == 0; }, 120000);
}

double TimeSelectAll(const e2e::RemoteListView& list, bool& ok)
{
    const double start = BenchSeconds();
    ok &= list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    return BenchSeconds() - start;
}

void MeasureKestrune(Figures& figures)
{
    e2e::ProgramProcess program;
    if (!program.Start(KestrunePath(), L"Kestrune", 180000)) {
        std::printf("Kestrune.exe did not open its main window\n");
        figures.ok = false;
        return;
    }
    const HWND window = program.MainWindow();
    e2e::RemoteListView list(::GetDlgItem(window, IDC_LIST_PROGRAMS));
    figures.ok &= list.IsUsable() && list.RowCount() == PROGRAM_KEYS;

    figures.selectAll = std::min(figures.selectAll, TimeSelectAll(list, figures.ok));
    figures.ok &= e2e::WaitUntil([&] { return e2e::IsControlEnabled(window, IDC_BTN_DELETE_PROGRAM); }, 60000);

    e2e::PressButton(window, IDC_BTN_DELETE_PROGRAM);
    const e2e::MessageBoxInfo box = e2e::WaitForMessageBox(program.Id(), 60000);
    figures.ok &= static_cast<bool>(box);
    if (box) {
        const double start = BenchSeconds();
        e2e::PressButton(box.window, IDYES);
        figures.ok &= WaitForNoRows(list);
        figures.deleteAll = std::min(figures.deleteAll, BenchSeconds() - start);
    }
    program.Terminate();
}

void MeasureBareList(Figures& figures)
{
    e2e::ProgramProcess host;
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    ::SetEnvironmentVariableW(BARE_LIST_SWITCH, L"1");
    const bool started = host.Start(self, BARE_LIST_CAPTION, 180000);
    ::SetEnvironmentVariableW(BARE_LIST_SWITCH, nullptr);
    if (!started) {
        std::printf("the bare list did not open\n");
        figures.ok = false;
        return;
    }
    const HWND listWindow = ::GetDlgItem(host.MainWindow(), IDC_LIST_PROGRAMS);
    e2e::RemoteListView list(listWindow);
    figures.ok &= list.IsUsable() && list.RowCount() == PROGRAM_KEYS;

    figures.selectAll = std::min(figures.selectAll, TimeSelectAll(list, figures.ok));
    const double start = BenchSeconds();
    ::PostMessageW(listWindow, LVM_DELETEALLITEMS, 0, 0);
    figures.ok &= WaitForNoRows(list);
    figures.deleteAll = std::min(figures.deleteAll, BenchSeconds() - start);
    host.Terminate();
}

void PrintLine(const char* what, double ours, double yardstick)
{
    std::printf("%-34s %8.3f s   bare list-view %8.3f s   %5.2f times\n", what, ours, yardstick, ours / yardstick);
}

} // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (::GetEnvironmentVariableW(BARE_LIST_SWITCH, nullptr, 0) != 0)
        return RunBareList();
    RecordPlatformValues();

    double start = BenchSeconds();
    StoreProgramKeys(PROGRAM_KEYS, BENCH_FOLDER);
    std::printf("%d program keys stored in %8.3f s; best of %d runs each, from another process\n", PROGRAM_KEYS,
                BenchSeconds() - start, RUNS);

    Figures kestrune;
    Figures bare;
    for (int run = 0; run < RUNS; ++run) {
        MeasureKestrune(kestrune);
        MeasureBareList(bare);
    }
    PrintLine("select all (call returned):", kestrune.selectAll, bare.selectAll);
    PrintLine("delete all (answer to no rows):", kestrune.deleteAll, bare.deleteAll);
    if (!kestrune.ok || !bare.ok)
        std::printf("SOMETHING WENT WRONG: Kestrune %s, bare list %s\n", kestrune.ok ? "ok" : "FAILED",
                    bare.ok ? "ok" : "FAILED");

    DeleteLocalDumps();
    return kestrune.ok && bare.ok ? 0 : 1;
}
