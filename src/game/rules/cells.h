// Cell numbers, columns and rows, and pixels on the 360 x 360 game area.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "game/rules/game_state.h"

namespace kelvora {

struct ColumnRow {
    int32_t column = 0;
    int32_t row = 0;
    bool operator==(const ColumnRow&) const = default;
};

// Top-left pixel of a cell.
constexpr Point CellToPixel(int32_t cell) {
    return {((cell - 1) % kBoardSide) * kCellSize, ((cell - 1) / kBoardSide) * kCellSize};
}

constexpr ColumnRow CellToColumnRow(int32_t cell) {
    return {((cell - 1) % kBoardSide) + 1, ((cell - 1) / kBoardSide) + 1};
}

// -1 when the column or the row is off the board.
constexpr int32_t ColumnRowToCell(int32_t column, int32_t row) {
    if (column < 1 || column > kBoardSide || row < 1 || row > kBoardSide) return -1;
    return (row - 1) * kBoardSide + column;
}

// 0 when the pixel is outside the board.
constexpr int32_t PixelToCell(int32_t x, int32_t y) {
    constexpr int32_t side = kBoardSide * kCellSize;
    if (x < 0 || y < 0 || x >= side || y >= side) return 0;
    return (y / kCellSize) * kBoardSide + (x / kCellSize) + 1;
}

constexpr bool IsCell(int32_t cell) { return cell >= 1 && cell <= kCellCount; }

}  // namespace kelvora
