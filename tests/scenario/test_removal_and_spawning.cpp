// Removing lines and placing new balls, on the headless host with its virtual clock: points,
// clips in their order, cells shown empty, the free-cell list, and new games.
#include <gtest/gtest.h>

#include <set>

#include "game/removal.h"
#include "game/rules/cells.h"
#include "game/rules/lines.h"
#include "game/rules/removal_plan.h"
#include "game/rules/spawn_plan.h"
#include "game/spawning.h"
#include "presentation/animations.h"
#include "support/game_fixture.h"

namespace kelvora {
namespace {

using testing::GameFixture;
using testing::StartsWith;

class Rules : public ::testing::Test {
protected:
    void SetUp() override { fixture.Start(); }
    Stage& stage() { return fixture.app->stage; }
    GameState& game() { return fixture.app->game; }

    // Finds the lines through the cell and removes them; returns the points it gave.
    int32_t Remove(int32_t cell) {
        std::vector<int32_t> lines;
        if (!FindLines(game().board, cell, lines)) return -1;
        const int32_t before = game().score;
        ShowRemoval(stage(), game(), PlanRemoval(*stage().random, lines, game().score));
        return game().score - before;
    }

    // Places the next balls as a turn does: seeded, planned, then shown.
    bool Spawn() {
        StartSpawn(stage(), game());
        return ShowSpawn(stage(), game(), PlanSpawn(*stage().random, game()));
    }

    GameFixture fixture;
};

TEST_F(Rules, RemovalPointsSoundsAndEmptyCells) {
    fixture.SetBoard(
        "222222..."
        "........."
        "........."
        "........."
        "........."
        "........."
        "........."
        "........."
        ".........");
    const size_t clips = fixture.ClipCount();
    const int64_t start = fixture.host->NowMs();
    EXPECT_EQ(Remove(3), 15);
    EXPECT_EQ(fixture.host->NowMs() - start, 800);  // six passes: 6 x 50 + 5 x 100 ms
    const auto played = fixture.ClipsSince(clips);
    ASSERT_EQ(played.size(), 2u);
    EXPECT_TRUE(StartsWith(played[0], "burstSound"));
    EXPECT_EQ(played[1], "scoreSound");
    EXPECT_EQ(fixture.host->PlayedClips()[clips + 1].timeMs - fixture.host->PlayedClips()[clips].timeMs, 800);
    for (int32_t cell = 1; cell <= 6; ++cell) {
        EXPECT_EQ(game().board[cell], kEmpty);
        const Point at = CellToPixel(cell);
        EXPECT_EQ(fixture.BoardPixel(at.x + 20, at.y + 20), cell % 2 ? 0x212021u : 0u);
    }
    EXPECT_EQ(fixture.Caption("标签分数"), "0 0 0 0 0 1 5");
}

TEST_F(Rules, CrossingLinesScoreNineBallsOnce) {
    fixture.SetBoard(
        "........."
        "........."
        "....4...."
        "....4...."
        "..44444.."
        "....4...."
        "....4...."
        "........."
        ".........");
    const size_t clips = fixture.ClipCount();
    EXPECT_EQ(Remove(41), 30);
    EXPECT_EQ(fixture.ClipsSince(clips).size(), 2u);
    EXPECT_EQ(fixture.BallCount(), 0);
}

TEST_F(Rules, MagicBallCases) {
    fixture.SetBoard(
        "2222M3333"
        "22M22...."
        "MMMMM...."
        "2222M333."
        "........."
        "........."
        "........."
        "........."
        ".........");
    EXPECT_EQ(Remove(5), 30);  // red, magic, blue: all nine
    EXPECT_EQ(Remove(10), 10);  // red, red, magic, red, red
    EXPECT_EQ(Remove(19), 10);  // five magic balls
    EXPECT_EQ(Remove(28), 10);  // four red and the magic ball; the blue ones stay
    EXPECT_EQ(game().board[33], kBlue);
    EXPECT_EQ(game().board[34], kBlue);
    EXPECT_EQ(game().board[35], kBlue);
    EXPECT_EQ(game().score, 60);
}

TEST_F(Rules, ASpawnedBallThatCompletesALineFreesCellsForTheNext) {
    // One free cell, which completes a red line; the next balls land in the emptied cells.
    fixture.FillBoardExcept({});
    std::string cells;
    for (int32_t c = 1; c <= kCellCount; ++c) cells.push_back(static_cast<char>('0' + game().board[c]));
    for (int32_t c = 1; c <= 4; ++c) cells[c - 1] = '2';
    cells[4] = '.';
    fixture.SetBoard(cells);
    fixture.SetNextBalls({kRed, kBlue, kGreen});
    const size_t clips = fixture.ClipCount();
    const int64_t start = fixture.host->NowMs();
    EXPECT_TRUE(Spawn());
    const auto played = fixture.ClipsSince(clips);
    ASSERT_EQ(played.size(), 3u);
    EXPECT_EQ(played[0], "spawnSound");
    EXPECT_TRUE(StartsWith(played[1], "burstSound"));
    EXPECT_EQ(played[2], "scoreSound");
    EXPECT_EQ(game().score, 10);
    // The blue and the green ball sit in two of the five emptied cells; three stay free.
    std::multiset<int32_t> inRow;
    for (int32_t c = 1; c <= 5; ++c) inRow.insert(game().board[c]);
    EXPECT_EQ(inRow.count(kBlue), 1u);
    EXPECT_EQ(inRow.count(kGreen), 1u);
    EXPECT_EQ(inRow.count(kEmpty), 3u);
    EXPECT_EQ(fixture.BallCount(), 78);
    EXPECT_EQ(fixture.host->NowMs() - start, 3 * 90 + 800);  // three growths and one removal
}

TEST_F(Rules, OneOrTwoFreeCellsEndTheGameWithoutPlacingTheRest) {
    fixture.FillBoardExcept({40, 42});
    fixture.SetNextBalls({kRed, kBlue, kGreen});
    EXPECT_FALSE(Spawn());
    EXPECT_EQ(fixture.BallCount(), 81);
    EXPECT_EQ(game().board[40] == kRed || game().board[42] == kRed, true);
    EXPECT_NE(game().board[40], kGreen);
    EXPECT_NE(game().board[42], kGreen);

    fixture.FillBoardExcept({41});
    fixture.SetNextBalls({kYellow, kBlue, kGreen});
    EXPECT_FALSE(Spawn());
    EXPECT_EQ(game().board[41], kYellow);
}

TEST_F(Rules, ThreeFreeCellsAreAllFilled) {
    fixture.FillBoardExcept({1, 41, 81});
    fixture.SetNextBalls({kRed, kBlue, kGreen});
    const int64_t start = fixture.host->NowMs();
    EXPECT_FALSE(Spawn());
    EXPECT_EQ(fixture.host->NowMs() - start, 270);  // 3 balls x 3 frames x 30 ms
    std::multiset<int32_t> placed{game().board[1], game().board[41], game().board[81]};
    EXPECT_EQ(placed, (std::multiset<int32_t>{kRed, kBlue, kGreen}));
}

TEST_F(Rules, NewGamePlacesFiveBallsSilently) {
    for (int round = 0; round < 30; ++round) {
        game().nextBalls.clear();  // as after a finished game
        const size_t clips = fixture.ClipCount();
        const int64_t start = fixture.host->NowMs();
        NewGame(stage(), game());
        EXPECT_EQ(fixture.host->NowMs(), start);  // no growing, no pause
        const auto played = fixture.ClipsSince(clips);
        EXPECT_EQ(game().nextBalls.size(), 3u);
        EXPECT_EQ(game().selectedCell, 0);
        if (game().score == 10) {
            // The five balls happened to form a line: removed and scored at once.
            EXPECT_EQ(fixture.BallCount(), 0);
            EXPECT_EQ(played.size(), 2u);
        } else {
            EXPECT_EQ(game().score, 0);
            EXPECT_EQ(fixture.BallCount(), 5);
            EXPECT_TRUE(played.empty());
        }
        fixture.host->AdvanceMs(37);  // another seed for the next round
    }
}

TEST_F(Rules, FiveBallsInALineAtTheStartAreRemovedAtOnce) {
    // Five red balls for the only five free cells, which lie in a row: the last one completes it.
    fixture.FillBoardExcept({1, 2, 3, 4, 5});
    game().nextBalls = {kRed, kRed, kRed, kRed, kRed};
    const size_t clips = fixture.ClipCount();
    EXPECT_TRUE(Spawn());
    EXPECT_EQ(game().score, 10);
    const auto played = fixture.ClipsSince(clips);
    ASSERT_EQ(played.size(), 2u);  // no spawn sound for five balls
    EXPECT_TRUE(StartsWith(played[0], "burstSound"));
}

TEST_F(Rules, ColoursAreEvenAndMagicBallsRare) {
    std::array<int32_t, 9> counts{};
    game().nextBalls.assign(3, 0);
    for (int i = 0; i < 20000; ++i) {
        PickNextColours(stage(), game(), false);
        for (int32_t colour : game().nextBalls) ++counts[static_cast<size_t>(colour)];
        fixture.host->AdvanceMs(1);
    }
    const double total = 60000.0;
    EXPECT_NEAR(counts[kMagicBall] / total, 1.0 / 80, 0.004);
    for (int32_t colour = kRed; colour <= kLightBlue; ++colour) EXPECT_NEAR(counts[colour] / total, 79.0 / 560, 0.01);
    EXPECT_EQ(counts[kEmpty], 0);
}

}  // namespace
}  // namespace kelvora
