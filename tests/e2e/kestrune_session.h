#pragma once
// The fixture of the end-to-end tests: one real Kestrune.exe per test against the test prefix's
// registry (LocalDumps cleared before and after), a scratch folder of the test's own, and the
// steps a user takes again and again: open the add dialog, fill it in, answer a question, close.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/e2e_driver.h"
#include "tests/support/registry_fixture.h"

namespace e2e {

const wchar_t* const ADD_CAPTION = L"Add Crash Dump Settings For Specific Program";
const wchar_t* const EDIT_CAPTION = L"Edit Crash Dump Settings For Specific Program";
const wchar_t* const EXIT_QUESTION = L"Do you want to exit without saving changes?";

// What the program settings dialog is filled with; empty fields are left as they are.
struct ProgramInput {
    std::wstring name;
    std::wstring folder;
    int dumpTypeItem = -1;  // combo position: 0 empty, 1 mini, 2 full; -1 untouched
    std::wstring count;
};

// One named way of doing something to a running program, for tables of cases; the name is the
// test's name suffix.
template <typename Fixture>
struct NamedStep {
    const char* name;
    std::function<void(Fixture&)> run;
};

template <typename Fixture>
void PrintTo(const NamedStep<Fixture>& step, std::ostream* out)
{
    *out << step.name;
}

struct NameOfStep {
    template <typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const
    {
        return info.param.name;
    }
};

// Its steps are public so that the tables of cases can call them.
class KestruneSession : public LocalDumpsTest {
public:
    void TearDown() override;

    // Starts the program and brings its window to the foreground; fails the test otherwise.
    void Launch();
    HWND Main() const { return m_program.MainWindow(); }
    DWORD Pid() const { return m_program.Id(); }
    std::vector<std::wstring> RowNames() const;
    std::vector<int> SelectedRows() const;
    // Selects exactly these rows (LVM_SETITEMSTATE from outside) and waits until the buttons follow.
    void SelectRows(const std::vector<int>& rows);

    // Presses "&+" and waits for the add dialog; null when it did not open.
    HWND OpenAddDialog();
    // Fills the open program dialog and presses its OK button ("Add" or "OK").
    void FillAndConfirm(HWND dialog, const ProgramInput& input);
    // The whole add: "&+", fill in, Add, and the dialog gone again.
    void AddProgram(const ProgramInput& input);
    void WaitUntilGone(HWND window, DWORD timeoutMs = 10000);

    // The message box the program shows next; fails the test when none comes.
    MessageBoxInfo ExpectMessageBox(const std::wstring& text, DWORD timeoutMs = WINDOW_APPEARS_MS);
    void Answer(const MessageBoxInfo& box, int button);

    // Chooses an item of the menu bar with the keyboard: Alt alone, the popup's mnemonic, the
    // item's mnemonic, each key once the one before has taken effect.
    void ChooseFromMenuBar(UINT popupKey, UINT itemKey);

    // Closes the window and expects the program to end without asking anything.
    void CloseExpectingNoQuestion();
    // Closes the window and returns the question it asked (fails the test without one).
    MessageBoxInfo CloseExpectingQuestion();

    // A fresh folder under the temporary folder, removed with everything in it at tear-down.
    const std::wstring& ScratchFolder();

    ProgramProcess m_program;

private:
    std::wstring m_scratch;
};

// The three values of a settings key as the registry holds them: an empty folder and -1 mean
// that the value must be missing.
void ExpectKeyValues(const std::wstring& keyPath, const std::wstring& folder, long long dumpType,
                     long long dumpCount);
// The folder exists, and Everyone may write there or not.
void ExpectDumpFolder(const std::wstring& folder, bool everyoneMayWrite);

// Everyone (S-1-1-0) holds an allow entry with write access in the folder's DACL.
bool EveryoneMayWrite(const std::wstring& folder);
bool FolderExists(const std::wstring& folder);
// A registry DWORD value, or -1 when it is missing or of another type.
long long DwordOf(const std::wstring& keyPath, const wchar_t* name);

// Whether this test runs on a 64-bit Windows: it is a 32-bit process like the program, so it runs
// under WOW64 there. A 32-bit Windows has one registry view and says "32-bit OS" in the About box.
inline bool OnSixtyFourBitWindows()
{
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

} // namespace e2e
