// From many random stored states, with odd value types and sizes, a commit of a random desired
// configuration reads back as that configuration, and a second commit changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <random>

#include "model/commit.h"
#include "model/registry_layout.h"
#include "model/stored_settings.h"
#include "tests/model/store_test_support.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring KEY = LOCALDUMPS_KEY_PATH;

class CommitConvergence : public LocalDumpsTest {};

class RandomStore {
public:
    RandomStore(unsigned seed, const TempFolder& temp) : m_random(seed)
    {
        ::SetEnvironmentVariableW(L"KESTRUNE_STORE_DIR", temp.Path().c_str());
        m_folders = {temp.Child(L"f0"), temp.Child(L"f1"), temp.Child(L"with blank"), L"rel%KESTRUNE_UNSET_VAR%",
                     L"%KESTRUNE_STORE_DIR%\\env"};
        m_names = {L"a.exe", L"b.exe", L"app.exe", L"svc.exe", L"Tool.exe", std::wstring(251, L'L') + L".exe"};
    }

    // A stored state: global values and program keys in every form the registry can hold.
    void StoreRandomState()
    {
        reg64::DeleteTree(KEY);
        if (Chance(0.15))
            return;  // no LocalDumps key at all
        reg64::CreateKey(KEY);
        StoreRandomValues(KEY);
        std::vector<std::wstring> names = PickNames(Below(5));
        for (const std::wstring& name : names) {
            reg64::CreateKey(ProgramKeyPath(name));
            StoreRandomValues(ProgramKeyPath(name));
        }
    }

    // A desired configuration as the windows produce it: trimmed folders, types 1 or 2, counts from 1.
    DumpSettings DesiredSettings()
    {
        DumpSettings s;
        if (Chance(0.2))
            return s;
        s.hasFolder = Chance(0.5);
        if (s.hasFolder)
            s.folder = m_folders[Below(m_folders.size())];
        s.dumpType = static_cast<DWORD>(Below(3));
        s.hasDumpType = s.dumpType != 0;
        s.hasDumpCount = Chance(0.5);
        if (s.hasDumpCount)
            s.dumpCount = static_cast<LONG>(1 + Below(9999));
        s.setAcl = Chance(0.3);
        return s;
    }

    std::vector<ProgramEntry> DesiredEntries()
    {
        std::vector<ProgramEntry> entries;
        for (const std::wstring& name : PickNames(Below(5)))
            entries.push_back(MakeEntry(VaryCase(name), DesiredSettings()));
        return entries;
    }

private:
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }
    size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_random); }

    std::vector<std::wstring> PickNames(size_t count)
    {
        std::vector<std::wstring> names = m_names;
        std::shuffle(names.begin(), names.end(), m_random);
        names.resize(std::min(count, names.size()));
        return names;
    }

    std::wstring VaryCase(std::wstring name)
    {
        if (Chance(0.25)) {
            for (wchar_t& c : name)
                c = Chance(0.5) ? static_cast<wchar_t>(std::towupper(c)) : static_cast<wchar_t>(std::towlower(c));
        }
        return name;
    }

    void StoreRandomValues(const std::wstring& path)
    {
        const std::wstring& folder = m_folders[Below(m_folders.size())];
        const DWORD dword = static_cast<DWORD>(std::vector<DWORD>{0, 1, 2, 5, 10, 0x80000000u}[Below(6)]);
        const ULONGLONG qword = 2;
        const WORD word = 1;
        switch (Below(7)) {
        case 0: break;
        case 1: reg64::SetString(path, VALUE_DUMP_FOLDER, folder); break;
        case 2: reg64::SetString(path, VALUE_DUMP_FOLDER, folder, REG_EXPAND_SZ); break;
        case 3: reg64::SetRaw(path, VALUE_DUMP_FOLDER, REG_SZ, L"", 0); break;
        case 4: reg64::SetRaw(path, VALUE_DUMP_FOLDER, REG_SZ, folder.c_str(), static_cast<DWORD>(folder.size() * 2)); break;
        case 5: reg64::SetDword(path, VALUE_DUMP_FOLDER, 1); break;
        case 6: reg64::SetString(path, VALUE_DUMP_FOLDER, L""); break;
        }
        for (const wchar_t* name : {VALUE_DUMP_TYPE, VALUE_DUMP_COUNT}) {
            switch (Below(5)) {
            case 0: break;
            case 1: reg64::SetDword(path, name, dword); break;
            case 2: reg64::SetRaw(path, name, REG_QWORD, &qword, 8); break;
            case 3: reg64::SetRaw(path, name, REG_DWORD, &word, 2); break;
            case 4: reg64::SetString(path, name, L"1"); break;
            }
        }
        if (Chance(0.3))
            reg64::SetString(path, L"Unmanaged", L"not ours");
    }

    std::mt19937 m_random;
    std::vector<std::wstring> m_folders;
    std::vector<std::wstring> m_names;
};

DumpSettings WithoutAclRequest(DumpSettings settings)
{
    settings.setAcl = FALSE;
    return settings;
}

struct ReadBack {
    DumpSettings global;
    std::vector<ProgramEntry> entries;
};

ReadBack ReadConfiguration()
{
    ReadBack back;
    back.global = ReadGlobalSettings();
    EXPECT_EQ(READ_OK, ReadProgramKeys([&back](const ProgramEntry& r) { back.entries.push_back(r); }));
    return back;
}

std::wstring UpperCase(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

}  // namespace

TEST_F(CommitConvergence, RandomStatesConvergeToTheDesiredConfiguration)
{
    TempFolder temp;
    CurrentDirectory inTemp(temp.Path());
    MakeFolder(temp.Child(L"f0"));
    RandomStore store(20261208u, temp);

    const int ROUNDS = 250;
    int cleared = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        store.StoreRandomState();
        DumpSettings global = store.DesiredSettings();
        std::vector<ProgramEntry> entries = store.DesiredEntries();
        // Every other save had Clear Global Settings chosen; the others keep the LocalDumps key.
        const ClearRequest clear = round % 2 ? CLEAR_ASKED : CLEAR_NOT_ASKED;
        if (ClearsConfiguration(global, entries, clear))
            ++cleared;

        {
            SeamRecorder seam;
            BoxCapture boxes;
            std::vector<ProgramEntry> desired = entries;
            EXPECT_TRUE(CommitConfiguration(global, desired, clear));
            EXPECT_TRUE(boxes.Boxes().empty());
            EXPECT_EQ(0, seam.OpenKeys());
        }

        // What is stored now reads as the desired configuration.
        ReadBack back = ReadConfiguration();
        EXPECT_TRUE(back.global.Equals(WithoutAclRequest(global)))
            << Describe(back.global) << " wanted " << Describe(global);
        // A key whose name the entries changed only in letter case keeps its letters: names are
        // compared as Windows Error Reporting compares them, without regard to case.
        std::map<std::wstring, DumpSettings> stored;
        for (const ProgramEntry& record : back.entries)
            stored[UpperCase(record.processName)] = record.settings;
        EXPECT_EQ(entries.size(), stored.size());
        for (const ProgramEntry& entry : entries) {
            auto found = stored.find(UpperCase(entry.processName));
            if (found == stored.end()) {
                ADD_FAILURE() << Narrow(entry.processName) << " missing";
                continue;
            }
            EXPECT_TRUE(found->second.Equals(WithoutAclRequest(entry.settings)))
                << Narrow(entry.processName) << ": " << Describe(found->second) << " wanted "
                << Describe(entry.settings);
        }

        // Saving what was read changes nothing: no program key is touched, and the global values,
        // which every save writes again, stay byte for byte the same.
        StoreSnapshot before = TakeSnapshot();
        {
            SeamRecorder seam;
            BoxCapture boxes;
            EXPECT_TRUE(CommitConfiguration(back.global, back.entries, CLEAR_NOT_ASKED));
            EXPECT_TRUE(boxes.Boxes().empty());
            int beforeEnumeration = std::max(0, seam.ChangesBeforeFirstEnumeration());
            EXPECT_EQ(0, seam.RegistryChanges() - beforeEnumeration) << "program key changes";
            if (back.global.IsEmpty() && back.entries.empty()) {
                EXPECT_EQ(0, seam.RegistryChanges()) << "an empty save over what is empty";
            }
            EXPECT_EQ(0, seam.OpenKeys());
        }
        EXPECT_TRUE(TakeSnapshot() == before) << TakeSnapshot().Describe() << "wanted\n" << before.Describe();
    }
    std::cout << ROUNDS << " random rounds, " << cleared << " of them clearing" << std::endl;
    EXPECT_GT(cleared, 0);
}
