// The rules a running game keeps, checked from outside.
#include "soak/soak_checks.h"

#include <cstdio>

#include "game/rules/cells.h"
#include "game/rules/lines.h"
#include "presentation/board_drawing.h"

namespace kelvora::soak {
namespace {

std::string CellName(int32_t cell) {
    const ColumnRow at = CellToColumnRow(cell);
    return "cell " + std::to_string(cell) + " (column " + std::to_string(at.column) + ", row " +
           std::to_string(at.row) + ")";
}

// Offsets from a cell's top-left pixel; all lie inside every ball sprite.
constexpr Point kSamplePoints[] = {{20, 20}, {12, 20}, {28, 20}, {20, 12}, {20, 28}};

}  // namespace

void CheckBoardAndSelection(const GameState& game) {
    for (int32_t cell = 1; cell <= kCellCount; ++cell) {
        const int32_t code = game.board[cell];
        if (code < kEmpty || code > kLightBlue)
            throw SoakFailure(CellName(cell) + " holds colour code " + std::to_string(code));
    }
    const int32_t selected = game.selectedCell;
    if (selected != 0 && (!IsCell(selected) || game.board[selected] == kEmpty))
        throw SoakFailure("selectedCell is " + std::to_string(selected) + " but holds no ball");
}

void CheckNoLineStands(const Board& board, const Board& before, bool everyBall) {
    Board copy = board;  // FindLines tries colours on a magic ball and puts it back
    std::vector<int32_t> lines;
    for (int32_t cell = 1; cell <= kCellCount; ++cell) {
        if (board[cell] == kEmpty || (!everyBall && board[cell] == before[cell])) continue;
        if (!FindLines(copy, cell, lines)) continue;
        const bool arrived = before[cell] != board[cell];
        std::string cells;
        for (int32_t c : lines) cells += " " + std::to_string(c);
        throw SoakFailure("a line of five or more stays on the board through " + CellName(cell) +
                          (arrived ? ", which got its ball in this press" : "") + ": cells" + cells);
    }
}

void CheckScoreChange(int32_t scoreBefore, int32_t scoreAfter, const PressOutcome& outcome) {
    const std::string counts = " (balls before " + std::to_string(outcome.ballsBefore) + ", placed " +
                               std::to_string(outcome.ballsPlaced) + ", after " + std::to_string(outcome.ballsAfter) +
                               ", removals " + std::to_string(outcome.removals) + ")";
    if (scoreAfter < scoreBefore)
        throw SoakFailure("the score fell from " + std::to_string(scoreBefore) + " to " + std::to_string(scoreAfter));
    const int32_t removed = outcome.ballsBefore + outcome.ballsPlaced - outcome.ballsAfter;
    if (removed < 5 * outcome.removals || (outcome.removals == 0 && removed != 0))
        throw SoakFailure(std::to_string(removed) + " balls went in " + std::to_string(outcome.removals) +
                          " removals" + counts);
    const int64_t expected = 5 * int64_t{removed} - 15 * int64_t{outcome.removals};
    if (int64_t{scoreAfter} - scoreBefore != expected)
        throw SoakFailure("the score went from " + std::to_string(scoreBefore) + " to " + std::to_string(scoreAfter) +
                          ", but the removals were worth " + std::to_string(expected) + counts);
}

void CheckScoreChangeOfLastSpawn(int32_t scoreBefore, int32_t scoreAfter, int32_t ballsBefore, int32_t removals) {
    for (int32_t placed = 1; placed <= 3; ++placed) {
        const PressOutcome outcome{ballsBefore, placed, kCellCount, removals};
        const int32_t removed = ballsBefore + placed - kCellCount;
        if (removed < 5 * removals || (removals == 0 && removed != 0)) continue;
        if (int64_t{scoreAfter} - scoreBefore == 5 * int64_t{removed} - 15 * int64_t{removals}) {
            CheckScoreChange(scoreBefore, scoreAfter, outcome);
            return;
        }
    }
    throw SoakFailure("the board filled up with " + std::to_string(ballsBefore) + " balls before the last spawn and " +
                      std::to_string(removals) + " removals, but the score went from " + std::to_string(scoreBefore) +
                      " to " + std::to_string(scoreAfter));
}

void CheckPresentedCells(const BoardView& view, const Board& board) {
    const int32_t rows = view.screenWidth > 0 ? static_cast<int32_t>(view.screen->size()) / view.screenWidth : 0;
    if (view.left < 0 || view.top < 0 || view.left + kBoardSide * kCellSize > view.screenWidth ||
        view.top + kBoardSide * kCellSize > rows)
        throw SoakFailure("the game area lies outside the main window");
    for (int32_t cell = 1; cell <= kCellCount; ++cell) {
        const Point at = CellToPixel(cell);
        const uint32_t background = CellBackgroundColour(cell);
        const bool hasBall = board[cell] != kEmpty;
        for (const Point& p : kSamplePoints) {
            const size_t offset = static_cast<size_t>(view.top + at.y + p.y) * static_cast<size_t>(view.screenWidth) +
                                  static_cast<size_t>(view.left + at.x + p.x);
            const uint32_t shown = (*view.screen)[offset];
            if ((shown == background) == hasBall) {
                char colour[16];
                std::snprintf(colour, sizeof colour, "0x%06X", shown);
                throw SoakFailure(CellName(cell) + " holds colour code " + std::to_string(board[cell]) +
                                  " but its pixel (" + std::to_string(p.x) + ", " + std::to_string(p.y) +
                                  ") shows " + colour);
            }
        }
    }
}

std::vector<Text> HonourFileLines(const std::string& bytes) {
    std::vector<Text> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) throw SoakFailure("the honour file's last line has no CR LF");
        Text line = bytes.substr(start, end - start);
        if (line.find_first_of("\r\n") != Text::npos)
            throw SoakFailure("line " + std::to_string(lines.size() + 1) + " of the honour file holds a lone CR or LF");
        lines.push_back(std::move(line));
        start = end + 2;
    }
    if (lines.size() != 10)
        throw SoakFailure("the honour file holds " + std::to_string(lines.size()) + " lines, not ten");
    return lines;
}

std::optional<int32_t> HonourModel::RankOf(const Text& paddedScore) const {
    for (size_t k = 0; k < roll.size(); ++k) {
        if (paddedScore.compare(roll[k]) > 0) return static_cast<int32_t>(k) + 1;
    }
    return std::nullopt;
}

void HonourModel::Insert(int32_t place, const Text& entry) {
    roll.insert(roll.begin() + (place - 1), entry);
    roll.resize(10);
}

std::string HonourModel::FileBytes() const {
    std::string bytes;
    for (const Text& entry : roll) bytes += entry + "\r\n";
    return bytes;
}

Text PaddedSeven(int32_t score) {
    Text digits = std::to_string(score);
    return digits.size() >= 7 ? digits : Text(7 - digits.size(), '0') + digits;
}

Text SpacedScore(const Text& sevenDigits) {
    Text spaced;
    for (size_t i = 0; i < 7 && i < sevenDigits.size(); ++i) {
        if (i > 0) spaced.push_back(' ');
        spaced.push_back(sevenDigits[i]);
    }
    return spaced;
}

}  // namespace kelvora::soak
