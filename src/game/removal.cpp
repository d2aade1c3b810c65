// Showing a removal of completed lines.
#include "game/removal.h"

#include "presentation/animations.h"
#include "presentation/board_drawing.h"
#include "presentation/sound_effects.h"

namespace kelvora {

void ShowRemoval(Stage& stage, GameState& game, const RemovalPlan& plan) {
    PlayBurstSound(stage, plan.burstSound);
    // The board still holds the balls while they blink; they go only when it is over.
    AnimateRemoval(stage, game, plan.cells);
    for (int32_t cell : plan.cells) game.board[cell] = kEmpty;
    PlayScoreSound(stage);
    game.score = plan.score;
    stage.SetScoreCaption(ScoreCaption(game.score));
}

}  // namespace kelvora
