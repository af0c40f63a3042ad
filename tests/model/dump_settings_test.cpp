// The record rules: emptiness, equality, when a stored key must be rewritten, and list labels.
#include <gtest/gtest.h>

#include "model/dump_settings.h"

namespace {

DumpSettings Make(bool hasFolder, const wchar_t* folder, bool hasType, DWORD type, bool hasCount, LONG count,
                  bool setAcl = false)
{
    DumpSettings s;
    s.hasFolder = hasFolder;
    s.folder = folder;
    s.hasDumpType = hasType;
    s.dumpType = type;
    s.hasDumpCount = hasCount;
    s.dumpCount = count;
    s.setAcl = setAcl;
    return s;
}

ProgramEntry Entry(const wchar_t* name, const DumpSettings& settings)
{
    ProgramEntry e;
    e.processName = name;
    e.settings = settings;
    return e;
}

}  // namespace

TEST(DumpSettingsRules, IsEmptyFollowsWhatWouldBeWritten)
{
    struct Case {
        const char* what;
        DumpSettings settings;
        bool empty;
    } cases[] = {
        {"fresh record", DumpSettings(), true},
        {"only the ACL request", Make(false, L"", false, 0, false, 0, true), true},
        {"type 0 given (a kept custom dump)", Make(false, L"", true, 0, false, 0), false},
        {"count 0 given", Make(false, L"", false, 0, true, 0), true},
        {"negative count given", Make(false, L"", false, 0, true, -5), true},
        {"folder of blanks", Make(true, L" \t\r\n ", false, 0, false, 0), true},
        {"folder text without its flag", Make(false, L"C:\\dumps", false, 0, false, 0), true},
        {"type without its flag", Make(false, L"", false, 2, false, 0), true},
        {"folder given", Make(true, L"C:\\dumps", false, 0, false, 0), false},
        {"mini dump", Make(false, L"", true, 1, false, 0), false},
        {"unknown stored type", Make(false, L"", true, 7, false, 0), false},
        {"count 1", Make(false, L"", false, 0, true, 1), false},
        {"count beyond 31 bits reads negative", Make(false, L"", false, 0, true, static_cast<LONG>(0x80000000u)), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.empty, c.settings.IsEmpty()) << c.what;
}

TEST(DumpSettingsRules, EqualityAndNeedsWriteIgnoreValuesBehindFalseFlags)
{
    struct Case {
        const char* what;
        DumpSettings desired;
        DumpSettings stored;
        bool equal;
        bool needsWrite;
    } cases[] = {
        {"identical", Make(true, L"C:\\d", true, 2, true, 10), Make(true, L"C:\\d", true, 2, true, 10), true, false},
        {"folder texts differ but both not given", Make(false, L"a", false, 0, false, 0),
         Make(false, L"b", false, 0, false, 0), true, false},
        {"folder letter case differs", Make(true, L"C:\\D", false, 0, false, 0), Make(true, L"C:\\d", false, 0, false, 0),
         false, true},
        {"no folder against a stored empty folder", Make(false, L"", false, 0, false, 0),
         Make(true, L"", false, 0, false, 0), true, false},
        {"blanks around the stored folder", Make(true, L"C:\\d", false, 0, false, 0),
         Make(true, L" C:\\d\t ", false, 0, false, 0), true, false},
        {"blanks inside the folder count", Make(true, L"C:\\d e", false, 0, false, 0),
         Make(true, L"C:\\de", false, 0, false, 0), false, true},
        {"type differs", Make(false, L"", true, 1, false, 0), Make(false, L"", true, 2, false, 0), false, true},
        {"type given only on one side", Make(false, L"", true, 0, false, 0), Make(false, L"", false, 0, false, 0), false,
         true},
        {"counts differ", Make(false, L"", false, 0, true, 5), Make(false, L"", false, 0, true, 6), false, true},
        {"count values differ behind false flags", Make(false, L"", false, 0, false, 5),
         Make(false, L"", false, 0, false, 6), true, false},
        {"ACL request on an identical entry", Make(true, L"C:\\d", false, 0, false, 0, true),
         Make(true, L"C:\\d", false, 0, false, 0), false, true},
        {"ACL flag of the stored side is not looked at", Make(true, L"C:\\d", false, 0, false, 0),
         Make(true, L"C:\\d", false, 0, false, 0, true), false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.equal, c.desired.Equals(c.stored)) << c.what;
        EXPECT_EQ(c.needsWrite, NeedsWrite(Entry(L"a.exe", c.desired), Entry(L"a.exe", c.stored))) << c.what;
    }
}

TEST(DumpSettingsRules, BooleanFlagsCompareAsBooleans)
{
    DumpSettings a = Make(true, L"x", false, 0, false, 0, true);
    DumpSettings b = a;
    b.hasFolder = 5;
    b.setAcl = 2;
    EXPECT_TRUE(a.Equals(b));
}

TEST(ProgramEntryRules, NamesCompareCaseSensitivelyAndMarksAreIgnored)
{
    ProgramEntry a = Entry(L"app.exe", Make(false, L"", true, 1, false, 0));
    ProgramEntry b = a;
    b.modified = TRUE;
    b.matched = ENTRY_MATCHED;
    EXPECT_TRUE(a.Equals(b));
    b.processName = L"App.exe";
    EXPECT_FALSE(a.Equals(b));
    b = a;
    b.settings.dumpType = 2;
    EXPECT_FALSE(a.Equals(b));
}

TEST(DumpTypeLabels, KnownCodesAndEverythingElse)
{
    struct Case {
        DWORD code;
        const wchar_t* label;
    } cases[] = {
        {0, L"Custom dump"}, {1, L"Mini dump"}, {2, L"Full dump"}, {3, L"<?>"}, {9, L"<?>"}, {0xFFFFFFFFu, L"<?>"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.label, DumpTypeLabel(c.code)) << c.code;
}
