// Screenshots of windows as 24-bit BMP files: the window's area copied from the screen, which
// under Xvfb holds exactly what the program drew.
#include "tests/support/e2e_driver.h"

#include <cstdio>
#include <vector>

namespace e2e {

namespace {

bool WriteBmp(const std::wstring& path, int width, int height, const std::vector<BYTE>& bottomUpRows)
{
    const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(height);
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = stride * static_cast<DWORD>(height);

    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out)
        return false;
    const bool written = fwrite(&file, sizeof(file), 1, out) == 1 && fwrite(&info, sizeof(info), 1, out) == 1 &&
                         fwrite(bottomUpRows.data(), 1, bottomUpRows.size(), out) == bottomUpRows.size();
    return fclose(out) == 0 && written;
}

} // namespace

std::wstring ScreenshotFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    const size_t slash = folder.find_last_of(L"\\/");
    folder = (slash == std::wstring::npos ? std::wstring(L".") : folder.substr(0, slash)) + L"\\screenshots";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring SaveScreenshot(HWND window, const std::wstring& name)
{
    RECT rect = {};
    if (!::GetWindowRect(window, &rect))
        return std::wstring();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return std::wstring();

    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    std::vector<BYTE> rows;
    if (bitmap && bits) {
        const HGDIOBJ old = ::SelectObject(memory, bitmap);
        copied = ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
        ::GdiFlush();
        const size_t stride = static_cast<size_t>((width * 3 + 3) & ~3);
        const BYTE* start = static_cast<const BYTE*>(bits);
        rows.assign(start, start + stride * static_cast<size_t>(height));
        ::SelectObject(memory, old);
    }
    if (bitmap)
        ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (!copied)
        return std::wstring();

    const std::wstring path = ScreenshotFolder() + L"\\" + name + L".bmp";
    return WriteBmp(path, width, height, rows) ? path : std::wstring();
}

} // namespace e2e
