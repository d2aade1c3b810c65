// Showing a removal of completed lines: the burst sound, the blinking, the emptied cells and the
// points with their sound and caption.
#pragma once

#include "game/rules/game_state.h"
#include "game/rules/removal_plan.h"
#include "presentation/stage.h"

namespace kelvora {

// Shows what PlanRemoval decided and applies it to game: the cells end up empty and the score is
// the plan's.
void ShowRemoval(Stage& stage, GameState& game, const RemovalPlan& plan);

}  // namespace kelvora
