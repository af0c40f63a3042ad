#include "model/error_text.h"

#include "framework/system_calls.h"
#include "framework/unique_handles.h"
#include "model/text_utils.h"

namespace {

const DWORD INTERNET_ERROR_FIRST = 12000;
const DWORD INTERNET_ERROR_LAST = 12175;
const DWORD LANGUAGE_NEUTRAL_DEFAULT = 0x400;

// Hands the text that FormatMessageW allocated back to the system.
std::wstring TakeMessage(wchar_t* buffer)
{
    unique_local_mem owner(buffer);
    return buffer ? std::wstring(buffer) : std::wstring();
}

std::wstring InternetMessage(DWORD code)
{
    wchar_t directory[MAX_PATH] = L"";
    Sys().GetSystemDirectoryW(directory, MAX_PATH);
    std::wstring path = WithTrailingSeparator(directory) + L"wininet.dll";

    unique_hmodule wininet(Sys().LoadLibraryW(path.c_str()));
    wchar_t* buffer = nullptr;
    Sys().FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                         wininet.get(), code, LANGUAGE_NEUTRAL_DEFAULT, reinterpret_cast<wchar_t*>(&buffer), 0,
                         nullptr);
    return TakeMessage(buffer);
}

std::wstring SystemMessage(DWORD code)
{
    wchar_t* buffer = nullptr;
    Sys().FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                         nullptr, code, LANGUAGE_NEUTRAL_DEFAULT, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    return TakeMessage(buffer);
}

}  // namespace

std::wstring ErrorText(DWORD code)
{
    if (code == 0)
        return std::wstring();

    std::wstring text = (code >= INTERNET_ERROR_FIRST && code <= INTERNET_ERROR_LAST) ? InternetMessage(code)
                                                                                       : SystemMessage(code);
    std::wstring result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        if (c != L'\r' && c != L'\n')
            result += c;
    }
    return result;
}
