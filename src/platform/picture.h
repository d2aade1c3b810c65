// Pictures: decoding of Windows bitmap file images and the store that numbers them, with a cache
// that keeps repeated loads of the same bytes cheap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "platform/draw_panel.h"

namespace kelvora {

// A decoded picture: top row first, 0x00BBGGRR pixels.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// Larger pictures are refused: no bitmap of the game comes near, and a lying header must not
// make us allocate gigabytes.
constexpr int64_t kMaxPicturePixels = 16 * 1024 * 1024;

// Decodes a bitmap file image (file header, then an info header of version 3 or later; 24 or 32
// bits per pixel, uncompressed; bottom-up or top-down). Nothing for anything else. Never reads
// outside `bytes`.
std::optional<Picture> DecodeBitmap(std::span<const uint8_t> bytes);

class PictureStore {
public:
    // A new non-zero picture number, or 0 when the bytes are empty or not a picture.
    int32_t LoadPicture(std::span<const uint8_t> bytes);
    // Unknown numbers and 0 are ignored.
    void FreePicture(int32_t number);
    // Null for 0, unknown or freed numbers.
    const Picture* Find(int32_t number) const;
    // Pictures loaded and not yet freed.
    size_t LiveCount() const { return live_.size(); }

private:
    struct CacheEntry {
        std::vector<uint8_t> bytes;  // compared in full: same address is not proof of same bytes
        std::shared_ptr<const Picture> picture;
    };

    std::unordered_map<int32_t, std::shared_ptr<const Picture>> live_;
    std::unordered_map<const uint8_t*, CacheEntry> cache_;
    size_t cachedBytes_ = 0;
    int32_t lastNumber_ = 0;
};

// The drawing mode that copies a picture but leaves out its pixels of exactly this colour
// (0x00BBGGRR): the colour is given as its negative, where the raster modes are 1..5.
constexpr int32_t ColourKeyMode(uint32_t keyColour) { return -static_cast<int32_t>(keyColour & 0x00FFFFFFu); }

// Draws a picture at its own size with its top-left corner at (x, y). Picture 0 or an unknown
// number draws nothing. Mode: 1..5 raster modes, or ColourKeyMode(c).
void DrawPicture(DrawPanel& panel, const PictureStore& store, int32_t number, int32_t x, int32_t y,
                 int32_t mode);
// The same stretched to width x height, nearest neighbour, so a key colour stays exact.
void DrawPicture(DrawPanel& panel, const PictureStore& store, int32_t number, int32_t x, int32_t y,
                 int32_t width, int32_t height, int32_t mode);

}  // namespace kelvora
