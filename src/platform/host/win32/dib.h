// The pixel buffers GDI draws into and shows from: 32-bit DIB sections, top row first like ours.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace kelvora {

// A width × height DIB section whose pixels are cleared to 0; null when it cannot be made.
inline HBITMAP CreateTopDownDib(HDC dc, int32_t width, int32_t height, uint32_t** pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    *pixels = static_cast<uint32_t*>(bits);
    std::fill_n(*pixels, static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    return bitmap;
}

}  // namespace kelvora
