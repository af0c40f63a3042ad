// The application profile against the real HKEY_CURRENT_USER of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/app_object.h"
#include "tests/support/seam_recorder.h"

namespace {

const wchar_t PROFILE_KEY[] = L"kestrune-tests.invalid";
const wchar_t APP_NAME[] = L"ProfileProbe";
const std::wstring APP_PATH = std::wstring(L"Software\\") + PROFILE_KEY + L"\\" + APP_NAME;

void DeleteProfileKey()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + PROFILE_KEY).c_str());
}

void StoreRaw(const std::wstring& section, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, (APP_PATH + L"\\" + section).c_str(), 0,
                                               nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    ::RegCloseKey(key);
}

struct StoredValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

StoredValue ReadRaw(const std::wstring& section, const wchar_t* name)
{
    StoredValue value;
    BYTE buffer[16384];
    DWORD size = sizeof(buffer);
    value.status = ::RegGetValueW(HKEY_CURRENT_USER, (APP_PATH + L"\\" + section).c_str(), name,
                                  RRF_RT_ANY | RRF_NOEXPAND, &value.type, buffer, &size);
    if (value.status == ERROR_SUCCESS)
        value.data.assign(buffer, buffer + size);
    return value;
}

class FrameworkProfile : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteProfileKey();
        m_app.SetProfileKeyName(PROFILE_KEY);
    }
    void TearDown() override { DeleteProfileKey(); }

    CAppObject m_app{APP_NAME};
};

} // namespace

TEST_F(FrameworkProfile, StringsAreStoredAsTerminatedRegSzUnderTheSectionPath)
{
    struct Case {
        const wchar_t* section;
        const wchar_t* name;
        std::wstring text;
    };
    const Case cases[] = {
        {L"Settings", L"ver", L"1.0.1"},
        {L"Settings\\Suggested", L"DumpFolder", L"%LOCALAPPDATA%\\CrashDumps"},
        {L"Settings\\Suggested", L"Empty", L""},
        {L"Settings", L"Long", std::wstring(3000, L'x')},
        {L"Settings", L"Unicode", L"D:\\Dumps \u00e9\u4e2d"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(m_app.WriteProfileString(c.section, c.name, c.text.c_str())) << c.name;
        EXPECT_EQ(c.text, m_app.GetProfileString(c.section, c.name, L"default")) << c.name;

        const StoredValue stored = ReadRaw(c.section, c.name);
        ASSERT_EQ(ERROR_SUCCESS, stored.status) << c.name;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
        EXPECT_EQ((c.text.size() + 1) * sizeof(wchar_t), stored.data.size()) << c.name;
    }
}

TEST_F(FrameworkProfile, MissingOrUnsuitableStringsGiveTheDefault)
{
    const DWORD number = 5;
    StoreRaw(L"Settings", L"Number", REG_DWORD, &number, sizeof(number));
    const BYTE binary[] = {'a', 0, 'b', 0};
    StoreRaw(L"Settings", L"Binary", REG_BINARY, binary, sizeof(binary));

    EXPECT_EQ(L"fallback", m_app.GetProfileString(L"Settings", L"Absent", L"fallback"));
    EXPECT_EQ(L"fallback", m_app.GetProfileString(L"No\\Such\\Section", L"ver", L"fallback"));
    EXPECT_EQ(L"fallback", m_app.GetProfileString(L"Settings", L"Number", L"fallback"));
    EXPECT_EQ(L"fallback", m_app.GetProfileString(L"Settings", L"Binary", L"fallback"));
    EXPECT_EQ(L"", m_app.GetProfileString(L"Settings", L"Absent", nullptr));
}

TEST_F(FrameworkProfile, StoredTextIsReadAsStoredEvenWithoutItsTerminator)
{
    const wchar_t unterminated[] = {L'C', L':', L'\\', L'D'};
    StoreRaw(L"Settings", L"NoNul", REG_SZ, unterminated, sizeof(unterminated));
    const wchar_t oddSize[] = {L'a', L'b', L'\0'};
    StoreRaw(L"Settings", L"OddSize", REG_SZ, oddSize, 5); // "ab" and half a character
    const std::wstring expandable = L"%SystemRoot%\\Dumps";
    StoreRaw(L"Settings", L"Expand", REG_EXPAND_SZ, expandable.c_str(),
             static_cast<DWORD>((expandable.size() + 1) * sizeof(wchar_t)));
    const wchar_t embedded[] = L"first\0second";
    StoreRaw(L"Settings", L"Embedded", REG_SZ, embedded, sizeof(embedded));

    EXPECT_EQ(L"C:\\D", m_app.GetProfileString(L"Settings", L"NoNul", L"x"));
    EXPECT_EQ(L"ab", m_app.GetProfileString(L"Settings", L"OddSize", L"x"));
    EXPECT_EQ(expandable, m_app.GetProfileString(L"Settings", L"Expand", L"x"));
    EXPECT_EQ(L"first", m_app.GetProfileString(L"Settings", L"Embedded", L"x"));
}

TEST_F(FrameworkProfile, NumbersAreStoredAsRegDwordAndReadBackSigned)
{
    for (int number : {0, 1, 100, 2, -1, INT_MIN, INT_MAX}) {
        EXPECT_TRUE(m_app.WriteProfileInt(L"Settings\\Suggested", L"DumpType", number));
        EXPECT_EQ(number, m_app.GetProfileInt(L"Settings\\Suggested", L"DumpType", 12345));
        const StoredValue stored = ReadRaw(L"Settings\\Suggested", L"DumpType");
        ASSERT_EQ(ERROR_SUCCESS, stored.status);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), stored.type);
        ASSERT_EQ(4u, stored.data.size());
        DWORD raw = 0;
        memcpy(&raw, stored.data.data(), 4);
        EXPECT_EQ(static_cast<DWORD>(number), raw);
    }
}

TEST_F(FrameworkProfile, NumbersThatAreNotExactlyFourBytesOfDwordGiveTheDefault)
{
    struct Case {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> data;
        int expected;
    };
    const Case cases[] = {
        {L"AllOnes", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, -1},
        {L"Small", REG_DWORD, {0x07, 0x00, 0x00, 0x00}, 7},
        {L"TwoBytes", REG_DWORD, {0x07, 0x00}, 99},
        {L"EightBytes", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, 99},
        {L"LongBinary", REG_BINARY, {1, 2, 3, 4, 5}, 99},
        {L"ShortBinary", REG_BINARY, {1}, 99},
        {L"FourByteText", REG_SZ, {'7', 0, 0, 0}, 99},
        {L"Empty", REG_DWORD, {}, 99},
    };
    for (const Case& c : cases)
        StoreRaw(L"Settings", c.name, c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, m_app.GetProfileInt(L"Settings", c.name, 99)) << c.name;
    EXPECT_EQ(99, m_app.GetProfileInt(L"Settings", L"Absent", 99));
    EXPECT_EQ(99, m_app.GetProfileInt(L"Missing\\Section", L"Small", 99));
}

TEST_F(FrameworkProfile, WithoutAProfileKeyNameReadsGiveDefaultsAndWritesFail)
{
    CAppObject nameless(APP_NAME); // not the current application; that does not matter here
    EXPECT_FALSE(nameless.WriteProfileString(L"Settings", L"ver", L"1.0.1"));
    EXPECT_FALSE(nameless.WriteProfileInt(L"Settings", L"n", 1));
    EXPECT_EQ(L"d", nameless.GetProfileString(L"Settings", L"ver", L"d"));
    EXPECT_EQ(3, nameless.GetProfileInt(L"Settings", L"n", 3));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw(L"Settings", L"ver").status);
}

TEST_F(FrameworkProfile, ARefusedWriteReturnsFalseWithTheRegistryCodeAndLeaksNoKey)
{
    {
        SeamRecorder seam;
        seam.FailEveryCall("RegCreateKeyExW", ERROR_ACCESS_DENIED);
        ::SetLastError(0);
        EXPECT_FALSE(m_app.WriteProfileString(L"Settings", L"ver", L"1.0.1"));
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), ::GetLastError());
        EXPECT_FALSE(m_app.WriteProfileInt(L"Settings", L"n", 1));
        EXPECT_EQ(0, seam.OpenKeys());
    }
    {
        SeamRecorder seam;
        seam.FailEveryCall("RegSetValueExW", ERROR_ACCESS_DENIED);
        EXPECT_FALSE(m_app.WriteProfileInt(L"Settings", L"n", 1));
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), ::GetLastError());
        EXPECT_EQ(0, seam.OpenKeys());
    }
    {
        SeamRecorder seam;
        EXPECT_TRUE(m_app.WriteProfileString(L"A\\B", L"s", L"text"));
        EXPECT_EQ(L"text", m_app.GetProfileString(L"A\\B", L"s", L""));
        EXPECT_EQ(5, m_app.GetProfileInt(L"A\\B", L"s", 5));
        EXPECT_EQ(0, seam.OpenKeys());
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw(L"Settings", L"n").status);
}

TEST_F(FrameworkProfile, AnUnreadableSectionGivesTheDefaults)
{
    EXPECT_TRUE(m_app.WriteProfileInt(L"Settings", L"n", 1));
    EXPECT_TRUE(m_app.WriteProfileString(L"Settings", L"s", L"t"));
    SeamRecorder seam;
    seam.FailEveryCall("RegOpenKeyExW", ERROR_ACCESS_DENIED);
    EXPECT_EQ(4, m_app.GetProfileInt(L"Settings", L"n", 4));
    EXPECT_EQ(L"u", m_app.GetProfileString(L"Settings", L"s", L"u"));
}
