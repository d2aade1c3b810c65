// The game's 23 sound clips, composed from the synthesis routines.
#pragma once

#include "file_images.h"

namespace kelvora::tools {

struct GameClips {
    Clip click;
    Clip spawn;
    Clip bursts[6];
    Clip score;
    Clip selects[6];
    Clip blocked;
    Clip longMoves[6];
    Clip fanfare;
};

GameClips ComposeClips();

}  // namespace kelvora::tools
