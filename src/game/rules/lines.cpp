// Line finding around one cell.
#include "game/rules/lines.h"

#include <array>

#include "game/rules/cells.h"

namespace kelvora {
namespace {

struct Direction {
    int32_t dColumn;
    int32_t dRow;
};

// Side 1 of each direction; side 2 is the opposite step.
constexpr std::array<Direction, 4> kDirections{{
    {-1, 0},   // horizontal
    {0, -1},   // vertical
    {-1, -1},  // top-left to bottom-right
    {-1, 1},   // bottom-left to top-right
}};

void FindRuns(const Board& board, int32_t centre, std::vector<int32_t>& lines) {
    const int32_t colour = board[centre];
    const ColumnRow at = CellToColumnRow(centre);
    std::array<int32_t, 2 * kBoardSide> run{};
    for (const Direction& d : kDirections) {
        // Side 1 is gathered backwards, then reversed into place ahead of the centre.
        int32_t before[kBoardSide];
        int32_t beforeCount = 0;
        for (int32_t step = 1;; ++step) {
            const int32_t n = ColumnRowToCell(at.column + d.dColumn * step, at.row + d.dRow * step);
            if (n == -1 || (board[n] != colour && board[n] != kMagicBall)) break;
            before[beforeCount++] = n;
        }
        int32_t length = 0;
        for (int32_t i = beforeCount - 1; i >= 0; --i) run[length++] = before[i];
        run[length++] = centre;
        for (int32_t step = 1;; ++step) {
            const int32_t n = ColumnRowToCell(at.column - d.dColumn * step, at.row - d.dRow * step);
            if (n == -1 || (board[n] != colour && board[n] != kMagicBall)) break;
            run[length++] = n;
        }
        if (length >= 5) lines.insert(lines.end(), run.begin(), run.begin() + length);
    }
}

}  // namespace

bool FindLines(Board& board, int32_t cell, std::vector<int32_t>& lines) {
    if (!IsCell(cell) || board[cell] <= kEmpty) return !lines.empty();
    if (board[cell] == kMagicBall) {
        for (int32_t colour = kRed; colour <= kLightBlue; ++colour) {
            board[cell] = colour;
            FindRuns(board, cell, lines);
        }
        board[cell] = kMagicBall;
        return !lines.empty();
    }
    FindRuns(board, cell, lines);
    return !lines.empty();
}

}  // namespace kelvora
