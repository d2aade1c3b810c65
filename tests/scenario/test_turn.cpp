// Whole turns on the headless host: every state of the press handler, refused and completed moves,
// removals, spawns, and the sounds in their order.
#include <gtest/gtest.h>

#include "game/rules/cells.h"
#include "support/game_fixture.h"

namespace kelvora {
namespace {

using testing::GameFixture;
using testing::StartsWith;

class Turn : public ::testing::Test {
protected:
    void SetUp() override { fixture.Start(); }
    GameFixture fixture;
    GameState& game() { return fixture.app->game; }
    int32_t SelectionInterval() {
        return fixture.app->runtime.GetProperty(fixture.app->controls.selectionTimer, Property::Interval);
    }
};

TEST_F(Turn, SelectingReselectingAndIgnoredPresses) {
    fixture.SetBoard(
        "2........"
        "........."
        "........."
        "........."
        "....3...."
        "........."
        "........."
        "........."
        ".........");
    size_t clips = fixture.ClipCount();
    fixture.PressCell(5);  // empty, nothing selected
    EXPECT_EQ(game().selectedCell, 0);
    EXPECT_TRUE(fixture.ClipsSince(clips).empty());

    fixture.PressCell(1);
    EXPECT_EQ(game().selectedCell, 1);
    EXPECT_GE(game().selectionStyle, 2);
    EXPECT_LE(game().selectionStyle, 6);
    EXPECT_EQ(SelectionInterval(), 180);
    auto played = fixture.ClipsSince(clips);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_TRUE(StartsWith(played[0], "selectSound"));

    clips = fixture.ClipCount();
    fixture.PressCell(1);  // the selected ball again
    EXPECT_EQ(game().selectedCell, 1);
    EXPECT_TRUE(fixture.ClipsSince(clips).empty());
    EXPECT_EQ(SelectionInterval(), 180);

    fixture.PressCell(41);  // another ball: the first one rests again
    EXPECT_EQ(game().selectedCell, 41);
    played = fixture.ClipsSince(clips);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_TRUE(StartsWith(played[0], "selectSound"));
    // The first ball is drawn at rest (eyes closed), so its picture no longer changes with the ticks.
    const uint32_t restPixel = fixture.BoardPixel(20, 14);
    fixture.RunMs(2000);
    EXPECT_EQ(fixture.BoardPixel(20, 14), restPixel);

    fixture.PressAt(400, 10);  // outside the board's pixels: the game area is 360 wide
    EXPECT_EQ(game().selectedCell, 41);
}

TEST_F(Turn, ARefusedMoveKeepsTheSelectionBobbing) {
    fixture.SetBoard(
        "23......."
        "3........"
        "........."
        "........."
        "........."
        "........."
        "........."
        "........."
        ".........");
    fixture.PressCell(1);
    const size_t clips = fixture.ClipCount();
    const Board before = game().board;
    fixture.PressCell(81);
    EXPECT_EQ(fixture.ClipsSince(clips), std::vector<std::string>{"blockedSound"});
    EXPECT_EQ(game().board, before);
    EXPECT_EQ(game().selectedCell, 1);
    EXPECT_EQ(SelectionInterval(), 180);
    // A following press on a reachable cell still moves the same ball... after freeing it.
    fixture.PressCell(2);  // select the blue ball instead, which can go down the right side
    fixture.PressCell(3);
    EXPECT_EQ(game().board[3], kBlue);
    EXPECT_EQ(game().board[2], kEmpty);
}

TEST_F(Turn, ShortMovesAreSilentAndLongOnesWhoosh) {
    fixture.SetBoard(
        "2........"
        "........."
        "........."
        "........."
        "........."
        "........."
        "........."
        "........."
        ".........");
    fixture.SetNextBalls({kGreen, kGreen, kGreen});
    fixture.PressCell(1);
    size_t clips = fixture.ClipCount();
    fixture.PressCell(4);  // three steps: a route of four cells
    auto played = fixture.ClipsSince(clips);
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played[0], "spawnSound");
    EXPECT_EQ(game().board[4], kRed);
    EXPECT_EQ(game().selectedCell, 0);
    EXPECT_EQ(SelectionInterval(), 0);
    EXPECT_EQ(fixture.BallCount(), 4);  // the moved ball and three new ones
    EXPECT_EQ(game().nextBalls.size(), 3u);

    // Find a free cell four steps away along the top row and move there.
    int32_t target = 0;
    for (int32_t c : {8, 9, 18, 27}) {
        std::vector<int32_t> unused;
        if (game().board[c] == kEmpty) {
            target = c;
            break;
        }
    }
    ASSERT_NE(target, 0);
    fixture.PressCell(4);
    clips = fixture.ClipCount();
    fixture.PressCell(target);
    played = fixture.ClipsSince(clips);
    ASSERT_GE(played.size(), 2u);
    EXPECT_TRUE(StartsWith(played[0], "longMoveSound"));
    EXPECT_EQ(played[1], "spawnSound");
}

TEST_F(Turn, AMoveThatCompletesALineScoresAndSpawnsNothing) {
    fixture.SetBoard(
        "2222....."
        "........."
        "........."
        "........."
        "........2"
        "........."
        "........."
        "........."
        ".........");
    const std::vector<int32_t> preview = game().nextBalls;
    const uint32_t slotPixel = fixture.PreviewPixel(20, 20);
    fixture.PressCell(45);
    const size_t clips = fixture.ClipCount();
    fixture.PressCell(5);
    const auto played = fixture.ClipsSince(clips);
    ASSERT_EQ(played.size(), 3u);
    EXPECT_TRUE(StartsWith(played[0], "longMoveSound"));
    EXPECT_TRUE(StartsWith(played[1], "burstSound"));
    EXPECT_EQ(played[2], "scoreSound");
    EXPECT_EQ(game().score, 10);
    EXPECT_EQ(fixture.Caption("标签分数"), "0 0 0 0 0 1 0");
    EXPECT_EQ(fixture.BallCount(), 0);
    EXPECT_EQ(game().nextBalls, preview);
    EXPECT_EQ(fixture.PreviewPixel(20, 20), slotPixel);
    for (int32_t cell = 1; cell <= 5; ++cell) {
        const Point at = CellToPixel(cell);
        EXPECT_EQ(fixture.BoardPixel(at.x + 20, at.y + 20), cell % 2 ? 0x212021u : 0u);
    }
}

TEST_F(Turn, ThreeFreeCellsFilledEndTheGame) {
    // Three free cells and a move that completes nothing: the spawn fills the board.
    fixture.FillBoardExcept({1, 80, 81});
    fixture.SetNextBalls({kRed, kBlue, kYellow});
    fixture.app->game.score = 5;  // below every place of the roll
    const std::string fileBefore = fixture.HonourFile();
    // Move the ball of cell 2 into cell 1: the cells 2, 80, 81 are then free.
    fixture.PressCell(2);
    fixture.ThenPressEsc();  // the game-over window
    const size_t clips = fixture.ClipCount();
    fixture.PressCell(1);
    // A one-step move is silent; the full board ends the game with no place on the roll, and the
    // new game that follows starts without a click.
    EXPECT_EQ(fixture.ClipsSince(clips), (std::vector<std::string>{"spawnSound", "blockedSound"}));
    // A fresh game followed.
    EXPECT_EQ(game().score, 0);
    EXPECT_EQ(fixture.BallCount(), 5);
    EXPECT_EQ(game().nextBalls.size(), 3u);
    EXPECT_EQ(fixture.HonourFile(), fileBefore);
}

// The keyboard's cursor: the first arrow shows it (on the selected ball, else in the middle), the
// next ones move it up to the edges, Enter presses under it, a key pressed during a turn waits for
// the turn's end, and the mouse hides it. It is drawn over the board as shown, never into the
// board's own picture, and shows over both cell colours and every ball.
TEST_F(Turn, TheKeyboardCursor) {
    fixture.SetBoard(
        "........."
        "........."
        "........."
        "........."
        "....3...."
        "........."
        "........."
        "........."
        "M2345678.");
    fixture.SetNextBalls({kGreen, kGreen, kGreen});
    const Control& area = *fixture.app->runtime.ControlState(fixture.app->controls.gameArea);
    const DrawPanel& picture = *fixture.app->stage.gameArea;
    auto cursorCell = [&] { return area.cursorShown ? area.cursor.y * 9 + area.cursor.x + 1 : 0; };
    // The board's pixels on the screen that are not its picture's: on the outer edge of the
    // cursor's cell, and outside that cell.
    auto differing = [&] {
        std::pair<int32_t, int32_t> found{0, 0};
        const Point corner = CellToPixel(std::max(cursorCell(), 1));
        for (int32_t y = 0; y < 360; ++y) {
            for (int32_t x = 0; x < 360; ++x) {
                if (fixture.BoardPixel(x, y) == (picture.Pixels()[y * picture.Stride() + x] & 0xFFFFFFu)) continue;
                const int32_t dx = x - corner.x;
                const int32_t dy = y - corner.y;
                if (cursorCell() == 0 || dx < 0 || dy < 0 || dx >= 40 || dy >= 40) {
                    ++found.second;
                } else if (dx == 0 || dy == 0 || dx == 39 || dy == 39) {
                    ++found.first;
                }
            }
        }
        return found;
    };

    size_t clips = fixture.ClipCount();
    fixture.PressKeys({Key::Right});
    EXPECT_EQ(cursorCell(), 41);
    EXPECT_TRUE(fixture.ClipsSince(clips).empty());
    fixture.PressKeys({Key::Enter});
    EXPECT_EQ(game().selectedCell, 41);
    EXPECT_EQ(fixture.ClipsSince(clips).size(), 1u);

    // Up into the top edge; Enter there moves the ball a long way, and the Enter pressed while it
    // travels waits for the whole turn, then selects the ball where it arrived, once.
    fixture.PressKeys({Key::Up, Key::Up, Key::Up, Key::Up, Key::Up, Key::Up});
    EXPECT_EQ(cursorCell(), 5);
    clips = fixture.ClipCount();
    fixture.PressKeys({Key::Enter, Key::Enter});
    const auto played = fixture.ClipsSince(clips);
    ASSERT_EQ(played.size(), 3u);
    EXPECT_TRUE(StartsWith(played[0], "longMoveSound"));
    EXPECT_EQ(played[1], "spawnSound");
    EXPECT_TRUE(StartsWith(played[2], "selectSound"));
    EXPECT_EQ(game().board[5], 3);
    EXPECT_EQ(game().selectedCell, 5);
    fixture.PressKeys({Key::Left, Key::Left, Key::Left, Key::Left, Key::Left, Key::Left});
    EXPECT_EQ(cursorCell(), 1);

    // A press of the mouse on the board hides it; it comes back on the selected ball.
    fixture.PressCell(5);
    EXPECT_EQ(cursorCell(), 0);
    EXPECT_EQ(differing(), (std::pair<int32_t, int32_t>{0, 0}));
    fixture.PressKeys({Key::Down});
    EXPECT_EQ(cursorCell(), 5);

    // Over the magic ball, each colour, and the empty cells of both colours.
    fixture.PressKeys({Key::Down, Key::Down, Key::Down, Key::Down, Key::Down, Key::Down, Key::Down, Key::Down,
                       Key::Left, Key::Left, Key::Left, Key::Left});
    for (int32_t cell = 73; cell <= 82; ++cell) {
        if (cell == 82) fixture.PressKeys({Key::Up});
        ASSERT_EQ(cursorCell(), cell == 82 ? 72 : cell);
        const auto [edge, outside] = differing();
        EXPECT_GE(edge, 150) << "cell " << cursorCell();
        EXPECT_EQ(outside, 0) << "cell " << cursorCell();
        if (cell < 81) fixture.PressKeys({Key::Right});
    }
}

TEST_F(Turn, TheHonourButtonKeepsTheGameAsItWas) {
    fixture.SetBoard(
        "2........"
        "........."
        "........."
        "........."
        "........."
        "........."
        "........."
        "........."
        ".........");
    fixture.PressCell(1);
    const size_t clips = fixture.ClipCount();
    fixture.ThenPressEsc();
    fixture.ClickMainButton("按钮荣誉榜");
    EXPECT_EQ(fixture.ClipsSince(clips), std::vector<std::string>{"clickSound"});
    EXPECT_EQ(game().selectedCell, 1);
    EXPECT_EQ(SelectionInterval(), 180);
    EXPECT_EQ(fixture.app->runtime.TopWindow(), fixture.app->mainWindow);
}

TEST_F(Turn, TheStartButtonAbandonsTheGameWithAClick) {
    fixture.app->game.score = 900;
    const std::string fileBefore = fixture.HonourFile();
    const size_t clips = fixture.ClipCount();
    fixture.ClickMainButton("按钮开始游戏");
    const auto played = fixture.ClipsSince(clips);
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played[0], "clickSound");
    EXPECT_EQ(game().score, 0);
    EXPECT_EQ(fixture.HonourFile(), fileBefore);
}

}  // namespace
}  // namespace kelvora
