// Sound for the game: wave clips checked and copied, then handed to the host to play.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/host/host.h"

namespace kelvora {

// The PCM samples of a wave clip (8-bit unsigned or 16-bit signed, one or two channels, any
// rate), copied out of the bytes. Nothing when the bytes are not such a clip. Chunk sizes that
// claim more bytes than there are are cut to what is there; a trailing partial frame is dropped.
std::optional<PcmClip> ParseWaveClip(std::span<const uint8_t> bytes);

// Starts the clip and returns 1 at once, or returns 0 and plays nothing when the bytes are not a
// wave clip the game can play.
int32_t PlaySound(Host& host, std::span<const uint8_t> clip);

}  // namespace kelvora
