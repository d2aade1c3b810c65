// The ball sprites: shaded spheres with faces, 39 x 39 pixels on the magenta key colour.
#pragma once

#include <cstdint>

#include "file_images.h"

namespace kelvora::tools {

constexpr int32_t kSpriteSide = 39;
constexpr Colour kKeyColour{255, 0, 255};

// colourCode 1 (the magic ball) .. 8, group 0..7 (the face).
Image PaintBall(int32_t colourCode, int32_t group);

}  // namespace kelvora::tools
