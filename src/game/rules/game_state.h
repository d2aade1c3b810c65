// The state every rule works on: the 9 x 9 board, the selection, the score and the next balls.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kelvora {

constexpr int32_t kBoardSide = 9;
constexpr int32_t kCellCount = 81;
constexpr int32_t kCellSize = 40;

// Colour codes of a cell.
enum ColourCode : int32_t {
    kEmpty = 0,
    kMagicBall = 1,
    kRed = 2,
    kBlue = 3,
    kYellow = 4,
    kGreen = 5,
    kPurple = 6,
    kOrange = 7,
    kLightBlue = 8,
};

// Indexed by cell number 1..81; entry 0 is never used, so the game's 1-based numbers index it directly.
using Board = std::array<int32_t, kCellCount + 1>;

struct GameState {
    Board board{};
    int32_t selectedCell = 0;  // 0 when no ball is selected
    int32_t score = 0;
    // Colours of the next spawn in placing order: 5 while a new game places its first balls,
    // 3 during a game, empty before the first game and after a game has ended.
    std::vector<int32_t> nextBalls;
    int32_t selectionStyle = 0;  // sprite group of the selected and the travelling ball
};

}  // namespace kelvora
