// The game's sound effects: which clip plays for which event, a random one of six for the three
// families. Every clip starts at once and overlaps whatever is sounding.
#pragma once

#include <cstdint>

#include "presentation/stage.h"

namespace kelvora {

void PlayClickSound(Stage& stage);
void PlaySpawnSound(Stage& stage);
void PlayBurstSound(Stage& stage, int32_t number);  // 1..6, drawn when the removal was planned
void PlayScoreSound(Stage& stage);
void PlaySelectSound(Stage& stage);    // one of six at random
void PlayBlockedSound(Stage& stage);
void PlayLongMoveSound(Stage& stage);  // one of six at random
void PlayFanfareSound(Stage& stage);

}  // namespace kelvora
