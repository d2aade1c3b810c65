// Blending glyphs into pixels.
#include "platform/host/glyph_drawing.h"

#include <algorithm>

namespace kelvora {

void DrawGlyph(const PixelTarget& target, const Glyph& glyph, int64_t left, int64_t top, uint32_t colour) {
    if (target.pixels == nullptr || target.width <= 0 || target.height <= 0 || target.stride < target.width) return;
    if (glyph.coverage.empty()) return;
    colour &= 0x00FFFFFFu;
    const int64_t fromX = std::max<int64_t>(0, -left);
    const int64_t toX = std::min<int64_t>(glyph.width, target.width - left);
    const int64_t fromY = std::max<int64_t>(0, -top);
    const int64_t toY = std::min<int64_t>(glyph.height, target.height - top);
    for (int64_t gy = fromY; gy < toY; ++gy) {
        uint32_t* row = target.pixels + static_cast<size_t>(top + gy) * static_cast<size_t>(target.stride);
        const uint8_t* coverage = glyph.coverage.data() + static_cast<size_t>(gy) * glyph.width;
        for (int64_t gx = fromX; gx < toX; ++gx) {
            const uint32_t a = coverage[gx];
            if (a == 0) continue;
            uint32_t& pixel = row[left + gx];
            if (a == 255) {
                pixel = colour;
                continue;
            }
            uint32_t blended = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const uint32_t c = (colour >> shift) & 0xFF;
                const uint32_t d = (pixel >> shift) & 0xFF;
                blended |= ((c * a + d * (255 - a) + 127) / 255) << shift;
            }
            pixel = blended;
        }
    }
}

}  // namespace kelvora
