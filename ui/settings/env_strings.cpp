// Expanding environment-variable references, for opening the folder browser at the right place.
#include "ui/settings/dump_settings_panel.h"

#include <memory>
#include <new>

#include "app/platform_values.h"

namespace {

const DWORD FIRST_BUFFER_CHARS = 512;
const DWORD BUFFER_GROWTH_CHARS = 256;
const DWORD BUFFER_LIMIT_CHARS = 65536;
const DWORD BUFFER_LIMIT_CHARS_OLD_WINDOWS = 32768;

} // namespace

bool ExpandEnvStrings(const std::wstring& source, std::wstring& out)
{
    out.clear();
    if (source.empty())
        return true;

    const DWORD limit = g_notSupported ? BUFFER_LIMIT_CHARS_OLD_WINDOWS : BUFFER_LIMIT_CHARS;
    for (DWORD size = FIRST_BUFFER_CHARS; size < limit; size += BUFFER_GROWTH_CHARS) {
        std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[size]);
        if (!buffer)
            return false;
        buffer[0] = L'\0';
        const DWORD needed = ::ExpandEnvironmentStringsW(source.c_str(), buffer.get(), size);
        // The call reports the size it needs, terminator included; a larger figure means the
        // buffer holds at best the start of the text, so try a bigger one.
        if (needed != 0 && needed <= size && buffer[0] != L'\0') {
            buffer[size - 1] = L'\0';
            out = buffer.get();
            return true;
        }
    }
    return false;
}
