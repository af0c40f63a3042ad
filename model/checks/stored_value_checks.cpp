// What the stored values themselves lead to.
#include "model/checks/check_list.h"

#include "model/checks/check_reads.h"
#include "model/stored_values.h"
#include "model/text_utils.h"

void CheckZeroDumpCount(const StoredState& stored, CheckFindings& findings)
{
    const DumpSettings global = SettingsFromValues(stored.global);
    if (!global.hasDumpCount || global.dumpCount != 0)
        return;
    std::vector<std::wstring> withoutCount;
    for (const StoredKey& program : stored.programs) {
        if (!SettingsFromValues(program.values).hasDumpCount)
            withoutCount.push_back(program.name);
    }
    const std::wstring listed =
        withoutCount.empty() ? std::wstring(L"Every program in the list has a count of its own.")
                             : L"In the list, these programs have no count of their own: " + NameList(withoutCount) +
                                   L".";
    findings.push_back({L"Programs without their own count get no dumps", L"global DumpCount",
                        FormatText(L"The global \"DumpCount\" is 0: Windows keeps no dump of a program that has no "
                                   L"count of its own, which is every program not in the list. %s%sSet \"Maximum "
                                   L"number of files\" to 1 or more, or clear it (Windows then keeps 10), and save.",
                                   listed.c_str(), PARAGRAPH)});
}

void CheckProgramKeyNames(const StoredState& stored, CheckFindings& findings)
{
    for (const StoredKey& program : stored.programs) {
        if (program.name.find_first_of(L"\\/") == std::wstring::npos)
            continue;
        findings.push_back(
            {program.name + L" is not a file name", L"program key",
             FormatText(L"The program key \"%s\" in LocalDumps names a path, not a file name; another tool wrote "
                        L"it. Windows matches a crashing program by the file name of its image alone (such as "
                        L"app.exe), so these settings never apply.%sEdit the row, give it the file name alone and "
                        L"save: the key keeps its values under the new name.",
                        program.name.c_str(), PARAGRAPH)});
    }
}
