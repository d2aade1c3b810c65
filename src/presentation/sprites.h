// Choosing a ball sprite for a colour code and a sprite group (the face).
#pragma once

#include <cstdint>
#include <span>

namespace kelvora {

// The face drawn on a ball. A plain enumeration: the selected ball's face is kept as a number
// in the game state, and a face out of range simply has no sprite.
enum SpriteGroup : int32_t {
    kSpritePlain = 0,          // no face: the preview and a new ball growing in
    kSpriteResting = 1,        // eyes closed: every ball at rest, and the selected ball's blink
    kSpriteLookingAhead = 2,   // the selected and the travelling ball, wide awake
    kSpriteLookingLeft = 3,
    kSpriteLookingRight = 4,
    kSpriteLookingUp = 5,
    kSpriteLookingDown = 6,
    kSpriteRemoval = 7,        // clenched teeth: a ball of a line being removed
};
constexpr int32_t kSpriteGroupCount = 8;

// The bitmap file image of the ball of colourCode (1 magic, 2..8 colours) with the face of
// group. Empty, meaning no sprite, for colour code 0, for a group outside the eight faces and
// for a code outside 1..8.
std::span<const uint8_t> SpriteFor(int32_t colourCode, int32_t group);

}  // namespace kelvora
