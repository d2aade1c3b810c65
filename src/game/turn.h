// The player's turn: a press on the board selects a ball, refuses a move, or moves the selected
// ball and then removes what it completed or lets new balls appear.
#pragma once

#include <cstdint>

#include "game/rules/game_state.h"
#include "presentation/stage.h"

namespace kelvora {

// What became of a press on the board.
enum class TurnOutcome {
    Ignored,    // outside the board, on the selected ball, or on a free cell with nothing selected
    Selected,   // a ball is selected now
    Blocked,    // no free route to the pressed cell: nothing moved
    Moved,      // the ball moved; its lines went away or new balls came, and play goes on
    BoardFull,  // the ball moved and the new balls filled the board: the game is over
};

// x and y are pixels on the game area; presses outside its 360 x 360 pixels do nothing. The
// caller ends the game when the board filled up.
TurnOutcome HandleBoardPress(Stage& stage, GameState& game, int32_t x, int32_t y);

}  // namespace kelvora
