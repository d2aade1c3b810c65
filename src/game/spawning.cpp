// New balls and new games.
#include "game/spawning.h"

#include <vector>

#include "game/removal.h"
#include "game/rules/cells.h"
#include "game/rules/lines.h"
#include "presentation/animations.h"
#include "presentation/board_drawing.h"
#include "presentation/sound_effects.h"
#include "presentation/sprites.h"

namespace kelvora {

void PickNextColours(Stage& stage, GameState& game, bool withPreview) {
    SeedRandom(*stage.random, stage.TickMs());
    for (size_t i = 0; i < game.nextBalls.size(); ++i) {
        int32_t colour = RandomInt(*stage.random, 1, 8);
        if (colour == kMagicBall) {
            // Both draws are always taken, so the sequence does not depend on the first.
            const int32_t chance = RandomInt(*stage.random, 1, 10);
            const int32_t ordinary = RandomInt(*stage.random, 2, 8);
            colour = chance == 1 ? kMagicBall : ordinary;
        }
        game.nextBalls[i] = colour;
        if (withPreview) DrawPreviewSlot(stage, static_cast<int32_t>(i) + 1, colour);
    }
}

bool SpawnBalls(Stage& stage, GameState& game) {
    stage.SetSelectionTimerInterval(0);
    const bool threeBalls = game.nextBalls.size() == 3;
    if (threeBalls) PlaySpawnSound(stage);
    std::vector<int32_t> freeCells;
    for (int32_t cell = 1; cell <= kCellCount; ++cell)
        if (game.board[cell] == kEmpty) freeCells.push_back(cell);
    SeedRandom(*stage.random, stage.TickMs());

    const size_t count = game.nextBalls.size();
    for (size_t i = 0; i < count; ++i) {
        if (freeCells.empty()) return false;
        const int32_t k = RandomInt(*stage.random, 1, static_cast<int32_t>(freeCells.size()));
        const int32_t cell = freeCells[static_cast<size_t>(k) - 1];
        const int32_t colour = game.nextBalls[i];
        if (threeBalls) GrowIn(stage, cell, colour);
        DrawBallAt(stage, cell, colour, kSpriteResting);
        game.board[cell] = colour;
        std::vector<int32_t> lines;
        // Cells a removal empties join the end of the list; the chosen entry goes only afterwards,
        // so the ball's own cell (always among the removed) stays free.
        if (FindLines(game.board, cell, lines)) RemoveLineCells(stage, game, std::move(lines), &freeCells);
        freeCells.erase(freeCells.begin() + (k - 1));
    }
    return !freeCells.empty();
}

void NewGame(Stage& stage, GameState& game) {
    if (!game.nextBalls.empty()) PlayClickSound(stage);
    stage.LockRedraw();
    stage.SetSelectionTimerInterval(0);
    game.score = 0;
    stage.SetScoreCaption(ScoreCaption(game.score));
    game.board = Board{};
    DrawEmptyBoard(stage);
    game.nextBalls.assign(5, 0);
    PickNextColours(stage, game, false);
    SpawnBalls(stage, game);
    game.nextBalls.assign(3, 0);
    PickNextColours(stage, game, true);
    game.selectedCell = 0;
    stage.UnlockRedraw();
}

void PrepareFirstGame(GameState& game) { game.selectionStyle = kSpriteLookingAhead; }

void MarkGameEnded(GameState& game) { game.nextBalls.clear(); }

}  // namespace kelvora
