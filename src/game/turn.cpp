// The player's turn.
#include "game/turn.h"

#include <vector>

#include "game/removal.h"
#include "game/rules/cells.h"
#include "game/rules/lines.h"
#include "game/rules/path_search.h"
#include "game/rules/removal_plan.h"
#include "game/rules/spawn_plan.h"
#include "game/spawning.h"
#include "presentation/animations.h"
#include "presentation/board_drawing.h"
#include "presentation/sound_effects.h"
#include "presentation/sprites.h"

namespace kelvora {
namespace {

constexpr int32_t kSelectionIntervalMs = 180;
// Routes of five cells or more (four steps or more) are announced with a whoosh.
constexpr size_t kLongRouteCells = 5;

void SelectBall(Stage& stage, GameState& game, int32_t cell) {
    PlaySelectSound(stage);
    if (game.selectedCell > 0) DrawBallAt(stage, game.selectedCell, game.board[game.selectedCell], kSpriteResting);
    game.selectedCell = cell;
    game.selectionStyle = RandomInt(*stage.random, kSpriteLookingAhead, kSpriteLookingDown);
    DrawBallAt(stage, cell, game.board[cell], game.selectionStyle);
    stage.SetSelectionTimerInterval(kSelectionIntervalMs);
}

TurnOutcome MoveSelectedBall(Stage& stage, GameState& game, int32_t target) {
    std::vector<int32_t> route;
    if (!FindPath(game.board, game.selectedCell, target, route)) {
        PlayBlockedSound(stage);
        return TurnOutcome::Blocked;
    }
    stage.SetSelectionTimerInterval(0);
    if (route.size() >= kLongRouteCells) PlayLongMoveSound(stage);
    AnimateMove(stage, game, route);
    game.board[target] = game.board[game.selectedCell];
    game.board[game.selectedCell] = kEmpty;
    game.selectedCell = 0;

    std::vector<int32_t> lines;
    if (FindLines(game.board, target, lines)) {
        ShowRemoval(stage, game, PlanRemoval(*stage.random, lines, game.score));
        return TurnOutcome::Moved;
    }
    StartSpawn(stage, game);
    if (!ShowSpawn(stage, game, PlanSpawn(*stage.random, game))) return TurnOutcome::BoardFull;
    // The moved ball was last drawn awake by the move; it rests now (or its cell shows empty when
    // a new ball's line took it away).
    DrawBallAt(stage, target, game.board[target], kSpriteResting);
    PickNextColours(stage, game, true);
    return TurnOutcome::Moved;
}

}  // namespace

TurnOutcome HandleBoardPress(Stage& stage, GameState& game, int32_t x, int32_t y) {
    const int32_t cell = PixelToCell(x, y);
    if (cell == 0) return TurnOutcome::Ignored;
    if (game.board[cell] == kEmpty && game.selectedCell == 0) return TurnOutcome::Ignored;
    if (cell == game.selectedCell) return TurnOutcome::Ignored;
    if (game.board[cell] > kEmpty) {
        SelectBall(stage, game, cell);
        return TurnOutcome::Selected;
    }
    return MoveSelectedBall(stage, game, cell);
}

}  // namespace kelvora
