// Builds Windows bitmap file images in memory, for tests and benchmarks that feed the picture
// decoder.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvora::testing {

struct BitmapOptions {
    int bitsPerPixel = 24;    // 24 or 32
    bool topDown = false;     // negative height in the header
    uint32_t headerSize = 40; // 40, 108 or 124
};

inline void PutU16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

inline void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// `pixels` are 0x00BBGGRR colours, top row first, width * height of them.
inline std::vector<uint8_t> MakeBitmap(int32_t width, int32_t height, const std::vector<uint32_t>& pixels,
                                       BitmapOptions options = {}) {
    const uint32_t bytesPerPixel = static_cast<uint32_t>(options.bitsPerPixel) / 8;
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * options.bitsPerPixel + 31) / 32 * 4;
    const uint32_t dataOffset = 14 + options.headerSize;
    std::vector<uint8_t> out(dataOffset + rowBytes * static_cast<uint32_t>(height), 0);
    out[0] = 'B';
    out[1] = 'M';
    PutU32(out, 2, static_cast<uint32_t>(out.size()));
    PutU32(out, 10, dataOffset);
    PutU32(out, 14, options.headerSize);
    PutU32(out, 18, static_cast<uint32_t>(width));
    PutU32(out, 22, static_cast<uint32_t>(options.topDown ? -height : height));
    PutU16(out, 26, 1);
    PutU16(out, 28, static_cast<uint32_t>(options.bitsPerPixel));
    PutU32(out, 34, rowBytes * static_cast<uint32_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        const int32_t fileRow = options.topDown ? y : height - 1 - y;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t colour = pixels[static_cast<size_t>(y) * width + x];
            const size_t at = dataOffset + static_cast<size_t>(fileRow) * rowBytes + static_cast<size_t>(x) * bytesPerPixel;
            out[at] = static_cast<uint8_t>(colour >> 16);     // blue
            out[at + 1] = static_cast<uint8_t>(colour >> 8);  // green
            out[at + 2] = static_cast<uint8_t>(colour);       // red
            if (bytesPerPixel == 4) out[at + 3] = 0xFF;
        }
    }
    return out;
}

// A ball-like sprite: a disc of `colour` on the magenta key, size x size.
inline std::vector<uint32_t> DiscOnKey(int32_t size, uint32_t colour) {
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * size, 0x00FF00FFu);
    const int32_t r = size / 2;
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const int32_t dx = x - r;
            const int32_t dy = y - r;
            if (dx * dx + dy * dy <= (r - 1) * (r - 1)) pixels[static_cast<size_t>(y) * size + x] = colour;
        }
    }
    return pixels;
}

}  // namespace kelvora::testing
