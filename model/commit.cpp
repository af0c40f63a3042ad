#include "model/commit.h"

#include <string>

#include "framework/message_box.h"
#include "model/commit_steps.h"

bool CommitConfiguration(const DumpSettings& global, std::vector<ProgramEntry>& entries)
{
    std::wstring errorText;
    bool done = global.IsEmpty() && entries.empty() ? ClearConfiguration(errorText)
                                                    : WriteConfiguration(global, entries, errorText);
    if (done)
        return true;
    AppMessageBox(errorText, MB_OK | MB_ICONERROR);
    return false;
}
