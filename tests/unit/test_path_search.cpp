// The route search: shortest routes, the fixed choice among equal ones, walls and edges.
#include <gtest/gtest.h>

#include "game/rules/path_search.h"

namespace kelvora {
namespace {

using Route = std::vector<int32_t>;

bool Adjacent(int32_t a, int32_t b) {
    const int32_t ca = (a - 1) % 9, ra = (a - 1) / 9, cb = (b - 1) % 9, rb = (b - 1) / 9;
    return std::abs(ca - cb) + std::abs(ra - rb) == 1;
}

TEST(FindPath, NeighbourIsOneStep) {
    Board board{};
    board[1] = kRed;
    Route route{99, 98};
    ASSERT_TRUE(FindPath(board, 1, 2, route));
    EXPECT_EQ(route, (Route{1, 2}));
}

TEST(FindPath, CornerToCornerOnAnEmptyBoard) {
    Board board{};
    board[1] = kRed;
    Route route;
    ASSERT_TRUE(FindPath(board, 1, 81, route));
    EXPECT_EQ(route.size(), 17u);
    for (size_t i = 1; i < route.size(); ++i) EXPECT_TRUE(Adjacent(route[i - 1], route[i]));
}

TEST(FindPath, AmongEqualRoutesTheOrderDecides) {
    Board board{};
    board[41] = kBlue;
    Route route;
    ASSERT_TRUE(FindPath(board, 41, 51, route));
    EXPECT_EQ(route, (Route{41, 42, 51}));
    // Left is tried before right, below before above.
    ASSERT_TRUE(FindPath(board, 41, 49, route));
    EXPECT_EQ(route, (Route{41, 40, 49}));
    ASSERT_TRUE(FindPath(board, 41, 31, route));
    EXPECT_EQ(route, (Route{41, 40, 31}));
    // With the right-hand cell taken the route goes down first.
    board[42] = kRed;
    ASSERT_TRUE(FindPath(board, 41, 51, route));
    EXPECT_EQ(route, (Route{41, 50, 51}));
}

TEST(FindPath, WallsForceADetour) {
    Board board{};
    // A wall down column 5 with one gap at row 9.
    for (int32_t row = 1; row <= 8; ++row) board[(row - 1) * 9 + 5] = kGreen;
    board[1] = kRed;
    Route route;
    ASSERT_TRUE(FindPath(board, 1, 9, route));
    EXPECT_EQ(route.size(), 25u);  // 8 + 8 down and up, 8 across
    EXPECT_NE(std::find(route.begin(), route.end(), 77), route.end());
    for (size_t i = 1; i < route.size(); ++i) {
        EXPECT_TRUE(Adjacent(route[i - 1], route[i]));
        if (i + 1 < route.size()) {
            EXPECT_EQ(board[route[i]], kEmpty);
        }
    }
}

TEST(FindPath, EnclosedBallsAndCellsHaveNoRoute) {
    Board board{};
    // The ball in the corner is boxed in by two balls.
    board[1] = kRed;
    board[2] = kBlue;
    board[10] = kBlue;
    Route route{5};
    EXPECT_FALSE(FindPath(board, 1, 81, route));
    EXPECT_TRUE(route.empty());
    // An empty cell in the middle surrounded on four sides cannot be reached.
    board[32] = board[40] = board[42] = board[50] = kYellow;
    board[60] = kPurple;
    EXPECT_FALSE(FindPath(board, 60, 41, route));
    EXPECT_TRUE(route.empty());
}

TEST(FindPath, NeverWrapsFromOneRowToTheNext) {
    Board board{};
    board[9] = kRed;
    Route route;
    ASSERT_TRUE(FindPath(board, 9, 10, route));
    EXPECT_EQ(route.size(), 10u);  // along row 1, then down; never 9 -> 10 directly
    for (size_t i = 1; i < route.size(); ++i) EXPECT_TRUE(Adjacent(route[i - 1], route[i]));
}

TEST(FindPath, CellNumbersOutsideTheBoardFindNothing) {
    Board board{};
    Route route;
    EXPECT_FALSE(FindPath(board, 0, 5, route));
    EXPECT_FALSE(FindPath(board, 5, 82, route));
    EXPECT_FALSE(FindPath(board, 5, 5, route));
}

}  // namespace
}  // namespace kelvora
