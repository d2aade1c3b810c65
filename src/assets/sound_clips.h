// The 23 built-in sound clips as complete RIFF/WAVE file images (PCM, 44-byte header). Composed
// at build time by tools/asset_generator.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kelvora {

extern const std::span<const uint8_t> kClickClip;
extern const std::span<const uint8_t> kSpawnClip;
extern const std::span<const uint8_t> kScoreClip;
extern const std::span<const uint8_t> kBlockedClip;
extern const std::span<const uint8_t> kFanfareClip;
// The families, in the order the random draw numbers them 1..6.
extern const std::array<std::span<const uint8_t>, 6> kBurstClips;
extern const std::array<std::span<const uint8_t>, 6> kSelectClips;
extern const std::array<std::span<const uint8_t>, 6> kLongMoveClips;

}  // namespace kelvora
