// The animations: the selected ball bobbing and looking around on its timer, and the three that
// run inside a turn with blocking pauses (a move, a removal, a new ball growing).
#pragma once

#include <cstdint>
#include <vector>

#include "game/rules/game_state.h"
#include "presentation/stage.h"

namespace kelvora {

struct SelectionAnimation {
    int32_t bobPhase = 0;        // 1..4 while bobbing; never reset
    int32_t selectionTicks = 0;  // ticks handled since the program started; never reset
};

// The vertical offset of the bob for a phase 1..4: up 2, level, down 2, level.
int32_t BobOffset(int32_t bobPhase);
// The next face of the selected ball by the face rule (a blink always opens to looking ahead).
int32_t NextSelectionStyle(int32_t selectionStyle, RandomGenerator& random);

// One tick of the selection timer.
void SelectionTick(Stage& stage, GameState& game, SelectionAnimation& animation);
// The selected ball travels along the route, 50 ms a step; the board itself is not changed.
void AnimateMove(Stage& stage, const GameState& game, const std::vector<int32_t>& route);
// The cells blink with a pained face and end up shown empty (800 ms); the board still holds the balls.
void AnimateRemoval(Stage& stage, const GameState& game, const std::vector<int32_t>& cells);
// A new ball grows in three frames of 30 ms.
void GrowIn(Stage& stage, int32_t cell, int32_t colourCode);

}  // namespace kelvora
