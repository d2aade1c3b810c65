// The game's table of sound clips over the built-in clip data.
#include "presentation/sound_clips.h"

#include "assets/sound_clips.h"

namespace kelvora {

SoundClip SoundFamily::Pick(int32_t number) const {
    if (number < 1 || number > static_cast<int32_t>(clips.size())) return {};
    return clips[static_cast<size_t>(number - 1)];
}

SoundClips BuiltInSoundClips() {
    return SoundClips{
        .clickSound = kClickClip,
        .spawnSound = kSpawnClip,
        .scoreSound = kScoreClip,
        .blockedSound = kBlockedClip,
        .fanfareSound = kFanfareClip,
        .burstSound = {kBurstClips},
        .selectSound = {kSelectClips},
        .longMoveSound = {kLongMoveClips},
    };
}

}  // namespace kelvora
