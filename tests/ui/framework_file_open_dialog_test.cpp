// The file-open dialog: its set-up of OPENFILENAMEW and real runs of the common dialog, driven
// from inside its own loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/file_open_dialog.h"
#include "tests/support/ui_dialog_template.h"
#include "tests/support/ui_test_dialog.h"
#include "tests/ui/modal_driver.h"

namespace {

const wchar_t EXE_FILTER[] = L"Executables (*.exe)|*.exe|All files (*.*)|*.*|";

// The filter as the dialog reads it: entries up to the double NUL.
std::wstring FilterAsStored(const wchar_t* filter)
{
    std::wstring text;
    if (!filter)
        return text;
    const wchar_t* p = filter;
    while (*p) {
        const std::wstring part = p;
        text += part;
        text += L'\0';
        p += part.size() + 1;
    }
    return text;
}

// What the driver saw of the common dialog, and what it did there.
struct FileDialogDriver {
    HWND owner = nullptr;
    HWND dialog = nullptr;
    BOOL ownerEnabled = TRUE;
    std::wstring fileToChoose; // empty: cancel
};

// Chooses the driver's file in the dialog, or cancels it.
void AnswerFileDialog(FileDialogDriver& driver)
{
    driver.ownerEnabled = ::IsWindowEnabled(driver.owner);
    if (driver.fileToChoose.empty()) {
        ::PostMessageW(driver.dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    // The explorer-style dialog's file name box (cmb13), or the plain edit (edt1).
    if (!::SetDlgItemTextW(driver.dialog, 0x47C, driver.fileToChoose.c_str()))
        ::SetDlgItemTextW(driver.dialog, 0x480, driver.fileToChoose.c_str());
    ::PostMessageW(driver.dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// Runs the file dialog from inside a dialog of ours, so that the active window is known.
INT_PTR RunDriven(CFileOpenDialog& fileDialog, FileDialogDriver& driver)
{
    DialogTemplate tmpl(L"Browser", 160, 60);
    CTestDialog host(tmpl.Get());
    INT_PTR result = 0;
    host.m_script = [&](CTestDialog& d) {
        ::SetActiveWindow(d.m_hWnd);
        driver.owner = d.m_hWnd;
        ModalDriver answer({
            WaitForOwnedDialog(d.m_hWnd, driver.dialog),
            [&] {
                AnswerFileDialog(driver);
                return true;
            },
        });
        result = fileDialog.DoModal();
        return IDOK;
    };
    host.DoModal();
    return result;
}

} // namespace

TEST(FrameworkFileOpenDialog, FiltersTurnBarsIntoNuls)
{
    struct Case {
        const wchar_t* filter;
        std::wstring expected;
    };
    const Case cases[] = {
        {EXE_FILTER, std::wstring(L"Executables (*.exe)\0*.exe\0All files (*.*)\0*.*\0", 46)},
        {L"Text|*.txt", std::wstring(L"Text\0*.txt\0", 11)},
        {L"", L""},
        {nullptr, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, FilterWithNulSeparators(c.filter));
}

TEST(FrameworkFileOpenDialog, TheStructureIsSetUpForTheExplorerStyle)
{
    CFileOpenDialog dialog(TRUE, L"exe", L"start.exe", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, EXE_FILTER);
    EXPECT_EQ(sizeof(OPENFILENAMEW), dialog.m_ofn.lStructSize);
    EXPECT_EQ(static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLESIZING | OFN_EXPLORER),
              dialog.m_ofn.Flags);
    EXPECT_EQ(std::wstring(L"Executables (*.exe)\0*.exe\0All files (*.*)\0*.*\0", 46),
              FilterAsStored(dialog.m_ofn.lpstrFilter));
    EXPECT_EQ(1u, dialog.m_ofn.nFilterIndex);
    EXPECT_EQ(std::wstring(L"exe"), dialog.m_ofn.lpstrDefExt);
    EXPECT_EQ(L"start.exe", dialog.GetPathName());
    EXPECT_GE(dialog.m_ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));

    CFileOpenDialog bare(TRUE);
    EXPECT_EQ(nullptr, bare.m_ofn.lpstrFilter);
    EXPECT_EQ(nullptr, bare.m_ofn.lpstrDefExt);
    EXPECT_EQ(L"", bare.GetPathName());
}

TEST(FrameworkFileOpenDialog, CancellingGivesIdCancelAndTheActiveWindowOwnsTheDialog)
{
    CFileOpenDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, EXE_FILTER);
    FileDialogDriver driver;
    EXPECT_EQ(IDCANCEL, RunDriven(dialog, driver));
    EXPECT_NE(nullptr, driver.dialog);
    EXPECT_FALSE(driver.ownerEnabled);
    EXPECT_EQ(driver.owner, dialog.m_ofn.hwndOwner);
}

TEST(FrameworkFileOpenDialog, ChoosingAFileGivesIdOkAndItsPath)
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"kestrune_pick_me.exe";
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ::CloseHandle(file);

    // Also with the older structure size and no sizing, as a caller retries after a failure.
    for (bool olderStructure : {false, true}) {
        CFileOpenDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, EXE_FILTER);
        if (olderStructure) {
            dialog.m_ofn.lStructSize = 76;
            dialog.m_ofn.Flags &= ~static_cast<DWORD>(OFN_ENABLESIZING);
        }
        FileDialogDriver driver;
        driver.fileToChoose = path;
        EXPECT_EQ(IDOK, RunDriven(dialog, driver)) << "older structure " << olderStructure;
        EXPECT_EQ(0, lstrcmpiW(path.c_str(), dialog.GetPathName().c_str()))
            << "got " << std::string(dialog.GetPathName().begin(), dialog.GetPathName().end());
    }
    ::DeleteFileW(path.c_str());
}
