// Exporting the stored configuration as a registry file, imported back with Wine's own reg.exe.
#include <windows.h>
#include <process.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "model/configuration_export.h"
#include "model/error_text.h"
#include "model/registry_access.h"
#include "model/text_utils.h"
#include "tests/model/store_test_support.h"
#include "tests/support/seam_recorder.h"

namespace {

const std::wstring KEY = LOCALDUMPS_KEY_PATH;
const std::wstring LINK_TARGET = L"SOFTWARE\\KestruneExportLinkTarget";

class ConfigurationExport : public LocalDumpsTest {};

// Values of every kind that a LocalDumps tree may hold, the program's own and other tools'.
void StoreEveryKindOfValue()
{
    const std::wstring app = ProgramKeyPath(L"app.exe");
    reg64::SetString(KEY, L"DumpFolder", L"%SystemDrive%\\Crash \"Dumps\"", REG_EXPAND_SZ);
    reg64::SetDword(KEY, L"CustomDumpFlags", 0x80001825);
    const ULONGLONG stamp = 0x0123456789ABCDEFull;
    reg64::SetRaw(KEY, L"Stamp", REG_QWORD, &stamp, sizeof(stamp));
    const std::vector<BYTE> blob(200, 0x0A);  // wraps over several lines
    reg64::SetRaw(KEY, L"Blob", REG_BINARY, blob.data(), static_cast<DWORD>(blob.size()));
    reg64::SetString(KEY, L"", L"default \\ text");
    reg64::SetRaw(KEY, L"Two lines", REG_SZ, L"a\r\nb", 10);  // no closing NUL, a line break
    reg64::SetRaw(KEY, L"Short \"dword\"", REG_DWORD, "\x01\x02", 2);
    reg64::SetRaw(KEY, L"Nothing", REG_NONE, nullptr, 0);
    reg64::SetString(app, L"DumpFolder", L"C:\\Dumps\\app");
    reg64::SetDword(app + L"\\child\\deeper", L"x", 1);
    reg64::CreateKey(ProgramKeyPath(L"empty.exe"));
}

bool ReadUtf16File(const std::wstring& path, std::wstring& text)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return false;
    std::vector<char> bytes;
    char buffer[4096];
    for (size_t read; (read = fread(buffer, 1, sizeof(buffer), file)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + read);
    fclose(file);
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    return true;
}

}  // namespace

TEST_F(ConfigurationExport, ReimportedWithRegImportTheTreeComesBackValueForValueElseAMessageAndNoFile)
{
    TempFolder temp;
    const std::wstring file = temp.Child(L"LocalDumps.reg");
    // The 64-bit reg.exe where there is one: Wine's 32-bit one ignores /reg:64 when it deletes a key.
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring reg = std::wstring(windows) + L"\\sysnative\\reg.exe";
    if (::GetFileAttributesW(reg.c_str()) == INVALID_FILE_ATTRIBUTES)
        reg = std::wstring(windows) + L"\\system32\\reg.exe";
    const auto codeText = [](DWORD c) { return FormatText(L"(%d) %s", static_cast<int>(c), ErrorText(c).c_str()); };
    const struct {
        const char* what;
        std::function<void()> store;
        const char* failingCall;  // with its call number and code; null: none
        int nth;
        DWORD code;
        std::wstring message;  // empty: the export succeeds
    } cases[] = {
        {"a configuration", StoreEveryKindOfValue, nullptr, 0, 0, L""},
        {"no LocalDumps key", [] {}, nullptr, 0, 0, L""},
        {"app.exe's subkeys cannot be listed", StoreEveryKindOfValue, "RegEnumKeyExW", 3, ERROR_NOT_ENOUGH_MEMORY,
         L"ERROR: Failed to read registry key for export:\nHKLM\\" + ProgramKeyPath(L"app.exe") + L"\n\n" +
             codeText(ERROR_NOT_ENOUGH_MEMORY)},
        {"the disk is full", StoreEveryKindOfValue, "WriteFile", 0, ERROR_DISK_FULL,
         L"ERROR: Failed to write export file:\n\n" + file + L"\n\n" + codeText(ERROR_DISK_FULL)},
        {"a registry link below a program key",
         [&] {
             StoreEveryKindOfValue();
             StoreLink(ProgramKeyPath(L"app.exe\\child\\link"), LINK_TARGET);
         },
         nullptr, 0, 0,
         L"ERROR: Cannot export a registry link:\nHKLM\\" + ProgramKeyPath(L"app.exe\\child\\link") +
             L"\n\nNothing was written. A registry file cannot hold a link: remove it, or put a key of its own in "
             L"its place."},
    };
    // The program's own deletion, which takes a registry link as a link and leaves its target.
    const auto clear = [] { std::wstring ignored; RegDeleteSettingsKey(LOCALDUMPS_KEY_PATH, ignored); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clear();
        c.store();
        const StoreSnapshot exported = TakeSnapshot();
        ::DeleteFileW(file.c_str());
        std::wstring error;
        SeamRecorder seam;
        if (c.failingCall)
            seam.FailCall(c.failingCall, c.nth, c.code);
        EXPECT_EQ(c.message.empty(), ExportConfiguration(file, error)) << Narrow(error);
        EXPECT_EQ(0, seam.OpenKeys());
        if (!c.message.empty()) {
            EXPECT_EQ(c.message, error);
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(file.c_str())) << "no file, or no part of one";
            continue;
        }
        // UTF-16 with its byte-order mark, every line ended with CR LF.
        std::wstring text;
        ASSERT_TRUE(ReadUtf16File(file, text));
        EXPECT_EQ(0u, text.find(L"\xFEFFWindows Registry Editor Version 5.00\r\n"));
        for (size_t at = text.find(L'\n'); at != std::wstring::npos; at = text.find(L'\n', at + 1))
            ASSERT_EQ(L'\r', text[at - 1]) << "a line ends without CR at " << at;
        // Another machine, whose LocalDumps key holds something else.
        clear();
        reg64::SetDword(KEY, L"DumpCount", 3);
        reg64::SetDword(ProgramKeyPath(L"other.exe") + L"\\sub", L"DumpType", 1);
        ASSERT_EQ(0, _wspawnl(_P_WAIT, reg.c_str(), L"reg", L"import", (L"\"" + file + L"\"").c_str(), L"/reg:64",
                              nullptr));
        const StoreSnapshot imported = TakeSnapshot();
        EXPECT_TRUE(imported == exported) << "exported:\n" << exported.Describe() << "back:\n" << imported.Describe();
    }
    clear();
    reg64::DeleteTree(LINK_TARGET);
}
