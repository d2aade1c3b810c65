// The rules a running game keeps after every press, checked from outside the game: the board and
// the selection, the score against what the press removed, lines left standing, the pixels shown,
// and the honour file with the roll it should hold.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/rules/game_state.h"
#include "platform/host/headless/headless_host.h"
#include "base/text.h"

namespace kelvora::soak {

// A broken rule; the message says which and where.
class SoakFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Codes 0..8 only, and a selection that is 0 or a cell holding a ball.
void CheckBoardAndSelection(const GameState& game);

// No run of five or more of one colour (magic counting as any) through a cell that got its ball in
// the press (its content differs from `before`), or, when `everyBall`, through any ball at all:
// a press that removed balls may have refilled a cell with the same colour.
void CheckNoLineStands(const Board& board, const Board& before, bool everyBall);

// What one press removed, seen from outside: how many balls were on the board before, how many
// the game put on it, how many are left, and how many removals it announced (the score clip).
struct PressOutcome {
    int32_t ballsBefore = 0;
    int32_t ballsPlaced = 0;
    int32_t ballsAfter = 0;
    int32_t removals = 0;
};
// R removals of n1..nR balls (each five or more) earn 5 * (n1 + ... + nR) - 15 * R points: 10 for
// five and 5 for each further ball, however the removals were spread over the press.
void CheckScoreChange(int32_t scoreBefore, int32_t scoreAfter, const PressOutcome& outcome);
// The same for the press that filled the board: the last spawn placed one to three balls.
void CheckScoreChangeOfLastSpawn(int32_t scoreBefore, int32_t scoreAfter, int32_t ballsBefore, int32_t removals);

// Where the board is shown: the main window's presented pixels and the game area's corner in them.
struct BoardView {
    const std::vector<uint32_t>* screen = nullptr;
    int32_t screenWidth = 0;
    int32_t left = 0;
    int32_t top = 0;
};
// Every cell's centre and four points around it: all the checkerboard colour on an empty cell,
// none of it on a cell with a ball (every ball sprite covers these points, bobbing or not).
void CheckPresentedCells(const BoardView& view, const Board& board);

// The lines of an honour file: exactly ten, each ending in CR LF, no other CR or LF anywhere.
std::vector<Text> HonourFileLines(const std::string& bytes);

// The roll as the game must keep it, built only from what the player did.
struct HonourModel {
    std::vector<Text> roll;  // ten entries, place 1 first
    Text playerName;         // the last name confirmed in this run

    // The place a padded score earns: it must sort strictly after an entry, byte by byte.
    std::optional<int32_t> RankOf(const Text& paddedScore) const;
    void Insert(int32_t place, const Text& entry);
    std::string FileBytes() const;
};

// "0000125" for 125.
Text PaddedSeven(int32_t score);
// "0 0 0 0 1 2 5" for 125: how the game shows a seven-digit score.
Text SpacedScore(const Text& sevenDigits);

}  // namespace kelvora::soak
