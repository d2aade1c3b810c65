// The route of a moving ball: the shortest chain of orthogonal steps through empty cells.
#pragma once

#include <cstdint>
#include <vector>

#include "game/rules/game_state.h"

namespace kelvora {

// Fills route with source, the cells passed and target, and returns true; returns false with an
// empty route when no route exists. Among equally short routes the one found first by exploring
// left, right, below, above in first-in-first-out order is returned, so replays are identical.
bool FindPath(const Board& board, int32_t source, int32_t target, std::vector<int32_t>& route);

}  // namespace kelvora
