// The game's 23 sound clips, composed from the synthesis routines.
#pragma once

#include <array>

#include "file_images.h"

namespace kelvora::tools {

struct GameClips {
    Clip click;
    Clip spawn;
    std::array<Clip, 6> bursts;
    Clip score;
    std::array<Clip, 6> selects;
    Clip blocked;
    std::array<Clip, 6> longMoves;
    Clip fanfare;
};

GameClips ComposeClips();

}  // namespace kelvora::tools
