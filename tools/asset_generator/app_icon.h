// The desktop icon: one of the game's ball sprites, enlarged, its key colour made transparent.
#pragma once

#include <cstdint>

#include "file_images.h"

namespace kelvora::tools {

// The sprite scaled to side x side pixels. Key-coloured pixels carry no colour: near the ball's
// outline the opaque neighbours alone give the colour and the share of them gives the alpha.
TranslucentImage EnlargedIcon(const Image& sprite, int32_t side);

}  // namespace kelvora::tools
