// The player's turn: a press on the board selects a ball, refuses a move, or moves the selected
// ball and then removes what it completed or lets new balls appear.
#pragma once

#include <cstdint>

#include "game/rules/game_state.h"
#include "presentation/stage.h"

namespace kelvora {

// x and y are pixels on the game area; presses outside its 360 x 360 pixels do nothing.
void HandleBoardPress(Stage& stage, GameState& game, int32_t x, int32_t y);

}  // namespace kelvora
