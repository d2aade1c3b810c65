// The game's table of sound clips: five single clips and three families of six, each clip a
// complete wave file image ready for the play-sound operation.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kelvora {

using SoundClip = std::span<const uint8_t>;

// Six clips numbered 1..6, the order in which the random draw picks them.
struct SoundFamily {
    std::array<SoundClip, 6> clips;

    // Clip `number` (a draw of 1 plays clip 1); an empty clip, which plays nothing, outside 1..6.
    SoundClip Pick(int32_t number) const;
};

struct SoundClips {
    SoundClip clickSound;
    SoundClip spawnSound;
    SoundClip scoreSound;
    SoundClip blockedSound;
    SoundClip fanfareSound;
    SoundFamily burstSound;
    SoundFamily selectSound;
    SoundFamily longMoveSound;
};

// The built-in clips.
SoundClips BuiltInSoundClips();

}  // namespace kelvora
