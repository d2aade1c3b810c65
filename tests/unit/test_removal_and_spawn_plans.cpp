// What a removal empties and scores, and where a spawn's balls land, decided without a stage: the
// draws from a seeded generator must give the cells the game has always given for that seed.
#include <gtest/gtest.h>

#include <climits>

#include "game/rules/cells.h"
#include "game/rules/removal_plan.h"
#include "game/rules/spawn_plan.h"

namespace kelvora {
namespace {

using Cells = std::vector<int32_t>;

RandomGenerator SeededAt(uint32_t tickMs) {
    RandomGenerator random;
    SeedRandom(random, tickMs);
    return random;
}

TEST(PlanRemoval, CrossingLinesEmptyTheirCentreOnceAndScoreEveryBall) {
    // A cross of two lines through 41, as FindLines lists it: the centre once per line.
    const Cells lines{39, 40, 41, 42, 43, 23, 32, 41, 50, 59};
    RandomGenerator random = SeededAt(500);
    RandomGenerator same = random;
    const RemovalPlan plan = PlanRemoval(random, lines, 100);
    EXPECT_EQ(plan.cells, (Cells{23, 32, 39, 40, 41, 42, 43, 50, 59}));
    EXPECT_EQ(plan.points, 30);
    EXPECT_EQ(plan.score, 130);
    // The burst sound is the removal's only draw.
    EXPECT_EQ(plan.burstSound, RandomInt(same, 1, kBurstSounds));
    EXPECT_EQ(random.state, same.state);

    EXPECT_EQ(PlanRemoval(random, {1, 2, 3, 4, 5}, 0).points, 10);
    EXPECT_EQ(PlanRemoval(random, {1, 2, 3, 4, 5, 6}, 0).points, 15);
    // The score stops at the largest integer instead of wrapping round.
    EXPECT_EQ(PlanRemoval(random, {1, 2, 3, 4, 5}, INT32_MAX - 3).score, INT32_MAX);
    EXPECT_EQ(PlanRemoval(random, {1, 2, 3, 4, 5}, INT32_MAX).score, INT32_MAX);
}

TEST(PlanSpawn, ASeedGivesTheCellsTheGameGivesIt) {
    // A new game's five balls on an empty board, seeded at tick 0.
    GameState game;
    game.nextBalls = {kRed, kBlue, kYellow, kGreen, kPurple};
    RandomGenerator random = SeededAt(0);
    const SpawnPlan plan = PlanSpawn(random, game);
    ASSERT_EQ(plan.balls.size(), 5u);
    const Cells expected{39, 41, 69, 20, 1};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(plan.balls[i].cell, expected[i]);
        EXPECT_EQ(plan.balls[i].colour, game.nextBalls[i]);
        EXPECT_FALSE(plan.balls[i].removal);
    }
    EXPECT_FALSE(plan.boardFull);
    EXPECT_EQ(game.board, Board{});  // the game itself is left alone
}

// A full board without lines except the free cells 5 and 81; cells 1..4 are red, so a red ball on
// 5 completes the top row.
GameState RowOfFourAndTwoFreeCells() {
    GameState game;
    for (int32_t cell = 1; cell <= kCellCount; ++cell) {
        const ColumnRow at = CellToColumnRow(cell);
        game.board[cell] = kRed + (at.column + 2 * at.row) % 7;  // no two neighbours alike
    }
    for (int32_t cell = 1; cell <= 4; ++cell) game.board[cell] = kRed;
    game.board[5] = kEmpty;
    game.board[81] = kEmpty;
    game.nextBalls = {kRed, kBlue, kGreen};
    game.score = 20;
    return game;
}

TEST(PlanSpawn, CellsALineFreesJoinTheEndOfTheFreeList) {
    // Seeded at 182 the red ball takes 5 and removes 1..5. The free cells are then listed 81, 1,
    // 2, 3, 4, 5 (the chosen 5 goes from the front), so the next draws, 4 and 2, put the blue ball
    // on 3 and the green one on 1.
    RandomGenerator random = SeededAt(182);
    const SpawnPlan plan = PlanSpawn(random, RowOfFourAndTwoFreeCells());
    ASSERT_EQ(plan.balls.size(), 3u);
    EXPECT_EQ(plan.balls[0].cell, 5);
    ASSERT_TRUE(plan.balls[0].removal);
    EXPECT_EQ(plan.balls[0].removal->cells, (Cells{1, 2, 3, 4, 5}));
    EXPECT_EQ(plan.balls[0].removal->score, 30);
    EXPECT_EQ(plan.balls[1].cell, 3);
    EXPECT_EQ(plan.balls[2].cell, 1);
    EXPECT_FALSE(plan.balls[1].removal || plan.balls[2].removal);
    EXPECT_FALSE(plan.boardFull);
    // The game's generator stood here after this spawn: every number was drawn, the burst's too.
    EXPECT_EQ(random.state, 3708303962u);
    EXPECT_EQ(random.seedOffset, 282u);
}

TEST(PlanSpawn, ABallWithNoFreeCellLeftEndsThePlanOnAFullBoard) {
    // Seeded at 1 the red ball takes 81 and the blue one 5; the green one finds no cell.
    RandomGenerator random = SeededAt(1);
    const SpawnPlan plan = PlanSpawn(random, RowOfFourAndTwoFreeCells());
    ASSERT_EQ(plan.balls.size(), 2u);
    EXPECT_EQ(plan.balls[0].cell, 81);
    EXPECT_EQ(plan.balls[1].cell, 5);
    EXPECT_TRUE(plan.boardFull);
    EXPECT_EQ(random.state, 2745024u);

    GameState full = RowOfFourAndTwoFreeCells();
    full.board[5] = kBlue;
    full.board[81] = kBlue;
    const RandomGenerator before = random;
    const SpawnPlan none = PlanSpawn(random, full);
    EXPECT_TRUE(none.balls.empty());
    EXPECT_TRUE(none.boardFull);
    EXPECT_EQ(random.state, before.state);  // nothing drawn
}

}  // namespace
}  // namespace kelvora
