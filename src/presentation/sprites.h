// Choosing a ball sprite for a colour code and a sprite group (the face).
#pragma once

#include <cstdint>
#include <span>

namespace kelvora {

// The bitmap file image of the ball of colourCode (1 magic, 2..8 colours) with the face of
// group (0 plain, 1 eyes closed, 2..6 awake, 7 clenched teeth). Empty, meaning no sprite, for
// colour code 0, for a group outside 0..7 and for a code outside 1..8.
std::span<const uint8_t> SpriteFor(int32_t colourCode, int32_t group);

}  // namespace kelvora
