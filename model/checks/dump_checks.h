#pragma once
// Why Windows may write no dump although the settings ask for one. Besides the LocalDumps key,
// Windows reads other places that can stop a dump or make the settings miss (a copy of the key in
// the 32-bit registry view or in a user hive, the automatic debugger, a policy), and the stored
// settings themselves can lead nowhere (a count of 0, a folder standard users cannot write to, a
// folder of another account, a program key that never matches a process). Each check reads where
// Windows reads, through the seam, and only reads: it needs no administrator rights.
#include <string>
#include <vector>

#include "model/stored_state.h"

struct CheckFinding {
    std::wstring title;
    std::wstring subject;      // what it concerns, which the title alone may not tell (a hive, a folder)
    std::wstring explanation;  // plain words: what was found, where, and what to do about it
    bool note = false;         // worth knowing, but no reason for a missing dump
};

using CheckFindings = std::vector<CheckFinding>;

// One check: from the stored settings as loaded, and whatever else it reads, to its findings.
using DumpCheck = void (*)(const StoredState& stored, CheckFindings& findings);

// Every check, in the order of the table, on the settings as loaded.
CheckFindings RunDumpChecks(const StoredState& stored);

// The findings that are problems, not notes.
int CountProblems(const CheckFindings& findings);

// What the check window lists first when there is no problem.
extern const wchar_t* const CHECK_NO_PROBLEMS;

// The main window's status line for the stored settings: whether Windows writes dumps, and a link
// to the check window when problems were found.
std::wstring DumpStatusText(bool keyExists, int problems);
