// Drawing the board, its cells, the preview and score captions.
#include "presentation/board_drawing.h"

#include "game/rules/cells.h"
#include "presentation/sprites.h"

namespace kelvora {
namespace {

void SetPenAndBrush(DrawPanel& panel, uint32_t colour) {
    panel.SetPenColour(colour);
    panel.SetBrushColour(colour);
}

// Turns the sprite into a picture, lets `draw` use it, and releases it again.
template <typename Draw>
void WithSprite(Stage& stage, int32_t colourCode, int32_t group, Draw draw) {
    const int32_t picture = stage.pictures->LoadPicture(SpriteFor(colourCode, group));
    draw(picture);
    stage.pictures->FreePicture(picture);
}

}  // namespace

void DrawEmptyBoard(Stage& stage) {
    DrawPanel& area = *stage.gameArea;
    for (int32_t cell = 1; cell <= kCellCount; ++cell) {
        const Point at = CellToPixel(cell);
        SetPenAndBrush(area, CellBackgroundColour(cell));
        area.DrawRectangle(at.x, at.y, at.x + kCellSize, at.y + kCellSize);
    }
    area.SetPenColour(kGridColour);
    for (int32_t i = 1; i <= kBoardSide; ++i) {
        const int32_t at = (i - 1) * kCellSize;
        area.DrawLine(at, 0, at, area.Height());
        area.DrawLine(0, at, area.Width(), at);
    }
}

void DrawBallAt(Stage& stage, int32_t cell, int32_t colourCode, int32_t group) {
    if (!IsCell(cell)) return;
    const Point at = CellToPixel(cell);
    const uint32_t background = CellBackgroundColour(cell);
    if (colourCode == kEmpty) {
        // Only the 39 x 39 interior: the grid lines stay.
        SetPenAndBrush(*stage.gameArea, background);
        stage.gameArea->DrawRectangle(at.x + 1, at.y + 1, at.x + kCellSize, at.y + kCellSize);
        return;
    }
    DrawPanel& buffer = *stage.buffer;
    SetPenAndBrush(buffer, background);
    buffer.DrawRectangle(0, 0, kCellSize, kCellSize);
    WithSprite(stage, colourCode, group, [&](int32_t picture) {
        DrawPicture(buffer, *stage.pictures, picture, 0, 0, kCellSize, kCellSize, kSpriteDrawMode);
        // The buffer is 39 x 39: the copy's 40th row and column have no source pixels and leave
        // the grid lines right of and below the cell as they are.
        buffer.CopyArea(0, 0, kCellSize, kCellSize, stage.gameArea, at.x + 1, at.y + 1);
    });
}

void DrawPreviewSlot(Stage& stage, int32_t slot, int32_t colourCode) {
    if (slot < 1 || slot > 3) return;
    DrawPanel& buffer = *stage.buffer;
    SetPenAndBrush(buffer, 0);
    buffer.DrawRectangle(0, 0, kCellSize, kCellSize);
    WithSprite(stage, colourCode, kSpritePlain, [&](int32_t picture) {
        DrawPicture(buffer, *stage.pictures, picture, 0, 0, kSpriteDrawMode);
        buffer.CopyArea(0, 0, kCellSize - 1, kCellSize - 1, stage.preview, (slot - 1) * kCellSize + 1, 1);
    });
}

void DrawPreviewFrame(DrawPanel& preview) {
    for (int32_t i = 1; i <= 3; ++i) preview.DrawLine((i - 1) * kCellSize, 0, (i - 1) * kCellSize, preview.Height());
    preview.DrawLine(0, 0, preview.Width(), 0);
}

Text ScoreCaption(int32_t value) {
    Text digits = ToText(value);
    if (digits.size() < 7) digits = RepeatText(static_cast<int32_t>(7 - digits.size()), "0") + digits;
    Text spaced;
    for (size_t i = 0; i < 7; ++i) {
        spaced.push_back(digits[i]);
        spaced.push_back(' ');
    }
    return LeftText(spaced, 13);
}

}  // namespace kelvora
