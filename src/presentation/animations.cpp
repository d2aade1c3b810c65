// The animations of the selected, moving, vanishing and arriving balls.
#include "presentation/animations.h"

#include "game/rules/cells.h"
#include "presentation/board_drawing.h"
#include "presentation/sprites.h"

namespace kelvora {
namespace {

constexpr int32_t kMovePauseMs = 50;
constexpr int32_t kHiddenPauseMs = 50;
constexpr int32_t kShownPauseMs = 100;
constexpr int32_t kRemovalPasses = 6;
constexpr int32_t kGrowPauseMs = 30;

struct GrowFrame {
    int32_t left, top, size;
};
constexpr GrowFrame kGrowFrames[] = {{16, 16, 8}, {12, 12, 16}, {8, 8, 24}};

}  // namespace

int32_t BobOffset(int32_t bobPhase) {
    switch (bobPhase) {
        case 1: return -2;
        case 3: return 2;
        default: return 0;
    }
}

int32_t NextSelectionStyle(int32_t selectionStyle, RandomGenerator& random) {
    switch (selectionStyle) {
        case kSpriteLookingAhead: {
            constexpr int32_t faces[] = {kSpriteResting, kSpriteLookingAhead, kSpriteLookingLeft, kSpriteLookingRight,
                                         kSpriteLookingUp};
            return faces[RandomInt(random, 1, 5) - 1];
        }
        case kSpriteLookingLeft: {
            constexpr int32_t faces[] = {kSpriteLookingLeft, kSpriteLookingAhead, kSpriteLookingUp, kSpriteLookingDown};
            return faces[RandomInt(random, 1, 4) - 1];
        }
        case kSpriteLookingRight: {
            constexpr int32_t faces[] = {kSpriteLookingRight, kSpriteLookingAhead, kSpriteLookingUp, kSpriteLookingDown};
            return faces[RandomInt(random, 1, 4) - 1];
        }
        case kSpriteLookingUp:
        case kSpriteLookingDown: {
            constexpr int32_t faces[] = {kSpriteLookingUp, kSpriteLookingAhead, kSpriteLookingLeft, kSpriteLookingRight};
            return faces[RandomInt(random, 1, 4) - 1];
        }
        default: return kSpriteLookingAhead;  // after a blink the ball looks ahead again
    }
}

void SelectionTick(Stage& stage, GameState& game, SelectionAnimation& animation) {
    animation.bobPhase = animation.bobPhase + 1 >= 5 ? 1 : animation.bobPhase + 1;
    if (!IsCell(game.selectedCell)) return;  // a stray tick with nothing selected draws nothing
    DrawPanel& buffer = *stage.buffer;
    const uint32_t background = CellBackgroundColour(game.selectedCell);
    buffer.SetPenColour(background);
    buffer.SetBrushColour(background);
    buffer.DrawRectangle(0, 0, kCellSize, kCellSize);
    if (animation.selectionTicks % 5 == 0 || game.selectionStyle == kSpriteResting)
        game.selectionStyle = NextSelectionStyle(game.selectionStyle, *stage.random);
    ++animation.selectionTicks;
    const int32_t picture = stage.pictures->LoadPicture(SpriteFor(game.board[game.selectedCell], game.selectionStyle));
    DrawPicture(buffer, *stage.pictures, picture, 0, BobOffset(animation.bobPhase), kSpriteDrawMode);
    stage.pictures->FreePicture(picture);
    const Point at = CellToPixel(game.selectedCell);
    buffer.CopyArea(0, 0, kCellSize, kCellSize, stage.gameArea, at.x + 1, at.y + 1);
}

void AnimateMove(Stage& stage, const GameState& game, const std::vector<int32_t>& route) {
    if (route.empty()) return;
    const int32_t colour = game.board[route.front()];
    for (size_t i = 1; i < route.size(); ++i) {
        DrawBallAt(stage, route[i - 1], kEmpty, kSpritePlain);
        DrawBallAt(stage, route[i], colour, game.selectionStyle);
        stage.SleepMs(kMovePauseMs);
    }
}

void AnimateRemoval(Stage& stage, const GameState& game, const std::vector<int32_t>& cells) {
    for (int32_t pass = 1; pass <= kRemovalPasses; ++pass) {
        for (int32_t cell : cells) DrawBallAt(stage, cell, kEmpty, kSpritePlain);
        stage.SleepMs(kHiddenPauseMs);
        if (pass == kRemovalPasses) break;
        for (int32_t cell : cells) DrawBallAt(stage, cell, IsCell(cell) ? game.board[cell] : kEmpty, kSpriteRemoval);
        stage.SleepMs(kShownPauseMs);
    }
}

void GrowIn(Stage& stage, int32_t cell, int32_t colourCode) {
    if (!IsCell(cell)) return;
    DrawPanel& buffer = *stage.buffer;
    const uint32_t background = CellBackgroundColour(cell);
    buffer.SetPenColour(background);
    buffer.SetBrushColour(background);
    buffer.DrawRectangle(0, 0, kCellSize, kCellSize);
    const int32_t picture = stage.pictures->LoadPicture(SpriteFor(colourCode, kSpritePlain));
    const Point at = CellToPixel(cell);
    for (const GrowFrame& frame : kGrowFrames) {
        DrawPicture(buffer, *stage.pictures, picture, frame.left, frame.top, frame.size, frame.size, kSpriteDrawMode);
        buffer.CopyArea(0, 0, kCellSize, kCellSize, stage.gameArea, at.x + 1, at.y + 1);
        stage.SleepMs(kGrowPauseMs);
    }
    stage.pictures->FreePicture(picture);
}

}  // namespace kelvora
