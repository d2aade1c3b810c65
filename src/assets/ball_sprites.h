// The 64 built-in ball sprites: complete 39 x 39, 24-bit Windows bitmap file images whose
// outside is the magenta key colour. Painted at build time by tools/asset_generator.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kelvora {

constexpr int32_t kBallSpriteCount = 64;

// Stored group by group (faces 0..7), within a group by colour code 1..8: the sprite of colour
// code c in group g is number 8 * g + c - 1.
extern const std::array<std::span<const uint8_t>, kBallSpriteCount> kBallSprites;

}  // namespace kelvora
