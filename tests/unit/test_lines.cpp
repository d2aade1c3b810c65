// Line finding: runs of five through the centre cell, and every way the magic ball counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "game/rules/cells.h"
#include "game/rules/lines.h"

namespace kelvora {
namespace {

using Cells = std::vector<int32_t>;

// Places colours along row r starting at column c ('.' empty, 'M' magic, digits colour codes).
void PlaceRow(Board& board, int32_t row, int32_t column, std::string_view pattern) {
    for (char ch : pattern) {
        board[ColumnRowToCell(column, row)] = ch == '.' ? kEmpty : ch == 'M' ? kMagicBall : ch - '0';
        ++column;
    }
}

std::set<int32_t> Distinct(const Cells& cells) { return std::set<int32_t>(cells.begin(), cells.end()); }

TEST(FindLines, FiveInARowThroughTheCentreInEveryPosition) {
    for (int32_t centreColumn = 3; centreColumn <= 7; ++centreColumn) {
        Board board{};
        PlaceRow(board, 4, 3, "22222");
        Cells lines;
        ASSERT_TRUE(FindLines(board, ColumnRowToCell(centreColumn, 4), lines));
        EXPECT_EQ(lines, (Cells{30, 31, 32, 33, 34}));  // side 1 first, in board order
    }
}

TEST(FindLines, FourDoNothingAndTheListIsOnlyAppendedTo) {
    Board board{};
    PlaceRow(board, 1, 1, "2222.2");
    Cells lines;
    EXPECT_FALSE(FindLines(board, 1, lines));
    EXPECT_TRUE(lines.empty());
    board[5] = kRed;  // the gap closed: six in a row
    Cells more{77};
    EXPECT_TRUE(FindLines(board, 5, more));
    EXPECT_EQ(more, (Cells{77, 1, 2, 3, 4, 5, 6}));
}

TEST(FindLines, VerticalAndBothDiagonals) {
    Board board{};
    for (int32_t r = 1; r <= 5; ++r) board[ColumnRowToCell(2, r)] = kBlue;
    Cells lines;
    ASSERT_TRUE(FindLines(board, ColumnRowToCell(2, 3), lines));
    EXPECT_EQ(lines, (Cells{2, 11, 20, 29, 38}));

    Board diagonal{};
    for (int32_t i = 0; i < 5; ++i) diagonal[ColumnRowToCell(3 + i, 2 + i)] = kGreen;
    lines.clear();
    ASSERT_TRUE(FindLines(diagonal, ColumnRowToCell(5, 4), lines));
    EXPECT_EQ(lines, (Cells{12, 22, 32, 42, 52}));

    Board rising{};
    for (int32_t i = 0; i < 5; ++i) rising[ColumnRowToCell(1 + i, 9 - i)] = kPurple;
    lines.clear();
    ASSERT_TRUE(FindLines(rising, ColumnRowToCell(3, 7), lines));
    // Side 1 is down-left, so the run starts at the bottom-left end.
    EXPECT_EQ(lines, (Cells{73, 65, 57, 49, 41}));
}

TEST(FindLines, CrossingLinesListTheCentreTwice) {
    Board board{};
    PlaceRow(board, 5, 3, "44444");
    for (int32_t r = 3; r <= 7; ++r) board[ColumnRowToCell(5, r)] = kYellow;
    Cells lines;
    ASSERT_TRUE(FindLines(board, ColumnRowToCell(5, 5), lines));
    EXPECT_EQ(lines.size(), 10u);
    EXPECT_EQ(Distinct(lines).size(), 9u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), 41), 2);
}

TEST(FindLines, LinesNotThroughTheCentreAreNeverFound) {
    Board board{};
    PlaceRow(board, 1, 1, "22222");
    board[ColumnRowToCell(1, 2)] = kRed;
    Cells lines;
    EXPECT_FALSE(FindLines(board, ColumnRowToCell(1, 2), lines));
}

TEST(FindLines, MagicBallInsideAnOrdinaryRun) {
    for (int32_t moved : {1, 2, 4, 5}) {
        Board board{};
        PlaceRow(board, 1, 1, "22M22");
        Cells lines;
        ASSERT_TRUE(FindLines(board, moved, lines)) << "moved " << moved;
        EXPECT_EQ(lines, (Cells{1, 2, 3, 4, 5}));
    }
}

TEST(FindLines, FiveMagicBallsCompletedByAMagicBall) {
    Board board{};
    PlaceRow(board, 9, 1, "MMMMM");
    Cells lines;
    ASSERT_TRUE(FindLines(board, ColumnRowToCell(3, 9), lines));
    EXPECT_EQ(Distinct(lines), (std::set<int32_t>{73, 74, 75, 76, 77}));
    EXPECT_EQ(board[ColumnRowToCell(3, 9)], kMagicBall);
}

TEST(FindLines, MagicBallBetweenTwoColoursTakesBoth) {
    Board board{};
    PlaceRow(board, 5, 1, "2222M3333");
    Cells lines;
    ASSERT_TRUE(FindLines(board, ColumnRowToCell(5, 5), lines));
    EXPECT_EQ(Distinct(lines).size(), 9u);
    EXPECT_EQ(board[ColumnRowToCell(5, 5)], kMagicBall);
}

TEST(FindLines, ARunOfAnotherColourBehindTheMagicBallStays) {
    Board board{};
    PlaceRow(board, 5, 1, "2222M333");
    Cells lines;
    ASSERT_TRUE(FindLines(board, ColumnRowToCell(1, 5), lines));
    EXPECT_EQ(lines, (Cells{37, 38, 39, 40, 41}));
}

TEST(FindLines, MagicCentreIsRestoredWhenNothingIsFound) {
    Board board{};
    PlaceRow(board, 5, 1, "22M33");
    Cells lines;
    EXPECT_FALSE(FindLines(board, ColumnRowToCell(3, 5), lines));
    EXPECT_EQ(board[ColumnRowToCell(3, 5)], kMagicBall);
}

TEST(FindLines, EmptyOrInvalidCentresFindNothing) {
    Board board{};
    Cells lines;
    EXPECT_FALSE(FindLines(board, 41, lines));
    EXPECT_FALSE(FindLines(board, 0, lines));
    EXPECT_FALSE(FindLines(board, 82, lines));
}

}  // namespace
}  // namespace kelvora
