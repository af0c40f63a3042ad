#include "model/commit.h"

#include "framework/message_box.h"
#include "model/commit_steps.h"

bool ClearsConfiguration(const DumpSettings& global, const std::vector<ProgramEntry>& entries, ClearRequest clear)
{
    return clear == CLEAR_ASKED && global.IsEmpty() && entries.empty();
}

bool SaveConfiguration(const DumpSettings& global, std::vector<ProgramEntry>& entries, ClearRequest clear,
                       std::wstring& errorText)
{
    return ClearsConfiguration(global, entries, clear) ? ClearConfiguration(errorText)
                                                       : WriteConfiguration(global, entries, errorText);
}

bool CommitConfiguration(const DumpSettings& global, std::vector<ProgramEntry>& entries, ClearRequest clear)
{
    std::wstring errorText;
    if (SaveConfiguration(global, entries, clear, errorText))
        return true;
    AppMessageBox(errorText, MB_OK | MB_ICONERROR);
    return false;
}
