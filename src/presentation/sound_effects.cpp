// The game's sound effects.
#include "presentation/sound_effects.h"

#include "presentation/sound_clips.h"

namespace kelvora {
namespace {

const SoundClips& Clips() {
    static const SoundClips clips = BuiltInSoundClips();
    return clips;
}

void PlayOneOf(Stage& stage, const SoundFamily& family) {
    stage.PlaySound(family.Pick(RandomInt(*stage.random, 1, 6)));
}

}  // namespace

void PlayClickSound(Stage& stage) { stage.PlaySound(Clips().clickSound); }
void PlaySpawnSound(Stage& stage) { stage.PlaySound(Clips().spawnSound); }
void PlayBurstSound(Stage& stage, int32_t number) { stage.PlaySound(Clips().burstSound.Pick(number)); }
void PlayScoreSound(Stage& stage) { stage.PlaySound(Clips().scoreSound); }
void PlaySelectSound(Stage& stage) { PlayOneOf(stage, Clips().selectSound); }
void PlayBlockedSound(Stage& stage) { stage.PlaySound(Clips().blockedSound); }
void PlayLongMoveSound(Stage& stage) { PlayOneOf(stage, Clips().longMoveSound); }
void PlayFanfareSound(Stage& stage) { stage.PlaySound(Clips().fanfareSound); }

}  // namespace kelvora
