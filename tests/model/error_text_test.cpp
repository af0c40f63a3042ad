// Error texts come from the system's message tables, without line breaks.
#include <gtest/gtest.h>

#include "model/error_text.h"
#include "model/text_utils.h"
#include "tests/support/seam_recorder.h"

namespace {

std::wstring RawSystemMessage(DWORD code, HMODULE module = nullptr)
{
    wchar_t* buffer = nullptr;
    DWORD source = module ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM;
    FormatMessageW(source | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, module, code, 0x400,
                   reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = buffer ? buffer : L"";
    LocalFree(buffer);
    return text;
}

}  // namespace

TEST(ErrorTextTest, ZeroIsEmpty)
{
    SeamRecorder seam;
    EXPECT_EQ(L"", ErrorText(0));
    EXPECT_TRUE(seam.Calls().empty());
}

TEST(ErrorTextTest, SystemTextsLoseEveryLineBreak)
{
    for (DWORD code : {2u, 3u, 5u, 13u, 50u, 66u, 183u, 259u, 1336u}) {
        std::wstring raw = RawSystemMessage(code);
        ASSERT_FALSE(raw.empty()) << code;
        std::wstring expected;
        for (wchar_t c : raw)
            if (c != L'\r' && c != L'\n')
                expected += c;
        std::wstring text = ErrorText(code);
        EXPECT_EQ(expected, text) << code;
        EXPECT_EQ(std::wstring::npos, text.find_first_of(L"\r\n")) << code;
    }
    EXPECT_FALSE(ErrorText(ERROR_ACCESS_DENIED).empty());
}

TEST(ErrorTextTest, InternetCodesComeFromTheInternetModule)
{
    HMODULE wininet = LoadLibraryW(L"wininet.dll");
    ASSERT_NE(nullptr, wininet);
    for (DWORD code : {12000u + 2, 12000u + 7, 12000u + 29}) {
        std::wstring raw = RawSystemMessage(code, wininet);
        ASSERT_FALSE(raw.empty()) << code;
        std::wstring text = ErrorText(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_EQ(0u, raw.find(text.substr(0, 8))) << code;
        EXPECT_EQ(std::wstring::npos, text.find_first_of(L"\r\n")) << code;
    }
    FreeLibrary(wininet);
}

TEST(ErrorTextTest, UnknownCodeGivesEmptyText)
{
    EXPECT_EQ(L"", ErrorText(0x20001234u));
    EXPECT_EQ(L"(123456789) ", FormatText(L"(%d) %s", 123456789, ErrorText(0x20001234u).c_str()));
}

TEST(TextHelpers, WithTrailingSeparator)
{
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {nullptr, L""},
        {L"", L""},
        {L" \t\r\n", L""},
        {L"C:\\Windows\\system32", L"C:\\Windows\\system32\\"},
        {L"C:\\Windows\\", L"C:\\Windows\\"},
        {L"C:/Windows/", L"C:/Windows/"},
        {L"  C:\\dir \r\n", L"C:\\dir\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.out), WithTrailingSeparator(c.in)) << (c.in ? "text" : "null");
}

TEST(TextHelpers, FormatTextTakesWideStringsAndLongResults)
{
    EXPECT_EQ(L"(-5) abc", FormatText(L"(%d) %s", -5, L"abc"));
    std::wstring longText(5000, L'x');
    EXPECT_EQ(longText + L"!", FormatText(L"%s!", longText.c_str()));
}
