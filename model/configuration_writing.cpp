#include "model/commit_steps.h"
#include "model/entry_pairing.h"
#include "model/error_text.h"
#include "model/program_keys.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/settings_key_writer.h"
#include "model/stored_settings.h"
#include "model/text_utils.h"

namespace {

bool ReadStoredKeys(std::vector<ProgramEntry>& stored, std::wstring& errorText)
{
    ReadStatus status = ReadProgramKeys([&stored](const ProgramEntry& record) { stored.push_back(record); });
    if (status == READ_OK)
        return true;

    DWORD code = ::GetLastError();
    const wchar_t* format = status == READ_OPEN_FAILED
                                ? L"ERROR: Failed to enumerate keys for modification:\nHKLM\\%s\n\n(%d) %s"
                                : L"ERROR: Failure while enumerating keys for modification:\nHKLM\\%s\n\n(%d) %s";
    errorText = FormatText(format, LOCALDUMPS_KEY_PATH, static_cast<int>(code), ErrorText(code).c_str());
    return false;
}

bool WriteProgramKey(const ProgramEntry& entry, std::wstring& errorText)
{
    return WriteSettingsKey(ProgramKeyPathFor(entry.processName.c_str()).c_str(), entry.settings, errorText);
}

}  // namespace

bool WriteConfiguration(const DumpSettings& global, std::vector<ProgramEntry>& entries, std::wstring& errorText)
{
    if (!WriteSettingsKey(LOCALDUMPS_KEY_PATH, global, errorText))
        return false;

    std::vector<ProgramEntry> stored;
    if (!ReadStoredKeys(stored, errorText))
        return false;
    std::vector<size_t> pairs = PairStoredKeys(stored, entries);
    const std::vector<size_t> renames = PairRenamedKeys(stored, entries);

    // Rewrites of changed pairs, in the order the keys are stored. A name changed only in letter
    // case names the same key for Windows Error Reporting, which matches process names without
    // regard to case: that key is kept, old letters included, with whatever else it holds (values
    // of other tools, subkeys), and only its settings change. It is not renamed: the registry
    // refuses a rename to the same name in other letters, and a rename through a third name would
    // leave the key under that name if its second step failed.
    for (size_t s = 0; s < stored.size(); ++s) {
        const size_t e = pairs[s] != NO_PAIRED_ENTRY ? pairs[s] : renames[s];
        if (e != NO_PAIRED_ENTRY && NeedsWrite(entries[e], stored[s]) &&
            !WriteSettingsKey(ProgramKeyPathFor(stored[s].processName.c_str()).c_str(), entries[e].settings,
                              errorText))
            return false;
    }
    // Then the keys that no entry wants any more.
    for (const ProgramEntry& record : stored) {
        if (!(record.matched & ENTRY_MATCHED) &&
            RegDeleteSettingsKey(ProgramKeyPathFor(record.processName.c_str()).c_str(), errorText) != ERROR_SUCCESS)
            return false;
    }
    // Then the entries that found no key.
    for (const ProgramEntry& entry : entries) {
        if (!(entry.matched & ENTRY_MATCHED) && !WriteProgramKey(entry, errorText))
            return false;
    }
    return true;
}
