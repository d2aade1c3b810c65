// Finding the lines of five or more balls of one colour through the cell that just got a ball.
#pragma once

#include <cstdint>
#include <vector>

#include "game/rules/game_state.h"

namespace kelvora {

// Appends to lines every run of five or more through cell, in each of the four directions
// (horizontal, vertical, the two diagonals); the magic ball matches every colour. The centre cell
// is listed once per run found. A magic ball in the centre is tried as each colour 2..8 in turn
// and put back. Returns whether lines is non-empty.
bool FindLines(Board& board, int32_t cell, std::vector<int32_t>& lines);

}  // namespace kelvora
