// What every font backend does once a character is rasterised: its coverage kept as a glyph,
// the characters of a GBK line walked one by one, and a glyph blended into 32-bit pixels.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/font_face.h"
#include "base/text.h"

namespace kelvora {

struct Glyph {
    std::vector<uint8_t> coverage;  // 0..255, width * height
    int32_t left = 0;               // relative to the pen position
    int32_t top = 0;                // relative to the top of the line
    int32_t width = 0;
    int32_t height = 0;
    int32_t advance = 0;
};

// Calls visit with each character's code: a lead byte with a proper trail byte makes one
// character (lead * 256 + trail); any other byte, a stray lead byte too, is a character of its own
// (one that has no glyph).
template <typename Visit>
void ForEachGbkCharacter(std::string_view line, Visit visit) {
    for (size_t i = 0; i < line.size();) {
        const auto lead = static_cast<uint8_t>(line[i]);
        if (IsGbkLeadByte(lead) && i + 1 < line.size() && IsGbkTrailByte(static_cast<uint8_t>(line[i + 1]))) {
            visit((static_cast<uint32_t>(lead) << 8) | static_cast<uint8_t>(line[i + 1]));
            i += 2;
        } else {
            visit(static_cast<uint32_t>(lead));
            i += 1;
        }
    }
}

// The GBK bytes of a character code as ForEachGbkCharacter gives it.
inline std::string GbkBytesOf(uint32_t code) {
    std::string bytes;
    if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
    bytes.push_back(static_cast<char>(code & 0xFF));
    return bytes;
}

// Keeps of a width × height rasterisation only the smallest rectangle that holds every covered
// pixel, as the glyph's coverage; coverageAt(x, y) gives 0..255, and the pen stood at penX.
template <typename CoverageAt>
void KeepCoveredPart(Glyph& glyph, int32_t width, int32_t height, int32_t penX, CoverageAt coverageAt) {
    int32_t left = width, right = 0, top = height, bottom = 0;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (coverageAt(x, y) == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        }
    }
    if (right <= left || bottom <= top) return;
    glyph.left = left - penX;
    glyph.top = top;
    glyph.width = right - left;
    glyph.height = bottom - top;
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
    for (int32_t y = 0; y < glyph.height; ++y) {
        for (int32_t x = 0; x < glyph.width; ++x) {
            glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = coverageAt(left + x, top + y);
        }
    }
}

// Blends the glyph over the target with its top-left corner at (left, top), clipped: fully
// covered pixels take exactly colour (0x00BBGGRR).
void DrawGlyph(const PixelTarget& target, const Glyph& glyph, int64_t left, int64_t top, uint32_t colour);

// The width of a GBK line, its glyphs given by glyphFor(code).
template <typename GlyphFor>
int32_t GbkLineWidth(std::string_view line, GlyphFor glyphFor) {
    int64_t width = 0;
    ForEachGbkCharacter(line, [&](uint32_t code) { width += glyphFor(code).advance; });
    return static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX));
}

// Draws a GBK line with its pen starting at (x, y), the top of the line; gives how far the pen
// moved.
template <typename GlyphFor>
int32_t DrawGbkLine(const PixelTarget& target, std::string_view line, int32_t x, int32_t y, uint32_t colour,
                    GlyphFor glyphFor) {
    int64_t pen = x;
    ForEachGbkCharacter(line, [&](uint32_t code) {
        const Glyph& glyph = glyphFor(code);
        DrawGlyph(target, glyph, pen + glyph.left, static_cast<int64_t>(y) + glyph.top, colour);
        pen += glyph.advance;
    });
    return static_cast<int32_t>(std::clamp<int64_t>(pen - x, 0, INT32_MAX));
}

}  // namespace kelvora
