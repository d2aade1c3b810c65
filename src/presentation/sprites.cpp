// Choosing a ball sprite for a colour code and a sprite group.
#include "presentation/sprites.h"

#include "assets/ball_sprites.h"

namespace kelvora {

std::span<const uint8_t> SpriteFor(int32_t colourCode, int32_t group) {
    if (colourCode == 0) return {};
    if (group < 0 || group >= kSpriteGroupCount) return {};
    // Codes above 8 would read another group's sprite, and negative ones outside the table.
    if (colourCode < 1 || colourCode > 8) return {};
    return kBallSprites[static_cast<size_t>(8 * group + colourCode - 1)];
}

}  // namespace kelvora
