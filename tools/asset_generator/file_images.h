// The file images the generator produces: 24-bit Windows bitmaps, PCM wave files, portable
// pixmaps for people to look at, and PNG pictures for the desktop icon.
#pragma once

#include <cstdint>

#include "buffer.h"

namespace kelvora::tools {

struct Colour {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Colour&) const = default;
};

// Pixels row by row from the top.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    Buffer<Colour> pixels;

    Image() = default;
    Image(int32_t w, int32_t h, Colour fill) : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h)) {
        for (Colour& c : pixels) c = fill;
    }
    Colour& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
    const Colour& At(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// Pixels with an alpha channel (0 transparent, 255 opaque), row by row from the top.
struct Pixel {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 0;
};

struct TranslucentImage {
    int32_t width = 0;
    int32_t height = 0;
    Buffer<Pixel> pixels;

    TranslucentImage() = default;
    TranslucentImage(int32_t w, int32_t h) : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h)) {}
    Pixel& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};

// Samples as signed 16-bit values whatever the stored depth; 8-bit clips hold multiples of 256.
struct Clip {
    int32_t sampleRate = 22050;
    int32_t channels = 1;
    int32_t bitsPerSample = 16;
    Buffer<int16_t> samples;  // interleaved frames
};

// BITMAPFILEHEADER + BITMAPINFOHEADER + bottom-up rows padded to four bytes.
Buffer<uint8_t> BitmapFileImage(const Image& image);
// RIFF header, a 16-byte "fmt " chunk and the "data" chunk: 44 bytes before the samples.
Buffer<uint8_t> WaveFileImage(const Clip& clip);
// Binary PPM (P6).
Buffer<uint8_t> PixmapFileImage(const Image& image);
// PNG, 8-bit RGBA, unfiltered rows in stored (uncompressed) deflate blocks: an icon is small, and
// this needs no compression library.
Buffer<uint8_t> PngFileImage(const TranslucentImage& image);

}  // namespace kelvora::tools
