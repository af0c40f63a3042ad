// The registry places besides the LocalDumps key that decide whether Windows writes a dump.
#include "model/checks/check_list.h"

#include <sddl.h>

#include "app/platform_values.h"
#include "model/checks/check_reads.h"
#include "model/dump_folder_judgement.h"
#include "model/process_names.h"
#include "model/registry_access.h"
#include "model/registry_layout.h"
#include "model/text_utils.h"

namespace {

const wchar_t* const WOW_LOCALDUMPS_KEY_PATH = L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps";
const wchar_t* const AEDEBUG_KEY_PATH = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
const wchar_t* const WOW_AEDEBUG_KEY_PATH = L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
const wchar_t* const WER_POLICY_KEY_PATH = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Windows Error Reporting";

// "It holds the values ... and the program keys ...", or that it is empty.
std::wstring KeyContents(HKEY key)
{
    const std::vector<std::wstring> values = ValueNamesOf(key);
    const std::vector<std::wstring> programs = SubkeyNamesOf(key);
    if (values.empty() && programs.empty())
        return L"It is empty.";
    std::wstring text = L"It holds ";
    if (!values.empty())
        text += L"the values " + NameList(values);
    if (!values.empty() && !programs.empty())
        text += L" and ";
    if (!programs.empty())
        text += L"the program keys " + NameList(programs);
    return text + L".";
}

// Who a hive under HKEY_USERS belongs to.
std::wstring HiveOwner(const std::wstring& name)
{
    if (SameProcessName(name, L".Default"))
        return L"the default hive, used by the system account";
    PSID sid = nullptr;
    if (!::ConvertStringSidToSidW(name.c_str(), &sid))
        return L"an account Kestrune cannot name";
    unique_local_mem owner(sid);
    return L"the hive of " + AccountName(sid);
}

void AddPerUserFinding(const std::wstring& hive, const std::wstring& shortHive, const std::wstring& owner, HKEY key,
                       CheckFindings& findings)
{
    findings.push_back({L"Per-user settings are ignored", hive,
                        FormatText(L"The key LocalDumps exists in %s\\%s (%s). Windows reads the local dump "
                                   L"settings only from HKEY_LOCAL_MACHINE and ignores this key. %s%s"
                                   L"Enter the settings you want in Kestrune and save them, then remove this key:%s"
                                   L"reg delete \"%s\\%s\" /f",
                                   hive.c_str(), WER_KEY_PATH, owner.c_str(), KeyContents(key).c_str(), PARAGRAPH,
                                   PARAGRAPH, shortHive.c_str(), LOCALDUMPS_KEY_PATH)});
}

// "Auto" as Windows reads it: the text "1", or a DWORD 1.
bool AutoIsSet(HKEY key)
{
    std::wstring text;
    DWORD number = 0;
    if (QueryTextValue(key, L"Auto", text))
        return TrimWhitespace(text) == L"1";
    return RegQueryDword(key, L"Auto", number) && number == 1;
}

// The programs that the automatic debugger leaves alone: the values of "AutoExclusionList" that are 1.
std::vector<std::wstring> ExcludedPrograms(REGSAM view)
{
    std::vector<std::wstring> excluded;
    unique_hkey list;
    if (!OpenKeyToCheck(HKEY_LOCAL_MACHINE, std::wstring(AEDEBUG_KEY_PATH) + L"\\AutoExclusionList", view, list))
        return excluded;
    for (const std::wstring& name : ValueNamesOf(list.get())) {
        DWORD number = 0;
        if (RegQueryDword(list.get(), name.c_str(), number) && number == 1)
            excluded.push_back(name);
    }
    return excluded;
}

}  // namespace

void CheckThirtyTwoBitView(const StoredState&, CheckFindings& findings)
{
    unique_hkey key;
    if (g_osBitness != 1 || !OpenKeyToCheck(HKEY_LOCAL_MACHINE, WOW_LOCALDUMPS_KEY_PATH, g_registryView, key))
        return;
    findings.push_back(
        {L"Settings in the 32-bit registry view are ignored", L"32-bit registry view",
         FormatText(L"The key HKEY_LOCAL_MACHINE\\%s exists: a 32-bit program or script wrote its settings into "
                    L"the 32-bit registry view of this 64-bit Windows. Windows reads only the 64-bit key and "
                    L"ignores this one. %s%sEnter the settings you want in Kestrune and save them, then remove "
                    L"the 32-bit key from an elevated command prompt:%sreg delete \"HKLM\\%s\" /f",
                    WOW_LOCALDUMPS_KEY_PATH, KeyContents(key.get()).c_str(), PARAGRAPH, PARAGRAPH,
                    WOW_LOCALDUMPS_KEY_PATH)});
}

void CheckPerUserKeys(const StoredState&, CheckFindings& findings)
{
    unique_hkey key;
    if (OpenKeyToCheck(HKEY_CURRENT_USER, LOCALDUMPS_KEY_PATH, g_registryView, key))
        AddPerUserFinding(L"HKEY_CURRENT_USER", L"HKCU", L"your own user hive", key.get(), findings);

    // The other hives loaded now: other users logged on, services' accounts. Yours is the one above.
    const std::wstring self = CurrentUserSidText();
    for (const std::wstring& hive : SubkeyNamesOf(HKEY_USERS)) {
        const bool classes = hive.size() > 8 && SameProcessName(hive.substr(hive.size() - 8), L"_Classes");
        if (classes || SameProcessName(hive, self) ||
            !OpenKeyToCheck(HKEY_USERS, hive + L"\\" + LOCALDUMPS_KEY_PATH, g_registryView, key))
            continue;
        AddPerUserFinding(L"HKEY_USERS\\" + hive, L"HKU\\" + hive, HiveOwner(hive), key.get(), findings);
    }
}

void CheckAutomaticDebugger(const StoredState&, CheckFindings& findings)
{
    struct View {
        REGSAM view;
        const wchar_t* shownPath;
        const wchar_t* program;
        const wchar_t* affected;
        const wchar_t* regSwitch;
    };
    const View bothViews[] = {
        {g_registryView, AEDEBUG_KEY_PATH, L"a 64-bit program", L"64-bit programs", L" /reg:64"},
        {KEY_WOW64_32KEY, WOW_AEDEBUG_KEY_PATH, L"a 32-bit program", L"32-bit programs", L" /reg:32"}};
    const View oneView[] = {{0, AEDEBUG_KEY_PATH, L"a program", L"all programs", L""}};
    // On a 64-bit Windows each view decides for the programs of its own kind.
    const View* views = g_osBitness == 1 ? bothViews : oneView;
    const size_t viewCount = g_osBitness == 1 ? 2 : 1;
    for (size_t i = 0; i < viewCount; ++i) {
        const View& v = views[i];
        unique_hkey key;
        std::wstring debugger;
        if (!OpenKeyToCheck(HKEY_LOCAL_MACHINE, AEDEBUG_KEY_PATH, v.view, key) || !AutoIsSet(key.get()) ||
            !QueryTextValue(key.get(), L"Debugger", debugger) || TrimWhitespace(debugger).empty())
            continue;
        const std::vector<std::wstring> excluded = ExcludedPrograms(v.view);
        const std::wstring exclusions =
            excluded.empty() ? std::wstring()
                             : L"Only the programs in its \"AutoExclusionList\" still get dumps: " + NameList(excluded) +
                                   L". ";
        findings.push_back(
            {L"A debugger starts instead of a dump", v.affected,
             FormatText(L"When %s crashes, Windows starts the debugger set in HKEY_LOCAL_MACHINE\\%s, where "
                        L"\"Auto\" is 1:%s%s%sWindows collects no dump when a debugger starts automatically. %s"
                        L"To get dumps, switch the automatic start off from an elevated command prompt:%s"
                        L"reg add \"HKLM\\%s\" /v Auto /t REG_SZ /d 0 /f%s",
                        v.program, v.shownPath, PARAGRAPH, debugger.c_str(), PARAGRAPH, exclusions.c_str(), PARAGRAPH,
                        AEDEBUG_KEY_PATH, v.regSwitch)});
    }
}

void CheckReportingPolicy(const StoredState&, CheckFindings& findings)
{
    struct Place {
        HKEY root;
        const wchar_t* rootName;
        const wchar_t* shortRoot;
        const wchar_t* path;
        bool policy;
        const wchar_t* subject;
    };
    const Place places[] = {
        {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"HKLM", WER_POLICY_KEY_PATH, true, L"computer policy"},
        {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"HKCU", WER_POLICY_KEY_PATH, true, L"your user's policy"},
        {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"HKLM", WER_KEY_PATH, false, L"Windows Error Reporting key"},
    };
    for (const Place& place : places) {
        unique_hkey key;
        DWORD disabled = 0;
        if (!OpenKeyToCheck(place.root, place.path, g_registryView, key) ||
            !RegQueryDword(key.get(), L"Disabled", disabled) || disabled != 1)
            continue;
        const std::wstring remedy =
            place.policy
                ? std::wstring(L"A group policy sets it (\"Disable Windows Error Reporting\"); ask whoever manages "
                               L"the policy to set it to Not Configured.")
                : FormatText(L"To turn error reporting on again, from an elevated command prompt:%sreg add "
                             L"\"%s\\%s\" /v Disabled /t REG_DWORD /d 0 /f%s",
                             PARAGRAPH, place.shortRoot, place.path, RegViewSwitch().c_str());
        findings.push_back({L"Error reporting is turned off by policy", place.subject,
                            FormatText(L"The value \"Disabled\" is 1 in %s\\%s: Windows Error Reporting is turned "
                                       L"off, and this may stop local dumps too.%s%s",
                                       place.rootName, place.path, PARAGRAPH, remedy.c_str())});
    }
}
