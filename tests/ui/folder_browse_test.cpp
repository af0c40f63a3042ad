// Browse in the dump settings panel with the shell's real folder browser: the folder the edit
// names is preselected (environment references expanded), OK puts the chosen folder into the edit
// without a trailing separator, and Cancel keeps the text as it was.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/message_box.h"
#include "res/resource.h"
#include "tests/ui/modal_driver.h"
#include "ui/settings/dump_settings_panel.h"

namespace {

const wchar_t VARIABLE[] = L"KESTRUNE_TEST_BROWSE";

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

std::wstring WindowsDirectory()
{
    wchar_t path[MAX_PATH] = {};
    ::GetWindowsDirectoryW(path, MAX_PATH);
    return path;
}

class PanelBrowseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_comInitialized = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        m_dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ADDEDIT_PROG), nullptr,
                                        PlainDialogProc, 0);
        ASSERT_NE(nullptr, m_dialog);
        ::ShowWindow(m_dialog, SW_SHOW);
        m_panel.Attach(m_dialog);
        m_panel.InitPanel();
        ::SetEnvironmentVariableW(VARIABLE, WindowsDirectory().c_str());
        SetMessageBoxHook([this](HWND, const std::wstring& text, const std::wstring&, UINT) {
            m_messages += text;
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHook(nullptr);
        ::SetEnvironmentVariableW(VARIABLE, nullptr);
        if (m_dialog)
            ::DestroyWindow(m_dialog);
        if (m_comInitialized)
            ::CoUninitialize();
    }

    // Runs Browse with `folderText` in the edit and ends the browser with `button`; returns the
    // edit's text afterwards.
    std::wstring Browse(const std::wstring& folderText, int button)
    {
        ::SetDlgItemTextW(m_dialog, IDC_EDIT_DUMP_FOLDER, folderText.c_str());
        HWND browser = nullptr;
        ModalDriver driver({
            WaitForOwnedDialog(m_dialog, browser),
            [] { return true; },  // a few ticks for the preselection to arrive
            [] { return true; },
            [] { return true; },
            [] { return true; },
            [] { return true; },
            [&] {
                ::PostMessageW(browser, WM_COMMAND, button, 0);
                return true;
            },
        });
        m_panel.BrowseForDumpFolder();
        EXPECT_FALSE(driver.TimedOut());
        return ItemText(m_dialog, IDC_EDIT_DUMP_FOLDER);
    }

    HWND m_dialog = nullptr;
    DumpSettingsPanel m_panel;
    std::wstring m_messages;
    bool m_comInitialized = false;
};

TEST_F(PanelBrowseTest, OkTakesThePreselectedExpandedFolder)
{
    EXPECT_EQ(WindowsDirectory(), Browse(L"%KESTRUNE_TEST_BROWSE%", IDOK));
    EXPECT_EQ(L"", m_messages);
}

TEST_F(PanelBrowseTest, TheRootOfADriveKeepsItsBackslash)
{
    // "C:" alone would name the current folder of drive C.
    const std::wstring root = WindowsDirectory().substr(0, 3);  // "C:\"
    EXPECT_EQ(root, Browse(root, IDOK));
}

TEST_F(PanelBrowseTest, CancelKeepsTheTextUnexpanded)
{
    EXPECT_EQ(L"%KESTRUNE_TEST_BROWSE%\\Dumps", Browse(L"%KESTRUNE_TEST_BROWSE%\\Dumps", IDCANCEL));
    EXPECT_EQ(L"", m_messages);
}

} // namespace
