// The platform as the real program sees it. With Wine told to report Windows XP to Kestrune.exe
// the window opens read-only: no run-as-administrator notice, SAVE disabled, one message about
// half a second after opening, and every save request refused. On the test prefix's own version
// the same window saves and says nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/registry_layout.h"
#include "res/resource.h"
#include "tests/e2e/kestrune_session.h"
#include "tests/support/child_process.h"

using namespace e2e;

namespace {

const wchar_t* const NOT_SUPPORTED_NOTICE = L"Windows Error Reporting is not supported on your Operating System";
const wchar_t* const NOT_SUPPORTED_ERROR = L"ERROR: Not supported on your Operating System";
const wchar_t* const PROGRAM_EXE = L"Kestrune.exe";

// Removes the per-application version and its key, so that nothing of it outlives the test.
void RemoveWineAppVersion()
{
    SetWineAppVersion(PROGRAM_EXE, L"");
    const std::wstring key = std::wstring(L"Software\\Wine\\AppDefaults\\") + PROGRAM_EXE;
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());  // fails harmlessly while other settings remain
}

bool HasWineAppVersion()
{
    const std::wstring key = std::wstring(L"Software\\Wine\\AppDefaults\\") + PROGRAM_EXE;
    return ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

class PlatformModeTest : public KestruneSession {
public:
    void SetUp() override
    {
        KestruneSession::SetUp();
        RemoveWineAppVersion();
    }

    void TearDown() override
    {
        KestruneSession::TearDown();  // the program is gone before its setting
        RemoveWineAppVersion();
        EXPECT_FALSE(HasWineAppVersion()) << "the Windows version setting of Kestrune.exe was left behind";
    }

    // Counts the message boxes with this text that come up over the given time, answering each.
    int CountBoxesOver(const std::wstring& text, DWORD milliseconds)
    {
        int count = 0;
        const ULONGLONG end = ::GetTickCount64() + milliseconds;
        while (::GetTickCount64() < end) {
            const MessageBoxInfo box = FindMessageBox(Pid());
            if (box && box.text == text) {
                ++count;
                Answer(box, IDOK);
            }
            ::Sleep(20);
        }
        return count;
    }
};

} // namespace

TEST_F(PlatformModeTest, OnWindowsXpTheWindowIsReadOnlyAndSaysSoOnceAfterHalfASecond)
{
    reg64::SetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER, L"C:\\Stored");
    SetWineAppVersion(PROGRAM_EXE, L"winxp");
    ASSERT_TRUE(HasWineAppVersion());

    // Timed from the moment the window was first seen (a notice that came with the window would
    // come at once), not from the end of the start-up wait, which on a loaded machine can itself
    // outlast the half second.
    ASSERT_TRUE(m_program.Start());
    const MessageBoxInfo notice = WaitForMessageBox(Pid());
    const ULONGLONG delay = ::GetTickCount64() - m_program.ShownAt();
    ASSERT_TRUE(notice) << "no unsupported-platform notice";
    EXPECT_EQ(NOT_SUPPORTED_NOTICE, notice.text);
    EXPECT_EQ(L"Kestrune", notice.caption);
    EXPECT_EQ((std::vector<std::wstring>{L"OK"}), notice.ButtonTexts());
    EXPECT_GE(delay, 300u);
    EXPECT_LE(delay, 3000u);
    ASSERT_NO_FATAL_FAILURE(Answer(notice, IDOK));
    EXPECT_EQ(0, CountBoxesOver(NOT_SUPPORTED_NOTICE, 1500)) << "the notice came more than once";

    // Read-only: no administrator notice, SAVE disabled; the stored settings are shown.
    EXPECT_FALSE(IsControlVisible(Main(), IDC_STATIC_ADMIN_NOTICE));
    EXPECT_FALSE(IsControlEnabled(Main(), IDOK));
    EXPECT_TRUE(IsControlEnabled(Main(), IDCANCEL));
    EXPECT_EQ(L"C:\\Stored", ControlText(Main(), IDC_EDIT_DUMP_FOLDER));

    // Editing still works, but "&Save && Exit" is refused (its command arrives even though the item
    // is grayed), Enter reaches no disabled default button, and nothing is written.
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_FOLDER, L"C:\\Edited"));
    ASSERT_NO_FATAL_FAILURE(AddProgram({L"xp.exe", L"", 1, L""}));
    EXPECT_EQ(std::vector<std::wstring>{L"xp.exe"}, RowNames());

    PostCommand(Main(), ID_FILE_SAVE_AND_EXIT);
    MessageBoxInfo refusal = ExpectMessageBox(NOT_SUPPORTED_ERROR);
    ASSERT_NO_FATAL_FAILURE(Answer(refusal, IDOK));
    ASSERT_TRUE(BringToForeground(Main()));
    ASSERT_TRUE(FocusControl(Main(), IDC_EDIT_DUMP_FOLDER));
    ASSERT_TRUE(PostKeyToFocus(Main(), VK_RETURN));
    EXPECT_FALSE(WaitForMessageBox(Pid(), 700)) << "Enter reached the disabled SAVE";

    EXPECT_TRUE(m_program.IsRunning());
    EXPECT_EQ(L"C:\\Edited", ControlText(Main(), IDC_EDIT_DUMP_FOLDER));
    EXPECT_EQ(L"C:\\Stored", reg64::GetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER));
    EXPECT_FALSE(reg64::KeyExists(ProgramKeyPath(L"xp.exe")));

    // Leaving asks as anywhere else.
    const MessageBoxInfo question = CloseExpectingQuestion();
    ASSERT_NO_FATAL_FAILURE(Answer(question, IDYES));
    EXPECT_TRUE(m_program.WaitForExit());
}

TEST_F(PlatformModeTest, OnTheDefaultVersionTheSameWindowSavesAndSaysNothing)
{
    ASSERT_FALSE(HasWineAppVersion());
    ASSERT_NO_FATAL_FAILURE(Launch());
    EXPECT_EQ(0, CountBoxesOver(NOT_SUPPORTED_NOTICE, 1500));
    EXPECT_FALSE(FindMessageBox(Pid()));
    EXPECT_TRUE(IsControlEnabled(Main(), IDOK));
    // The prefix's registry may be written (Wine grants every right), so no notice either.
    EXPECT_FALSE(IsControlVisible(Main(), IDC_STATIC_ADMIN_NOTICE));

    const std::wstring folder = ScratchFolder() + L"\\Saved";
    ASSERT_TRUE(SetControlText(Main(), IDC_EDIT_DUMP_FOLDER, folder));
    PostCommand(Main(), ID_FILE_SAVE_AND_EXIT);
    ASSERT_TRUE(m_program.WaitForExit()) << "Save & Exit did not save";
    EXPECT_EQ(folder, reg64::GetString(LOCALDUMPS_KEY_PATH, VALUE_DUMP_FOLDER));
}
