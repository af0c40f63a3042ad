#include "model/dump_folder_path.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <vector>

#include "model/native_folders.h"
#include "model/text_utils.h"

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// The length of the root of a full path: 3 for "C:\" (or "C:/"), the length of "\\server\share"
// for a share; 0 when there is none ("Dumps", "\Dumps", "D:Dumps", "C:", "\\server" alone).
size_t RootLength(const std::wstring& path)
{
    if (path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && IsSeparator(path[2]))
        return 3;
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1]))
        return 0;
    const size_t server = path.find_first_of(L"\\/", 2);
    if (server == std::wstring::npos || server == 2 || server + 1 >= path.size() || IsSeparator(path[server + 1]))
        return 0;
    const size_t end = path.find_first_of(L"\\/", server + 1);
    return end == std::wstring::npos ? path.size() : end;
}

// "\\?\C:\x" and "\\.\C:\x" name "C:\x"; "\\?\UNC\server\share" names "\\server\share".
std::wstring WithoutVerbatimPrefix(const std::wstring& path)
{
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\" + path.substr(7);
    const bool prefixed = path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0;
    if (prefixed && path.size() >= 6 && std::iswalpha(path[4]) && path[5] == L':')
        return path.substr(4);
    return path;
}

std::wstring FullPathOf(const std::wstring& path)
{
    std::wstring full;
    const bool ok = QuerySizedText(
        [&](wchar_t* buffer, DWORD size) { return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr); }, full);
    return ok ? full : path;
}

// Long names for the longest part of the path that exists; the rest stays as it is.
std::wstring LongPathOf(const std::wstring& path)
{
    std::wstring longPath;
    if (QuerySizedText([&](wchar_t* buffer, DWORD size) { return ::GetLongPathNameW(path.c_str(), buffer, size); },
                       longPath))
        return longPath;
    const size_t root = RootLength(path);
    const size_t last = path.find_last_of(L'\\');
    if (root == 0 || last == std::wstring::npos || last < root)
        return path;
    std::wstring parent = LongPathOf(path.substr(0, last));
    if (!parent.empty() && parent.back() != L'\\')
        parent += L'\\';
    return parent + path.substr(last + 1);
}

// The text with the references of this process's environment expanded; references to variables
// that are not set stay as they are, and a text that cannot be expanded is returned unchanged.
std::wstring ExpandEnvironment(const std::wstring& text)
{
    if (text.find(L'%') == std::wstring::npos)
        return text;
    // The first call tells the size, terminator included; the variables may change in between,
    // so a second shortfall keeps the text as it is.
    DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0)
        return text;
    std::vector<wchar_t> buffer(needed, L'\0');
    DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed);
    if (written == 0 || written > needed)
        return text;
    return std::wstring(buffer.data());
}

}  // namespace

std::wstring DumpFolderOnDisk(const std::wstring& text)
{
    // The service expands these with its own, native environment; the other references are the
    // same in both worlds. A native folder that cannot be read keeps its reference unexpanded.
    static const struct {
        const wchar_t* reference;
        std::wstring (*folder)();
    } NATIVE_REFERENCES[] = {{L"%ProgramFiles%", NativeProgramFilesFolder},
                             {L"%CommonProgramFiles%", NativeCommonFilesFolder}};
    std::wstring onDisk;
    size_t start = 0;
    for (size_t at = text.find(L'%'); at != std::wstring::npos; at = text.find(L'%', at + 1)) {
        for (const auto& native : NATIVE_REFERENCES) {
            const size_t length = std::wcslen(native.reference);
            if (!SameFolderPath(text.substr(at, length), native.reference))
                continue;
            const std::wstring folder = native.folder();
            onDisk += ExpandEnvironment(text.substr(start, at - start)) + (folder.empty() ? native.reference : folder);
            start = at + length;
            at = start - 1;
            break;
        }
    }
    return onDisk + ExpandEnvironment(text.substr(start));
}

bool IsFullFolderPath(const std::wstring& path)
{
    // "\\?\..." and "\\.\..." (either separator) are the device namespace, not a folder path.
    if (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
        (path.size() == 3 || IsSeparator(path[3])))
        return false;
    const size_t root = RootLength(path);
    const size_t colon = path.find(L':', root == 3 ? 3 : 0);
    return root != 0 && colon == std::wstring::npos;
}

bool ShareOfFolderPath(const std::wstring& path, std::wstring& server, std::wstring& share)
{
    const size_t root = RootLength(path);
    if (root <= 3 || !IsSeparator(path[0]))
        return false;
    const size_t split = path.find_first_of(L"\\/", 2);
    server = path.substr(2, split - 2);
    share = path.substr(split + 1, root - split - 1);
    return true;
}

std::wstring ComparableFolderPath(const std::wstring& fullPath)
{
    std::wstring path = WithoutVerbatimPrefix(FullPathOf(WithoutVerbatimPrefix(fullPath)));
    path = LongPathOf(path);
    while (path.size() > RootLength(path) && !path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

bool SameFolderPath(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

bool FolderPathIsWithin(const std::wstring& path, const std::wstring& place)
{
    if (place.empty() || path.size() < place.size())
        return false;
    if (!SameFolderPath(path.substr(0, place.size()), place))
        return false;
    return path.size() == place.size() || place.back() == L'\\' || path[place.size()] == L'\\';
}

std::wstring ParentFolderPath(const std::wstring& comparablePath)
{
    const size_t root = RootLength(comparablePath);
    if (root == 0 || comparablePath.size() <= root)
        return std::wstring();
    const size_t last = comparablePath.find_last_of(L'\\');
    return comparablePath.substr(0, last < root ? root : last);
}

bool IsRootFolderPath(const std::wstring& comparablePath)
{
    const size_t root = RootLength(comparablePath);
    return root != 0 && comparablePath.size() == root;
}
