// The skin library and the skin as built into the game.
#pragma once

#include <cstdint>
#include <span>

namespace kelvora {

// The bytes of the skin library file (a shared library exporting SkinH_AttachRes).
std::span<const uint8_t> EmbeddedSkinLibrary();
// The built-in skin, which begins with ".SHE".
std::span<const uint8_t> EmbeddedSkin();

}  // namespace kelvora
