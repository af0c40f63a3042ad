#pragma once
// Writes a window's picture as a PNG file, with nothing but the standard library: uncompressed
// deflate blocks, so any viewer reads it and no image library is needed.
#include <windows.h>

#include <string>
#include <vector>

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<BYTE> rgb;  // rows top to bottom, three bytes per pixel

    // Number of different colours, up to `enough`.
    size_t DistinctColours(size_t enough) const;
};

// The window's picture as it stands on the screen, frame included.
RgbImage CaptureWindow(HWND window);

bool WritePng(const std::wstring& path, const RgbImage& image);
