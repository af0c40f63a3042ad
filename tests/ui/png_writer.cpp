#include "tests/ui/png_writer.h"

#include <cstdio>
#include <set>

namespace {

class Crc32 {
public:
    Crc32()
    {
        for (DWORD n = 0; n < 256; ++n) {
            DWORD c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            m_table[n] = c;
        }
    }
    DWORD Of(const std::vector<BYTE>& bytes) const
    {
        DWORD c = 0xFFFFFFFFu;
        for (BYTE b : bytes)
            c = m_table[(c ^ b) & 0xFF] ^ (c >> 8);
        return c ^ 0xFFFFFFFFu;
    }

private:
    DWORD m_table[256];
};

void PutBigEndian(std::vector<BYTE>& out, DWORD value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<BYTE>(value >> shift));
}

void PutChunk(std::vector<BYTE>& file, const char* type, const std::vector<BYTE>& data)
{
    static const Crc32 crc;
    PutBigEndian(file, static_cast<DWORD>(data.size()));
    std::vector<BYTE> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    file.insert(file.end(), typed.begin(), typed.end());
    PutBigEndian(file, crc.Of(typed));
}

// A zlib stream of stored (uncompressed) blocks.
std::vector<BYTE> StoredZlib(const std::vector<BYTE>& raw)
{
    std::vector<BYTE> out = {0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t length = raw.size() - offset < 65535 ? raw.size() - offset : 65535;
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<BYTE>(length));
        out.push_back(static_cast<BYTE>(length >> 8));
        out.push_back(static_cast<BYTE>(~length));
        out.push_back(static_cast<BYTE>(~length >> 8));
        out.insert(out.end(), raw.begin() + offset, raw.begin() + offset + length);
        offset += length;
    } while (offset < raw.size());

    DWORD a = 1, b = 0;
    for (BYTE byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

// Without a window manager nobody paints the caption and the border, so they are drawn here the
// way the system draws them; the menu bar and the client area are copied from the window.
BOOL DrawWindowPicture(HWND window, HDC target, int width, int height)
{
    RECT whole = {0, 0, width, height};
    ::FillRect(target, &whole, ::GetSysColorBrush(COLOR_3DFACE));
    ::DrawEdge(target, &whole, EDGE_RAISED, BF_RECT);

    RECT client;
    ::GetClientRect(window, &client);
    const int border = (width - client.right) / 2;
    const int captionBottom = border + ::GetSystemMetrics(SM_CYCAPTION);

    const HDC windowDc = ::GetWindowDC(window);
    if (!windowDc)
        return FALSE;
    const BOOL copied = ::BitBlt(target, border, captionBottom, width - 2 * border, height - border - captionBottom,
                                 windowDc, border, captionBottom, SRCCOPY);
    ::ReleaseDC(window, windowDc);

    RECT caption = {border, border, width - border, captionBottom - 1};
    ::DrawCaption(window, target, &caption, DC_ACTIVE | DC_TEXT | DC_ICON | DC_GRADIENT);
    return copied;
}

} // namespace

size_t RgbImage::DistinctColours(size_t enough) const
{
    std::set<DWORD> colours;
    for (size_t i = 0; i + 2 < rgb.size() && colours.size() < enough; i += 3)
        colours.insert(RGB(rgb[i], rgb[i + 1], rgb[i + 2]));
    return colours.size();
}

RgbImage CaptureWindow(HWND window)
{
    RgbImage image;
    RECT frame;
    if (!::GetWindowRect(window, &frame))
        return image;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    if (bitmap && memory) {
        const HGDIOBJ old = ::SelectObject(memory, bitmap);
        const BOOL copied = DrawWindowPicture(window, memory, width, height);
        if (copied) {
            ::GdiFlush();
            const int stride = (width * 3 + 3) & ~3;
            image.width = width;
            image.height = height;
            image.rgb.reserve(static_cast<size_t>(width) * height * 3);
            for (int y = 0; y < height; ++y) {
                const BYTE* row = static_cast<const BYTE*>(bits) + static_cast<size_t>(y) * stride;
                for (int x = 0; x < width; ++x) {
                    image.rgb.push_back(row[x * 3 + 2]);
                    image.rgb.push_back(row[x * 3 + 1]);
                    image.rgb.push_back(row[x * 3]);
                }
            }
        }
        ::SelectObject(memory, old);
    }
    if (bitmap)
        ::DeleteObject(bitmap);
    if (memory)
        ::DeleteDC(memory);
    return image;
}

bool WritePng(const std::wstring& path, const RgbImage& image)
{
    if (image.width <= 0 || image.height <= 0)
        return false;
    std::vector<BYTE> header;
    PutBigEndian(header, static_cast<DWORD>(image.width));
    PutBigEndian(header, static_cast<DWORD>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace

    std::vector<BYTE> raw;
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), image.rgb.begin() + y * rowBytes, image.rgb.begin() + (y + 1) * rowBytes);
    }

    std::vector<BYTE> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", StoredZlib(raw));
    PutChunk(file, "IEND", {});

    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out)
        return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}
