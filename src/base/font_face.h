// How text is asked for: a face with its size and weight, and the 32-bit pixels it is drawn
// into. Layouts and panels speak in these; only the font service turns them into glyphs.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace kelvora {

// A face as the layouts name it: GBK face name ("宋体", "黑体", "MS Serif"), character height in
// pixels and weight (400 normal, 700 bold).
struct FontSpec {
    Text face;
    int32_t pixelSize = 12;
    int32_t weight = 400;

    bool operator==(const FontSpec&) const = default;
};

// The platform's default GUI font, used by buttons and by panels that set no font of their own.
inline FontSpec DefaultGuiFont() { return FontSpec{"宋体", 12, 400}; }

// A window onto 32-bit pixels: `pixels` is the top-left pixel, `stride` counts pixels per row.
// A control's rectangle inside a window framebuffer is one, with the framebuffer's stride.
struct PixelTarget {
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
};

}  // namespace kelvora
