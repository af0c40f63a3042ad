// Expanding environment references for the folder browser, with the process's real environment.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/settings/dump_settings_panel.h"

namespace {

const wchar_t VARIABLE[] = L"KESTRUNE_TEST_FOLDER";

class ExpandEnvStringsTest : public ::testing::Test {
protected:
    void TearDown() override { ::SetEnvironmentVariableW(VARIABLE, nullptr); }
    void SetVariable(const std::wstring& value) { ASSERT_TRUE(::SetEnvironmentVariableW(VARIABLE, value.c_str())); }
};

TEST_F(ExpandEnvStringsTest, EmptySourceSucceedsWithAnEmptyResult)
{
    std::wstring out = L"left over";
    EXPECT_TRUE(ExpandEnvStrings(L"", out));
    EXPECT_EQ(L"", out);
}

TEST_F(ExpandEnvStringsTest, ReferencesAreReplacedAndUnknownOnesKept)
{
    SetVariable(L"D:\\Dumps");
    struct Case {
        const wchar_t* source;
        const wchar_t* expanded;
    };
    const Case cases[] = {
        {L"%KESTRUNE_TEST_FOLDER%\\Crash", L"D:\\Dumps\\Crash"},
        {L"C:\\Plain", L"C:\\Plain"},
        {L"%KESTRUNE_NO_SUCH_VARIABLE%\\Crash", L"%KESTRUNE_NO_SUCH_VARIABLE%\\Crash"},
        {L"%KESTRUNE_TEST_FOLDER%%KESTRUNE_TEST_FOLDER%", L"D:\\DumpsD:\\Dumps"},
        {L"100%", L"100%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        std::wstring out;
        EXPECT_TRUE(ExpandEnvStrings(c.source, out));
        EXPECT_EQ(c.expanded, out);
    }
}

TEST_F(ExpandEnvStringsTest, LongExpansionsComeBackWhole)
{
    // Lengths around the first buffer of 512 characters and well beyond it. A result that did not
    // fit in a buffer must never be taken as it stands.
    for (size_t length : {500u, 510u, 511u, 512u, 513u, 600u, 767u, 768u, 5000u, 30000u}) {
        SCOPED_TRACE(testing::Message() << "expanded length " << length);
        const std::wstring value(length - 2, L'x');
        SetVariable(value);
        std::wstring out;
        EXPECT_TRUE(ExpandEnvStrings(L"%KESTRUNE_TEST_FOLDER%\\y", out));
        EXPECT_EQ(length, out.size());
        EXPECT_TRUE(out == value + L"\\y") << "the text differs from the full expansion";
    }
}

TEST_F(ExpandEnvStringsTest, AnExpansionBeyondTheLargestBufferFailsWithAnEmptyResult)
{
    SetVariable(std::wstring(30000, L'z'));
    std::wstring out = L"left over";
    EXPECT_FALSE(ExpandEnvStrings(L"%KESTRUNE_TEST_FOLDER%%KESTRUNE_TEST_FOLDER%%KESTRUNE_TEST_FOLDER%", out));
    EXPECT_EQ(L"", out);
}

} // namespace
