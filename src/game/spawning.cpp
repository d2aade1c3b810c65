// New balls and new games.
#include "game/spawning.h"

#include "game/removal.h"
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

void StartSpawn(Stage& stage, const GameState& game) {
    stage.SetSelectionTimerInterval(0);
    if (game.nextBalls.size() == 3) PlaySpawnSound(stage);
    SeedRandom(*stage.random, stage.TickMs());
}

bool ShowSpawn(Stage& stage, GameState& game, const SpawnPlan& plan) {
    const bool threeBalls = game.nextBalls.size() == 3;
    for (const SpawnedBall& ball : plan.balls) {
        if (threeBalls) GrowIn(stage, ball.cell, ball.colour);
        DrawBallAt(stage, ball.cell, ball.colour, kSpriteResting);
        game.board[ball.cell] = ball.colour;
        if (ball.removal) ShowRemoval(stage, game, *ball.removal);
    }
    return !plan.boardFull;
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
    StartSpawn(stage, game);
    ShowSpawn(stage, game, PlanSpawn(*stage.random, game));
    game.nextBalls.assign(3, 0);
    PickNextColours(stage, game, true);
    game.selectedCell = 0;
    stage.UnlockRedraw();
}

void PrepareFirstGame(GameState& game) { game.selectionStyle = kSpriteLookingAhead; }

void MarkGameEnded(GameState& game) { game.nextBalls.clear(); }

}  // namespace kelvora
