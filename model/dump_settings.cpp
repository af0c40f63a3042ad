#include "model/dump_settings.h"

#include <algorithm>
#include <cwctype>

#include "model/registry_layout.h"
#include "model/text_utils.h"

namespace {

// The folder as the window takes it: without white space around it (as TrimWhitespace trims), and
// empty when not given. So a stored text with blanks around it, or an empty stored text, reads the
// same as the trimmed field and is left as it is stored.
struct TrimmedFolder {
    const wchar_t* begin;
    const wchar_t* end;
};

TrimmedFolder FolderAsEntered(const DumpSettings& settings)
{
    const wchar_t* begin = settings.folder.c_str();
    const wchar_t* end = begin + (settings.hasFolder ? settings.folder.size() : 0);
    while (begin < end && std::iswspace(*begin))
        ++begin;
    while (end > begin && std::iswspace(end[-1]))
        --end;
    return {begin, end};
}

}  // namespace

bool SameFolder(const DumpSettings& a, const DumpSettings& b)
{
    const TrimmedFolder x = FolderAsEntered(a);
    const TrimmedFolder y = FolderAsEntered(b);
    return x.end - x.begin == y.end - y.begin && std::equal(x.begin, x.end, y.begin);
}

bool SameDumpType(const DumpSettings& a, const DumpSettings& b)
{
    if (!a.hasDumpType != !b.hasDumpType)
        return false;
    return !a.hasDumpType || a.dumpType == b.dumpType;
}

bool SameDumpCount(const DumpSettings& a, const DumpSettings& b)
{
    if (!a.hasDumpCount != !b.hasDumpCount)
        return false;
    return !a.hasDumpCount || a.dumpCount == b.dumpCount;
}

bool SameCustomDumpFlags(const DumpSettings& a, const DumpSettings& b)
{
    if (!a.hasCustomDumpFlags != !b.hasCustomDumpFlags)
        return false;
    return !a.hasCustomDumpFlags || a.customDumpFlags == b.customDumpFlags;
}

bool DumpSettings::IsCustomDump() const
{
    return hasDumpType && dumpType == DUMP_TYPE_CUSTOM;
}

bool DumpSettings::IsEmpty() const
{
    if (hasFolder && !TrimWhitespace(folder).empty())
        return false;
    // Any given type is written: a custom dump (0) as much as a mini or a full one, and a code
    // set by another tool that the panel keeps.
    if (hasDumpType)
        return false;
    if (hasDumpCount && dumpCount > 0)
        return false;
    return true;
}

bool DumpSettings::Equals(const DumpSettings& other) const
{
    // The flags count only for a custom dump: Windows ignores them beside any other type.
    return SameFolder(*this, other) && SameDumpType(*this, other) && SameDumpCount(*this, other) &&
           (!IsCustomDump() || SameCustomDumpFlags(*this, other)) && !setAcl == !other.setAcl;
}

bool ProgramEntry::Equals(const ProgramEntry& other) const
{
    return processName == other.processName && settings.Equals(other.settings);
}

bool NeedsWrite(const ProgramEntry& desired, const ProgramEntry& stored)
{
    const DumpSettings& d = desired.settings;
    const DumpSettings& s = stored.settings;
    return !SameFolder(d, s) || !SameDumpType(d, s) || !SameDumpCount(d, s) ||
           (d.IsCustomDump() && !SameCustomDumpFlags(d, s)) || d.setAcl;
}

const wchar_t* DumpTypeLabel(DWORD code)
{
    switch (code) {
    case DUMP_TYPE_CUSTOM:
        return L"Custom dump";
    case DUMP_TYPE_MINI:
        return L"Mini dump";
    case DUMP_TYPE_FULL:
        return L"Full dump";
    default:
        return L"<?>";
    }
}
