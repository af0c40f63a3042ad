// Every failable registry, file and security call of a commit made to fail in turn: exactly one
// box with the right text and code, nothing changed after the failure, and a second commit that
// completes the configuration.
#include <gtest/gtest.h>

#include <iostream>

#include "model/commit.h"
#include "model/error_text.h"
#include "model/registry_layout.h"
#include "model/text_utils.h"
#include "tests/model/store_test_support.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring KEY = LOCALDUMPS_KEY_PATH;
const DWORD INJECTED = ERROR_ACCESS_DENIED;

// A configuration to commit, the stored state it starts from, and the folders it involves.
struct Scenario {
    std::function<void()> setUp;
    DumpSettings global;
    std::vector<ProgramEntry> entries;
    std::vector<std::wstring> folders;
    bool clearing;
};

// Stored: global values with an unmanaged one; keep.exe (left alone), rewrite.exe (changed),
// delete.exe (no entry). Desired: a new global folder with ACL, add.exe new with a new folder.
Scenario WritingScenario(const TempFolder& temp)
{
    Scenario s;
    const std::wstring globalFolder = temp.Child(L"global");
    const std::wstring existingFolder = temp.Child(L"existing");
    const std::wstring addedFolder = temp.Child(L"added");
    s.folders = {globalFolder, existingFolder, addedFolder};
    s.setUp = [=]() {
        reg64::DeleteTree(KEY);
        RemoveFolderTree(globalFolder);
        RemoveFolderTree(addedFolder);
        MakeFolder(existingFolder);
        StoreSettings(KEY, MakeSettings(L"C:\\old global", 1, 5));
        reg64::SetString(KEY, L"Unmanaged", L"stays");
        StoreSettings(ProgramKeyPath(L"keep.exe"), MakeSettings(nullptr, 2, 3));
        StoreSettings(ProgramKeyPath(L"rewrite.exe"), MakeSettings(existingFolder.c_str(), 1, -1));
        StoreSettings(ProgramKeyPath(L"delete.exe"), MakeSettings(nullptr, -1, 4));
    };
    s.global = MakeSettings(globalFolder.c_str(), 2, 10, true);
    s.entries = {MakeEntry(L"keep.exe", MakeSettings(nullptr, 2, 3)),
                 MakeEntry(L"rewrite.exe", MakeSettings(existingFolder.c_str(), 2, 7, true)),
                 MakeEntry(L"add.exe", MakeSettings(addedFolder.c_str(), 1, -1))};
    s.clearing = false;
    return s;
}

// Stored: three global values and two program keys; desired: nothing, so all of it goes.
Scenario ClearingScenario()
{
    Scenario s;
    s.setUp = []() {
        reg64::DeleteTree(KEY);
        StoreSettings(KEY, MakeSettings(L"C:\\dumps", 2, 10));
        StoreSettings(ProgramKeyPath(L"a.exe"), MakeSettings(L"C:\\a", 1, 1));
        StoreSettings(ProgramKeyPath(L"b.exe"), MakeSettings(nullptr, -1, 3));
    };
    s.clearing = true;
    return s;
}

std::wstring WithCode(const wchar_t* format, DWORD code)
{
    return FormatText(format, static_cast<int>(code), ErrorText(code).c_str());
}

std::wstring WithKeyAndCode(const wchar_t* format, DWORD code)
{
    return FormatText(format, LOCALDUMPS_KEY_PATH, static_cast<int>(code), ErrorText(code).c_str());
}

std::wstring WithFolderAndCode(const wchar_t* format, const std::wstring& folder, DWORD code)
{
    return FormatText(format, folder.c_str(), static_cast<int>(code), ErrorText(code).c_str());
}

bool OpensLocalDumps(const SeamCall& call)
{
    return call.name == "RegOpenKeyExW" && call.fromMachineRoot && call.detail == KEY;
}

// The folder that the NtCreateFile call `index` makes: the name it was given in the parent opened
// by the CreateFileW call before it.
std::wstring FolderMadeBy(const std::vector<SeamCall>& trace, size_t index)
{
    for (size_t i = index; i-- > 0;) {
        if (trace[i].name == "CreateFileW")
            return trace[i].detail + L"\\" + trace[index].detail;
    }
    return trace[index].detail;
}

bool OpensItself(const SeamCall& call)
{
    return call.name == "RegOpenKeyExW" && (call.options & REG_OPTION_OPEN_LINK);
}

// The key whose removal call `index` belongs to, or "": the deletion of the LocalDumps key, or a
// step of a program key's removal, which opens the key that holds it from the machine root, then
// each key below it as itself, lists its subkeys and deletes it.
std::wstring KeyBeingRemoved(const std::vector<SeamCall>& trace, size_t index)
{
    if (trace[index].name == "RegDeleteKeyExW")
        return trace[index].detail;
    for (size_t i = index + 1; i-- > 0;) {
        const std::string& name = trace[i].name;
        if (name == "RegOpenKeyExW" && trace[i].fromMachineRoot) {
            if (i + 1 < trace.size() && OpensItself(trace[i + 1]))
                return trace[i].detail + L"\\" + trace[i + 1].detail;
            return L"";
        }
        if (!OpensItself(trace[i]) && name != "RegEnumKeyExW" && name != "NtDeleteKey")
            return L"";
    }
    return L"";
}

// The box that a failure of call `index` of the fault-free trace must bring, or "" when reading
// takes the failure as "not given" and the commit goes on.
std::wstring ExpectedBox(const std::vector<SeamCall>& trace, size_t index, bool clearing)
{
    const SeamCall& call = trace[index];
    const std::string& name = call.name;
    const std::wstring removed = KeyBeingRemoved(trace, index);
    if (!removed.empty()) {
        return FormatText(L"ERROR: Failed to remove registry key.\nHKLM\\%s\n\n(%d) %s", removed.c_str(),
                          static_cast<int>(INJECTED), ErrorText(INJECTED).c_str());
    }
    if (clearing) {
        bool deletedAnything = false;
        for (size_t i = 0; i < index; ++i)
            deletedAnything = deletedAnything || trace[i].name == "NtDeleteKey" || trace[i].name == "RegDeleteValueW";
        if (OpensLocalDumps(call) && (call.access & KEY_SET_VALUE))
            return WithCode(L"ERROR: Failed to remove registry values\n\n(%d) %s", INJECTED);
        if ((OpensLocalDumps(call) && deletedAnything) || name == "RegQueryInfoKeyW")
            return WithCode(L"ERROR: Failed to query main registry key.\n\n(%d) %s", INJECTED);
        if (OpensLocalDumps(call))
            return WithKeyAndCode(L"ERROR: Failed to enumerate keys for removal:\nHKLM\\%s\n\n(%d) %s", INJECTED);
        if (name == "RegEnumKeyExW")
            return WithKeyAndCode(L"ERROR: Failure while enumerating keys for removal:\nHKLM\\%s\n\n(%d) %s", INJECTED);
        if (name == "RegDeleteValueW")
            return WithCode(L"ERROR: Failed to remove registry values\n\n(%d) %s", INJECTED);
        ADD_FAILURE() << "unexpected call while clearing: " << name;
        return L"?";
    }

    // The folder of an ACL step: the one made next when the step checks its parent before making
    // it, else the one made last.
    std::wstring folder;
    for (size_t i = 0; i < index; ++i) {
        if (trace[i].name == "NtCreateFile")
            folder = FolderMadeBy(trace, i);
    }
    for (size_t i = index + 1; i < trace.size() && trace[i].name != "RegSetValueExW"; ++i) {
        if (trace[i].name == "NtCreateFile") {
            folder = FolderMadeBy(trace, i);
            break;
        }
    }
    // Opening the parent, when no ACL is asked for and so the parent is not checked before the folder is made.
    if (name == "CreateFileW" && index + 1 < trace.size() && trace[index + 1].name == "NtCreateFile")
        return WithFolderAndCode(L"ERROR: Failed to create folder to store dump files:\n\n%s\n\n(%d) %s", folder,
                                 INJECTED);
    if (name == "RegCreateKeyExW" || name == "RegSetValueExW")
        return WithCode(L"ERROR: Failed to write into registry.\n\n(%d) %s", INJECTED);
    if (name == "RegDeleteValueW")
        return WithCode(L"ERROR: Failed to remove registry value.\n\n(%d) %s", INJECTED);
    if (name == "NtCreateFile")
        return WithFolderAndCode(L"ERROR: Failed to create folder to store dump files:\n\n%s\n\n(%d) %s",
                                 FolderMadeBy(trace, index), INJECTED);
    if (name == "CreateFileW" || name == "GetFileInformationByHandle" || name == "GetFinalPathNameByHandleW" ||
        name == "ConvertStringSecurityDescriptorToSecurityDescriptorW" || name == "GetSecurityDescriptorDacl" ||
        name == "GetSecurityInfo" || name == "SetKernelObjectSecurity")
        return WithFolderAndCode(L"ERROR: Failed to set ACL on folder:\n\n%s\n\n(%d) %s", folder, INJECTED);
    if (OpensLocalDumps(call))
        return WithKeyAndCode(L"ERROR: Failed to enumerate keys for modification:\nHKLM\\%s\n\n(%d) %s", INJECTED);
    if (name == "RegEnumKeyExW")
        return WithKeyAndCode(L"ERROR: Failure while enumerating keys for modification:\nHKLM\\%s\n\n(%d) %s",
                              INJECTED);
    if (name == "RegQueryValueExW" || (name == "RegOpenKeyExW" && !call.fromMachineRoot))
        return L"";  // a program key read: taken as not given
    ADD_FAILURE() << "unexpected call while writing: " << name;
    return L"?";
}

// The state a failure at `index` must leave: everything before the failing call, except that a
// folder made by the same key write is taken back when its "DumpFolder" cannot be written, or when
// the ACL step that opened it fails.
StoreSnapshot ExpectedAfterFailure(const std::vector<SeamCall>& trace, const std::vector<StoreSnapshot>& before,
                                   size_t index)
{
    StoreSnapshot expected = before[index];
    const std::string& name = trace[index].name;
    const bool aclStepOnOpenFolder = name == "GetFileInformationByHandle" || name == "GetFinalPathNameByHandleW" ||
                                     name == "ConvertStringSecurityDescriptorToSecurityDescriptorW" ||
                                     name == "GetSecurityDescriptorDacl" || name == "GetSecurityInfo" ||
                                     name == "SetKernelObjectSecurity";
    if ((name == "RegSetValueExW" && trace[index].detail == VALUE_DUMP_FOLDER) || aclStepOnOpenFolder) {
        for (size_t i = index; i-- > 0 && trace[i].name != "RegCreateKeyExW";) {
            if (trace[i].name == "NtCreateFile") {
                const std::wstring made = FolderMadeBy(trace, i);
                expected.folders[made] = before[i].folders.at(made);
                break;
            }
        }
    }
    return expected;
}

class CommitFaults : public LocalDumpsTest {
protected:
    // Runs every failure point of the scenario; returns how many were tried.
    size_t RunEveryFailurePoint(const Scenario& scenario)
    {
        const ClearRequest clear = scenario.clearing ? CLEAR_ASKED : CLEAR_NOT_ASKED;
        // The fault-free run: its failable calls and the state in front of each.
        scenario.setUp();
        std::vector<SeamCall> trace;
        std::vector<StoreSnapshot> before;
        StoreSnapshot desired;
        {
            SeamRecorder seam;
            seam.BeforeEachFailableCall([&]() { before.push_back(TakeSnapshot(scenario.folders)); });
            BoxCapture boxes;
            std::vector<ProgramEntry> entries = scenario.entries;
            EXPECT_TRUE(CommitConfiguration(scenario.global, entries, clear));
            EXPECT_TRUE(boxes.Boxes().empty());
            trace = seam.FailableCalls();
            EXPECT_EQ(static_cast<int>(trace.size()), seam.FailableCallCount()) << "the trace sees every failable call";
        }
        desired = TakeSnapshot(scenario.folders);

        size_t point = 0;
        for (;; ++point) {
            scenario.setUp();
            bool ok;
            std::vector<CapturedBox> shown;
            std::string failedCall;
            {
                SeamRecorder seam;
                seam.FailFailableCall(static_cast<int>(point), INJECTED);
                BoxCapture boxes;
                std::vector<ProgramEntry> entries = scenario.entries;
                ok = CommitConfiguration(scenario.global, entries, clear);
                shown = boxes.Boxes();
                failedCall = seam.FailedCall();
                EXPECT_EQ(0, seam.OpenKeys()) << "point " << point;
            }
            if (failedCall.empty()) {
                EXPECT_TRUE(ok);
                EXPECT_TRUE(shown.empty());
                EXPECT_EQ(trace.size(), point) << "the last point is the end of the fault-free run";
                break;
            }
            if (point >= trace.size()) {
                ADD_FAILURE() << "more failable calls than in the fault-free run";
                break;
            }
            const std::string where = "point " + std::to_string(point) + " (" + trace[point].name + " " +
                                      Narrow(trace[point].detail) + ")";
            EXPECT_EQ(trace[point].name, failedCall) << where;

            std::wstring box = ExpectedBox(trace, point, scenario.clearing);
            StoreSnapshot after = TakeSnapshot(scenario.folders);
            if (box.empty()) {
                EXPECT_TRUE(ok) << where;
                EXPECT_TRUE(shown.empty()) << where;
                EXPECT_TRUE(after == desired) << where << "\n" << after.Describe() << "wanted\n" << desired.Describe();
            } else {
                EXPECT_FALSE(ok) << where;
                EXPECT_EQ(1u, shown.size()) << where;
                for (const CapturedBox& one : shown) {
                    EXPECT_EQ(box, one.text) << where;
                    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), one.type & MB_ICONMASK) << where;
                }
                StoreSnapshot expected = ExpectedAfterFailure(trace, before, point);
                EXPECT_TRUE(after == expected) << where << "\n" << after.Describe() << "wanted\n"
                                               << expected.Describe();
            }

            // A second save without the fault completes the configuration.
            SeamRecorder again;
            BoxCapture boxes;
            std::vector<ProgramEntry> entries = scenario.entries;
            EXPECT_TRUE(CommitConfiguration(scenario.global, entries, clear)) << where;
            EXPECT_TRUE(boxes.Boxes().empty()) << where;
            EXPECT_TRUE(TakeSnapshot(scenario.folders) == desired) << where;
            EXPECT_EQ(0, again.OpenKeys()) << where;
        }
        return point;
    }
};

}  // namespace

TEST_F(CommitFaults, EveryFailurePointOfTheWritingBranch)
{
    TempFolder temp;
    size_t points = RunEveryFailurePoint(WritingScenario(temp));
    std::cout << "writing branch: " << points << " failure points tried" << std::endl;
    RecordProperty("writing_failure_points", static_cast<int>(points));
    EXPECT_GT(points, 30u);
}

TEST_F(CommitFaults, EveryFailurePointOfTheClearingBranch)
{
    size_t points = RunEveryFailurePoint(ClearingScenario());
    std::cout << "clearing branch: " << points << " failure points tried" << std::endl;
    RecordProperty("clearing_failure_points", static_cast<int>(points));
    EXPECT_GT(points, 10u);
}
