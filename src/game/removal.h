// Removing the lines a ball has completed: sound, blinking, clearing and the points.
#pragma once

#include <cstdint>
#include <vector>

#include "game/rules/game_state.h"
#include "presentation/stage.h"

namespace kelvora {

// Points for removing n distinct balls at once: 10 for five and 5 more for each further ball.
constexpr int32_t PointsForRemoval(int32_t n) { return (n - 5) * 5 + 10; }

// Removes the cells of a line list found by FindLines. Every emptied cell is appended to
// emptiedCells when it is given (spawning keeps its list of free cells that way).
void RemoveLineCells(Stage& stage, GameState& game, std::vector<int32_t> lines,
                     std::vector<int32_t>* emptiedCells = nullptr);

}  // namespace kelvora
