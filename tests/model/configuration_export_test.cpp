// Exporting the stored configuration as a registry file, imported back with Wine's own reg.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "model/configuration_export.h"
#include "model/error_text.h"
#include "model/text_utils.h"
#include "tests/model/store_test_support.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring KEY = LOCALDUMPS_KEY_PATH;
const std::wstring DELETE_LINE = L"[-HKEY_LOCAL_MACHINE\\" + KEY + L"]";

class ConfigurationExport : public LocalDumpsTest {};

std::wstring ReadFileText(const std::wstring& path)
{
    std::wstring text(32768, L'\0');
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD read = 0;
    ::ReadFile(file, &text[0], static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    ::CloseHandle(file);
    text.resize(read / sizeof(wchar_t));
    return text;
}

// The system's own reg.exe, as an administrator's prompt or deployment script runs it; its exit
// code. On 64-bit Windows that is the 64-bit one (sysnative from this 32-bit program): Wine's 32-bit
// reg.exe ignores /reg:64 when it deletes a key.
DWORD RegImport(const std::wstring& file)
{
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring reg = std::wstring(windows) + L"\\sysnative\\reg.exe";
    if (::GetFileAttributesW(reg.c_str()) == INVALID_FILE_ATTRIBUTES)
        reg = std::wstring(windows) + L"\\system32\\reg.exe";
    std::wstring command = L"\"" + reg + L"\" import \"" + file + L"\" /reg:64";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return ::GetLastError();
    ::WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code;
}

// Values of every kind that a LocalDumps tree may hold, the program's own and other tools'.
void StoreEveryKindOfValue()
{
    const std::wstring app = ProgramKeyPath(L"app.exe");
    reg64::SetString(KEY, L"DumpFolder", L"%SystemDrive%\\Crash \"Dumps\"", REG_EXPAND_SZ);
    reg64::SetDword(KEY, L"DumpType", 0);
    reg64::SetDword(KEY, L"CustomDumpFlags", 0x80001825);
    const ULONGLONG stamp = 0x0123456789ABCDEFull;
    reg64::SetRaw(KEY, L"Stamp", REG_QWORD, &stamp, sizeof(stamp));
    reg64::SetRaw(KEY, L"Tools", REG_MULTI_SZ, L"one\0two\0", 18);
    BYTE blob[200];
    for (int i = 0; i < 200; ++i)
        blob[i] = static_cast<BYTE>(i * 7);
    reg64::SetRaw(KEY, L"Blob", REG_BINARY, blob, sizeof(blob));
    reg64::SetString(KEY, L"", L"default \\ text");
    reg64::SetRaw(KEY, L"Two lines", REG_SZ, L"a\r\nb", 10);  // no closing NUL, a line break
    reg64::SetRaw(KEY, L"Short \"dword\"", REG_DWORD, "\x01\x02", 2);
    reg64::SetRaw(KEY, L"Nothing", REG_NONE, nullptr, 0);
    reg64::SetString(app, L"DumpFolder", L"C:\\Dumps\\app");
    reg64::SetDword(app, L"DumpCount", 7);
    reg64::SetDword(app + L"\\child\\deeper", L"x", 1);
    reg64::CreateKey(ProgramKeyPath(L"empty.exe"));
}

}  // namespace

TEST_F(ConfigurationExport, ReimportedWithRegImportTheTreeComesBackValueForValue)
{
    TempFolder temp;
    for (bool keyExists : {true, false}) {
        SCOPED_TRACE(keyExists ? "a configuration" : "no LocalDumps key");
        reg64::DeleteTree(KEY);
        if (keyExists)
            StoreEveryKindOfValue();
        const StoreSnapshot exported = TakeSnapshot();
        const std::wstring file = temp.Child(keyExists ? L"full.reg" : L"none.reg");
        std::wstring error;
        ASSERT_TRUE(ExportConfiguration(file, error)) << Narrow(error);

        const std::wstring text = ReadFileText(file);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(L'\xFEFF', text[0]) << "UTF-16 with a byte-order mark";
        EXPECT_EQ(0u, text.find(L"\xFEFFWindows Registry Editor Version 5.00\r\n"));
        EXPECT_NE(std::wstring::npos, text.find(L"\r\n; Import as administrator with: reg import <file> /reg:64\r\n"));
        const size_t firstKey = text.find(L"\r\n[");
        EXPECT_EQ(firstKey + 2, text.find(DELETE_LINE + L"\r\n")) << "the first entry deletes the key";
        for (size_t at = text.find(L'\n'); at != std::wstring::npos; at = text.find(L'\n', at + 1))
            ASSERT_EQ(L'\r', text[at - 1]) << "every line ends in CRLF, at " << at;
        if (keyExists) {
            EXPECT_NE(std::wstring::npos, text.find(L"\r\n\"CustomDumpFlags\"=dword:80001825\r\n"));
            EXPECT_NE(std::wstring::npos, text.find(L"\r\n\"Stamp\"=hex(b):ef,cd,ab,89,67,45,23,01\r\n"));
            EXPECT_NE(std::wstring::npos, text.find(L"\r\n\"DumpFolder\"=hex(2):25,00,53,00"));
        }

        // Another machine, whose LocalDumps key holds something else.
        reg64::DeleteTree(KEY);
        reg64::SetDword(KEY, L"DumpCount", 3);
        reg64::SetDword(KEY, L"Other", 3);
        reg64::SetDword(ProgramKeyPath(L"other.exe") + L"\\sub", L"DumpType", 1);
        ASSERT_EQ(0u, RegImport(file));
        const StoreSnapshot imported = TakeSnapshot();
        EXPECT_TRUE(imported == exported) << "exported:\n" << exported.Describe() << "imported:\n"
                                          << imported.Describe();
    }
}

TEST_F(ConfigurationExport, FailuresNameTheKeyOrTheFileAndLeaveNoPartialFile)
{
    TempFolder temp;
    StoreEveryKindOfValue();
    const std::wstring file = temp.Child(L"out.reg");
    const std::wstring readFailed = L"ERROR: Failed to read registry key for export:\nHKLM\\";
    const std::wstring writeFailed = L"ERROR: Failed to write export file:\n\n" + file + L"\n\n";
    const struct {
        const char* call;
        int nth;  // the fourth RegEnumKeyExW is the first program key's
        DWORD code;
        std::wstring message;
    } cases[] = {
        {"RegEnumKeyExW", 3, ERROR_NOT_ENOUGH_MEMORY, readFailed + ProgramKeyPath(L"app.exe")},
        {"WriteFile", 0, ERROR_DISK_FULL, writeFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        std::wstring error;
        SeamRecorder seam;
        seam.FailCall(c.call, c.nth, c.code);
        EXPECT_FALSE(ExportConfiguration(file, error));
        EXPECT_EQ(0, seam.OpenKeys());
        EXPECT_EQ(0u, error.find(c.message)) << Narrow(error);
        EXPECT_NE(std::wstring::npos, error.find(FormatText(L"(%d) %s", static_cast<int>(c.code), ErrorText(c.code).c_str())));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(file.c_str())) << "no file, or no part of one";
    }
}
