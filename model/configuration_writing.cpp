#include "model/commit_steps.h"

#include <utility>

#include "model/entry_pairing.h"
#include "model/error_text.h"
#include "model/process_names.h"
#include "model/program_keys.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/settings_key_writer.h"
#include "model/stored_settings.h"
#include "model/text_utils.h"

namespace {

bool ReadStoredKeys(std::vector<ProgramEntry>& stored, std::wstring& errorText)
{
    ReadStatus status = ReadProgramKeys([&stored](ProgramEntry& record) { stored.push_back(std::move(record)); });
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

const wchar_t* const MSG_RENAME_THROUGH_LINK =
    L"ERROR: Cannot rename a program key that holds a registry link:\nHKLM\\%s\n\n"
    L"Nothing was written. Remove the link, or keep the program's name.";

// A key whose entry was given another name: the new key gets everything the old one holds (values
// of other tools, subkeys), then the entry's settings, and only then does the old key go. A failure
// before that leaves the old key whole and takes back a new key that this move made. A key that
// holds a registry link is not moved at all: a copy would take in the link's target.
bool MoveProgramKey(const ProgramEntry& from, const ProgramEntry& to, std::wstring& errorText)
{
    const std::wstring oldPath = ProgramKeyPathFor(from.processName.c_str());
    const std::wstring newPath = ProgramKeyPathFor(to.processName.c_str());
    std::wstring link;
    bool madeNew = false;
    const LONG code = RegCopySettingsKey(oldPath.c_str(), newPath.c_str(), link, madeNew);
    if (code == ERROR_SUCCESS && !link.empty()) {
        errorText = FormatText(MSG_RENAME_THROUGH_LINK, link.c_str());
        return false;
    }
    if (code != ERROR_SUCCESS) {
        errorText = FormatText(L"ERROR: Failed to write into registry.\n\n(%d) %s", static_cast<int>(code),
                               ErrorText(static_cast<DWORD>(code)).c_str());
    }
    if (code != ERROR_SUCCESS || !WriteSettingsKey(newPath.c_str(), to.settings, errorText)) {
        std::wstring ignored;
        if (madeNew)
            RegDeleteSettingsKey(newPath.c_str(), ignored);
        return false;
    }
    return RegDeleteSettingsKey(oldPath.c_str(), errorText) == ERROR_SUCCESS;
}

bool LocalDumpsKeyAbsent()
{
    unique_hkey key;
    return IsAbsent(RegOpenSettingsKey(HKEY_LOCAL_MACHINE, LOCALDUMPS_KEY_PATH, ReadAccess(), key));
}

}  // namespace

bool WriteConfiguration(const DumpSettings& global, std::vector<ProgramEntry>& entries, std::wstring& errorText)
{
    // With nothing to write, a missing LocalDumps key stays missing: the key alone, even empty,
    // would make Windows write a dump of every crashing program.
    if (global.IsEmpty() && entries.empty() && LocalDumpsKeyAbsent())
        return true;
    if (!WriteSettingsKey(LOCALDUMPS_KEY_PATH, global, errorText))
        return false;

    std::vector<ProgramEntry> stored;
    if (!ReadStoredKeys(stored, errorText))
        return false;
    const std::vector<size_t> pairs = PairStoredKeys(stored, entries);
    const std::vector<size_t> origins = PairKeysWithTheirEntries(stored, entries);
    const std::vector<size_t> renames = PairRenamedKeys(stored, entries);

    // Rewrites of changed pairs, in the order the keys are stored. A name changed only in letter
    // case names the same key for Windows Error Reporting, which matches process names without
    // regard to case: that key is kept, old letters included, with whatever else it holds (values
    // of other tools, subkeys), and only its settings change. It is not renamed: the registry
    // refuses a rename to the same name in other letters, and a rename through a third name would
    // leave the key under that name if its second step failed.
    std::vector<size_t> moves(stored.size(), NO_PAIRED_ENTRY);
    for (size_t s = 0; s < stored.size(); ++s) {
        size_t e = pairs[s] != NO_PAIRED_ENTRY ? pairs[s] : renames[s];
        if (origins[s] != NO_PAIRED_ENTRY) {
            if (SameProcessName(entries[origins[s]].processName, stored[s].processName))
                e = origins[s];
            else
                moves[s] = origins[s];
        }
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
    // Then the keys whose entry now has another name: moved with everything they hold.
    for (size_t s = 0; s < stored.size(); ++s) {
        if (moves[s] != NO_PAIRED_ENTRY && !MoveProgramKey(stored[s], entries[moves[s]], errorText))
            return false;
    }
    // Then the entries that found no key.
    for (const ProgramEntry& entry : entries) {
        if (!(entry.matched & ENTRY_MATCHED) && !WriteProgramKey(entry, errorText))
            return false;
    }
    return true;
}
