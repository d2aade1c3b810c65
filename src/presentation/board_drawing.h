// Drawing the board: the empty checkerboard with its grid, one cell with or without a ball, the
// preview slots, and the spaced seven-digit score captions.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "presentation/stage.h"

namespace kelvora {

constexpr uint32_t kGridColour = 0x606060;
constexpr uint32_t kOddCellColour = 0x212021;  // RGB(33, 32, 33)
constexpr uint32_t kEvenCellColour = 0x000000;
// Pure magenta marks the pixels around a ball sprite that the cell's own colour shows through.
constexpr uint32_t kSpriteKeyColour = 0x00FF00FF;
constexpr int32_t kSpriteDrawMode = ColourKeyMode(kSpriteKeyColour);

// Dark grey on odd cell numbers, black on even ones: a checkerboard with dark grey corners.
constexpr uint32_t CellBackgroundColour(int32_t cell) { return cell % 2 != 0 ? kOddCellColour : kEvenCellColour; }

void DrawEmptyBoard(Stage& stage);
// Cell 0 draws nothing; colour code 0 shows the empty cell; otherwise the ball in that face.
void DrawBallAt(Stage& stage, int32_t cell, int32_t colourCode, int32_t group);
void DrawPreviewSlot(Stage& stage, int32_t slot, int32_t colourCode);
// The preview's frame lines: left of each slot and along the top.
void DrawPreviewFrame(DrawPanel& preview);

// "0 0 0 0 1 2 5" for 125: seven digits (the first seven of a longer number), spaced.
Text ScoreCaption(int32_t value);

}  // namespace kelvora
