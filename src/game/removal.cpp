// Removing completed lines: sound, blinking, clearing and the points.
#include "game/removal.h"

#include "game/rules/cells.h"
#include "base/arithmetic.h"
#include "presentation/animations.h"
#include "presentation/board_drawing.h"
#include "presentation/sound_effects.h"

namespace kelvora {

void RemoveLineCells(Stage& stage, GameState& game, std::vector<int32_t> lines, std::vector<int32_t>* emptiedCells) {
    PlayBurstSound(stage);
    SortAscending(lines);
    // The centre cell is listed once per line through it; each ball is removed once.
    std::vector<int32_t> removed;
    int32_t previous = 0;
    for (int32_t cell : lines) {
        if (cell == previous || !IsCell(cell)) continue;
        removed.push_back(cell);
        previous = cell;
    }
    AnimateRemoval(stage, game, removed);
    for (int32_t cell : removed) {
        game.board[cell] = kEmpty;
        if (emptiedCells) emptiedCells->push_back(cell);
    }
    PlayScoreSound(stage);
    // The sum is kept from overflowing: a score can only grow, so it stops at the largest integer.
    const int64_t total = static_cast<int64_t>(game.score) + PointsForRemoval(static_cast<int32_t>(removed.size()));
    game.score = total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
    stage.SetScoreCaption(ScoreCaption(game.score));
}

}  // namespace kelvora
