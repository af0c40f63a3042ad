// How the settings store scales with the number of program keys, against the real registry of the
// benchmark's Wine prefix. For 1,000 and 10,000 keys it prints the time of reading all program
// keys, of a save that changes nothing and of a save that rewrites every key, each beside a bare
// loop of only the registry calls that the work needs: the bare read loop queries every value the
// program manages (MANAGED_VALUE_NAMES), once each, as the program does. Best of a few runs; the
// keys are removed afterwards.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/optional_apis.h"
#include "app/platform_values.h"
#include "framework/system_calls.h"
#include "framework/message_box.h"
#include "model/commit.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/stored_settings.h"
#include "tests/support/bench_registry.h"
#include "tests/support/seam_recorder.h"

namespace {

double Time(const std::function<void()>& work)
{
    double start = BenchSeconds();
    work();
    return BenchSeconds() - start;
}

// The best (shortest) of the runs of one measurement, and every run, in order.
struct Best {
    double seconds = 1e30;
    std::vector<double> runs;
    void Add(double run)
    {
        seconds = std::min(seconds, run);
        runs.push_back(run);
    }
};

// The median of the ratios of two measurements run by run. Their runs take turns, so each ratio
// compares two runs made moments apart: a machine whose speed drifts during the benchmark moves
// both sides of it alike.
double MedianRatio(const Best& work, const Best& bare)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < work.runs.size() && i < bare.runs.size(); ++i)
        ratios.push_back(work.runs[i] / bare.runs[i]);
    std::sort(ratios.begin(), ratios.end());
    return ratios.empty() ? 0 : ratios[ratios.size() / 2];
}

// Only the calls a rewrite of every key needs: create, make sure of the folder, three sets, close.
// (The read before it, BareReadLoop, reads every managed value.)
void BareWriteLoop(const std::vector<std::wstring>& names, const std::wstring& folder, DWORD count)
{
    for (const std::wstring& name : names) {
        HKEY key = nullptr;
        if (Sys().RegCreateKeyExW(HKEY_LOCAL_MACHINE, BenchProgramPath(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              WriteAccess(), nullptr, &key, nullptr) != ERROR_SUCCESS)
            continue;
        Sys().CreateDirectoryW(folder.c_str(), nullptr);
        SetBenchValues(Sys(), key, folder, 1, count);
        Sys().RegCloseKey(key);
    }
}

std::vector<ProgramEntry> ReadEntries()
{
    std::vector<ProgramEntry> entries;
    ReadProgramKeys([&entries](ProgramEntry& record) { entries.push_back(std::move(record)); });
    return entries;
}

struct Figures {
    int keys;
    double bareRead, read, unchangedCommit, bareReadWrite, rewriteCommit;
    // The median ratio run by run (MedianRatio).
    double medianRead, medianUnchangedCommit, medianRewriteCommit;
    // System calls per key, counted once through the seam: the same figures without the noise of
    // a busy machine.
    double callsBareRead, callsRead, callsUnchangedCommit, callsBareReadWrite, callsRewriteCommit;
};

double CallsPerKey(int keys, const std::function<void()>& work)
{
    SeamRecorder seam;
    work();
    return static_cast<double>(seam.Calls().size()) / keys;
}

// The runs of the different measurements take turns, so that a busy moment of the machine does not
// fall on one of them only.
Figures Measure(int keys, int runs, const std::wstring& folder)
{
    StoreProgramKeys(keys, folder);
    const DumpSettings global = ReadGlobalSettings();
    if (static_cast<int>(ReadEntries().size()) != keys)
        std::printf("warning: %d keys stored, fewer read\n", keys);

    Best bareRead, read, unchangedCommit, bareReadWrite, rewriteCommit;
    std::vector<std::wstring> names;
    DWORD count = 6;  // every rewrite stores another count, so that each key really differs
    for (int run = 0; run < runs; ++run) {
        bareRead.Add(Time([&] { BareReadLoop(names); }));
        read.Add(Time([&] { ReadEntries(); }));

        std::vector<ProgramEntry> unchanged = ReadEntries();
        unchangedCommit.Add(Time([&] { CommitConfiguration(global, unchanged, CLEAR_NOT_ASKED); }));

        bareReadWrite.Add(Time([&] {
            BareReadLoop(names);
            BareWriteLoop(names, folder, count);
        }));
        ++count;

        std::vector<ProgramEntry> changed = ReadEntries();
        for (ProgramEntry& entry : changed)
            entry.settings.dumpCount = static_cast<LONG>(count);
        rewriteCommit.Add(Time([&] { CommitConfiguration(global, changed, CLEAR_NOT_ASKED); }));
        std::vector<ProgramEntry> after = ReadEntries();
        if (!std::all_of(after.begin(), after.end(),
                         [&](const ProgramEntry& e) { return e.settings.dumpCount == static_cast<LONG>(count); }))
            std::printf("warning: the rewrite did not reach every key\n");
        ++count;
    }
    Figures f = {keys, bareRead.seconds, read.seconds, unchangedCommit.seconds, bareReadWrite.seconds,
                 rewriteCommit.seconds, MedianRatio(read, bareRead), MedianRatio(unchangedCommit, bareRead),
                 MedianRatio(rewriteCommit, bareReadWrite), 0, 0, 0, 0, 0};
    f.callsBareRead = CallsPerKey(keys, [&] { BareReadLoop(names); });
    f.callsRead = CallsPerKey(keys, [&] { ReadEntries(); });
    std::vector<ProgramEntry> entries = ReadEntries();
    f.callsUnchangedCommit = CallsPerKey(keys, [&] { CommitConfiguration(global, entries, CLEAR_NOT_ASKED); });
    f.callsBareReadWrite = CallsPerKey(keys, [&] {
        BareReadLoop(names);
        BareWriteLoop(names, folder, count);
    });
    ++count;
    for (ProgramEntry& entry : entries)
        entry.settings.dumpCount = static_cast<LONG>(count);
    f.callsRewriteCommit = CallsPerKey(keys, [&] { CommitConfiguration(global, entries, CLEAR_NOT_ASKED); });
    return f;
}

void Print(const Figures& f)
{
    std::printf("%6d keys  read              %8.1f ms   bare read loop       %8.1f ms   ratio %.2f (run by run %.2f)"
                "   calls/key %.2f vs %.2f\n",
                f.keys, f.read * 1000, f.bareRead * 1000, f.read / f.bareRead, f.medianRead, f.callsRead,
                f.callsBareRead);
    std::printf("%6d keys  no-change commit  %8.1f ms   bare read loop       %8.1f ms   ratio %.2f (run by run %.2f)"
                "   calls/key %.2f vs %.2f\n",
                f.keys, f.unchangedCommit * 1000, f.bareRead * 1000, f.unchangedCommit / f.bareRead,
                f.medianUnchangedCommit, f.callsUnchangedCommit, f.callsBareRead);
    std::printf("%6d keys  rewrite commit    %8.1f ms   bare read+write loop %8.1f ms   ratio %.2f (run by run %.2f)"
                "   calls/key %.2f vs %.2f\n",
                f.keys, f.rewriteCommit * 1000, f.bareReadWrite * 1000, f.rewriteCommit / f.bareReadWrite,
                f.medianRewriteCommit, f.callsRewriteCommit, f.callsBareReadWrite);
}

}  // namespace

int main()
{
    RecordPlatformValues();
    OptionalApis optionalApis;
    SetMessageBoxHook([](HWND, const std::wstring& text, const std::wstring&, UINT) {
        std::printf("save failed: %ls\n", text.c_str());
        return IDOK;
    });

    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kestrune-bench-dumps";
    ::CreateDirectoryW(folder.c_str(), nullptr);

    std::printf("Settings store benchmark (best of several runs, real registry of this prefix; beside each ratio\n"
                "of the best runs the median of the ratios run by run)\n");
    Figures small = Measure(1000, 12, folder);
    Print(small);
    Figures large = Measure(10000, 6, folder);
    Print(large);
    std::printf("growth 1,000 -> 10,000: read %.1fx, no-change commit %.1fx, rewrite commit %.1fx\n",
                large.read / small.read, large.unchangedCommit / small.unchangedCommit,
                large.rewriteCommit / small.rewriteCommit);
    std::printf("growth of the bare loops, for comparison: read %.1fx, read+write %.1fx\n",
                large.bareRead / small.bareRead, large.bareReadWrite / small.bareReadWrite);

    DeleteLocalDumps();
    ::RemoveDirectoryW(folder.c_str());
    return 0;
}
