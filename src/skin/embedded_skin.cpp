// The skin library and the skin as built into the game.
#include "skin/embedded_skin.h"

namespace kelvora {
namespace skin {
extern const std::span<const uint8_t> skinLibraryBytes;
extern const std::span<const uint8_t> skinBytes;
}  // namespace skin

std::span<const uint8_t> EmbeddedSkinLibrary() { return skin::skinLibraryBytes; }
std::span<const uint8_t> EmbeddedSkin() { return skin::skinBytes; }

}  // namespace kelvora
