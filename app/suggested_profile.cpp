// The suggested settings in the per-user profile: built-in defaults, seeding at start-up and the
// read that both suggestion commands use.
#include "app/suggested_profile.h"

#include "framework/app_object.h"
#include "framework/system_calls.h"
#include "model/text_utils.h"

namespace {

const wchar_t* const VALUE_DUMP_FOLDER = L"DumpFolder";
const wchar_t* const VALUE_DUMP_COUNT = L"DumpCount";
const wchar_t* const VALUE_DUMP_TYPE = L"DumpType";
const wchar_t* const VALUE_SET_ACL = L"SetACL";

std::wstring ReadString(const wchar_t* name, const std::wstring& fallback)
{
    const CAppObject* app = CurrentApp();
    return app ? app->GetProfileString(PROFILE_SECTION_SUGGESTED, name, fallback.c_str()) : fallback;
}

LONG ReadNumber(const wchar_t* name, LONG fallback)
{
    const CAppObject* app = CurrentApp();
    return app ? app->GetProfileInt(PROFILE_SECTION_SUGGESTED, name, fallback) : fallback;
}

// Writes fail quietly: without a profile the program simply keeps its built-in suggestions.
void WriteString(const wchar_t* name, const std::wstring& text)
{
    if (CAppObject* app = CurrentApp())
        app->WriteProfileString(PROFILE_SECTION_SUGGESTED, name, text.c_str());
}

void WriteNumber(const wchar_t* name, LONG value)
{
    if (CAppObject* app = CurrentApp())
        app->WriteProfileInt(PROFILE_SECTION_SUGGESTED, name, value);
}

} // namespace

SuggestedSettings BuiltInSuggestedDefaults()
{
    wchar_t windowsDir[MAX_PATH] = {};
    Sys().GetWindowsDirectoryW(windowsDir, MAX_PATH);
    // Should the directory be unknown, a NUL would end the text before the colon; the system
    // drive is C: nearly everywhere.
    const wchar_t drive = windowsDir[0] ? windowsDir[0] : L'C';

    SuggestedSettings defaults;
    defaults.folder = FormatText(L"%c:\\CrashDumps", drive);
    defaults.dumpCount = 100;
    defaults.dumpType = 2;
    defaults.setAcl = 1;
    return defaults;
}

void InitSuggestedProfile()
{
    const SuggestedSettings defaults = BuiltInSuggestedDefaults();
    WriteString(VALUE_DUMP_FOLDER, ReadString(VALUE_DUMP_FOLDER, defaults.folder));
    WriteNumber(VALUE_DUMP_COUNT, ReadNumber(VALUE_DUMP_COUNT, defaults.dumpCount));
    WriteNumber(VALUE_DUMP_TYPE, ReadNumber(VALUE_DUMP_TYPE, defaults.dumpType));
    WriteNumber(VALUE_SET_ACL, ReadNumber(VALUE_SET_ACL, defaults.setAcl));
}

SuggestedSettings ReadSuggestedSettings()
{
    SuggestedSettings settings = BuiltInSuggestedDefaults();
    settings.folder = ReadString(VALUE_DUMP_FOLDER, settings.folder);
    settings.setAcl = ReadNumber(VALUE_SET_ACL, settings.setAcl);
    settings.dumpType = ReadNumber(VALUE_DUMP_TYPE, settings.dumpType);
    settings.dumpCount = ReadNumber(VALUE_DUMP_COUNT, settings.dumpCount);
    return settings;
}
