#include "model/checks/check_list.h"

#include "model/text_utils.h"

namespace {

const DumpCheck DUMP_CHECKS[] = {
    CheckThirtyTwoBitView,
    CheckPerUserKeys,
    CheckAutomaticDebugger,
    CheckReportingPolicy,
    CheckZeroDumpCount,
    CheckFolderWritableByUsers,
    CheckFolderOwners,
    CheckProgramKeyNames,
    CheckPerUserFolder,
};

}  // namespace

const wchar_t* const CHECK_NO_PROBLEMS = L"No problems found.";

CheckFindings RunDumpChecks(const StoredState& stored)
{
    CheckFindings findings;
    for (DumpCheck check : DUMP_CHECKS)
        check(stored, findings);
    return findings;
}

int CountProblems(const CheckFindings& findings)
{
    int problems = 0;
    for (const CheckFinding& finding : findings)
        problems += finding.note ? 0 : 1;
    return problems;
}

std::wstring DumpStatusText(bool keyExists, int problems)
{
    std::wstring text = keyExists
                            ? L"Crash dumps are on: Windows writes a dump file when a program crashes."
                            : L"Crash dumps are off: Windows writes no dump files until settings are saved.";
    // The link on a line of its own, where it is never broken in two.
    if (problems == 1)
        text += L"\n<a>1 problem found</a>";
    else if (problems > 1)
        text += FormatText(L"\n<a>%d problems found</a>", problems);
    return text;
}
