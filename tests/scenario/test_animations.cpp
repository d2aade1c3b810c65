// The animations and the drawing of cells: the face rule over many ticks, the bob, the pauses,
// and the pixels of a cell with its ball.
#include <gtest/gtest.h>

#include "game/rules/cells.h"
#include "presentation/animations.h"
#include "presentation/board_drawing.h"
#include "support/game_fixture.h"

namespace kelvora {
namespace {

using testing::GameFixture;

TEST(FaceRule, BlinksOpenAheadAndSomeFacesNeverFollowOthers) {
    RandomGenerator random;
    std::array<std::array<int, 7>, 7> seen{};
    for (int i = 0; i < 20000; ++i) {
        const int32_t from = 1 + i % 6;
        const RandomGenerator before = random;
        const int32_t to = NextSelectionStyle(from, random);
        ++seen[static_cast<size_t>(from)][static_cast<size_t>(to)];
        if (from == 1) {
            EXPECT_EQ(to, 2);
            EXPECT_EQ(random.state, before.state);  // no draw after a blink
        }
    }
    EXPECT_EQ(seen[3][4], 0);  // left never turns straight to right
    EXPECT_EQ(seen[4][3], 0);
    EXPECT_EQ(seen[2][6], 0);  // down is only reached from left or right
    EXPECT_EQ(seen[5][6], 0);
    EXPECT_EQ(seen[6][6], 0);
    EXPECT_GT(seen[3][6], 0);
    EXPECT_GT(seen[4][6], 0);
    EXPECT_GT(seen[2][1], 0);  // looking ahead sometimes blinks
    for (int32_t to : {1, 2, 3, 4, 5}) EXPECT_GT(seen[2][static_cast<size_t>(to)], 0);
}

TEST(FaceRule, BobOffsets) {
    EXPECT_EQ(BobOffset(1), -2);
    EXPECT_EQ(BobOffset(2), 0);
    EXPECT_EQ(BobOffset(3), 2);
    EXPECT_EQ(BobOffset(4), 0);
}

class Animations : public ::testing::Test {
protected:
    void SetUp() override {
        fixture.Start();
        fixture.SetBoard(
            "2........"
            "........."
            "........."
            "........."
            "....M...."
            "........."
            "........."
            "........."
            ".........");
    }
    GameFixture fixture;
    Stage& stage() { return fixture.app->stage; }
    GameState& game() { return fixture.app->game; }
};

TEST_F(Animations, TheSelectionTimerBobsAndChangesFacesOnItsRhythm) {
    SelectionAnimation& animation = fixture.app->animation;
    fixture.PressCell(1);
    const int32_t ticksBefore = animation.selectionTicks;
    fixture.RunMs(180 * 20 + 10);
    EXPECT_EQ(animation.selectionTicks - ticksBefore, 20);
    EXPECT_GE(animation.bobPhase, 1);
    EXPECT_LE(animation.bobPhase, 4);
    // Whatever the face, a blink never lasts beyond one tick.
    int blinks = 0;
    for (int i = 0; i < 400; ++i) {
        fixture.RunMs(180);
        if (game().selectionStyle == 1) {
            ++blinks;
            fixture.RunMs(180);
            EXPECT_EQ(game().selectionStyle, 2);
        }
    }
    EXPECT_GT(blinks, 0);
    // A new game keeps the counters running.
    const int32_t ticks = animation.selectionTicks;
    fixture.ClickMainButton("按钮开始游戏");
    EXPECT_EQ(animation.selectionTicks, ticks);
    EXPECT_EQ(fixture.app->runtime.GetProperty(fixture.app->controls.selectionTimer, Property::Interval), 0);
}

TEST_F(Animations, TheBobMovesTheBallTwoPixels) {
    game().selectedCell = 1;
    game().selectionStyle = 2;
    fixture.app->animation = SelectionAnimation{0, 1};  // no face change on this tick
    SelectionTick(stage(), game(), fixture.app->animation);  // phase 1: up 2
    fixture.app->runtime.Present();
    // The ball spans rows 5..33 of the sprite; raised by 2, row 4 of the cell interior is ball.
    const uint32_t raisedTop = fixture.BoardPixel(20, 1 + 4);
    const uint32_t raisedBottom = fixture.BoardPixel(20, 1 + 32);
    SelectionTick(stage(), game(), fixture.app->animation);  // phase 2: level
    fixture.app->runtime.Present();
    EXPECT_NE(raisedTop, 0x212021u);
    EXPECT_EQ(raisedBottom, 0x212021u);
    EXPECT_EQ(fixture.BoardPixel(20, 1 + 4), 0x212021u);
    EXPECT_NE(fixture.BoardPixel(20, 1 + 32), 0x212021u);
}

TEST_F(Animations, AOneStepMoveIsOneEraseOneDrawAndOnePause) {
    game().selectedCell = 1;
    game().selectionStyle = 3;
    const int64_t start = fixture.host->NowMs();
    AnimateMove(stage(), game(), {1, 2});
    EXPECT_EQ(fixture.host->NowMs() - start, 50);
    fixture.app->runtime.Present();
    EXPECT_EQ(fixture.BoardPixel(20, 20), 0x212021u);  // cell 1 shown empty
    EXPECT_NE(fixture.BoardPixel(60, 20), 0u);         // the ball on cell 2
    EXPECT_EQ(game().board[1], kRed);                  // the board itself is not moved
    const int64_t longStart = fixture.host->NowMs();
    AnimateMove(stage(), game(), {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(fixture.host->NowMs() - longStart, 250);
}

TEST_F(Animations, RemovalShowsThePainedFaceAndEndsEmpty) {
    const int64_t start = fixture.host->NowMs();
    AnimateRemoval(stage(), game(), {1, 41});
    EXPECT_EQ(fixture.host->NowMs() - start, 800);
    fixture.app->runtime.Present();
    EXPECT_EQ(fixture.BoardPixel(20, 20), 0x212021u);
    EXPECT_EQ(fixture.BoardPixel(CellToPixel(41).x + 20, CellToPixel(41).y + 20), 0x212021u);
    EXPECT_EQ(game().board[41], kMagicBall);
}

TEST_F(Animations, GrowInTakesNinetyMillisecondsAndStaysCentred) {
    const int64_t start = fixture.host->NowMs();
    GrowIn(stage(), 81, kGreen);
    EXPECT_EQ(fixture.host->NowMs() - start, 90);
    fixture.app->runtime.Present();
    const Point at = CellToPixel(81);
    // The last frame is 24 x 24 at (8, 8) of the buffer: its ball covers the centre, not the edges.
    EXPECT_NE(fixture.BoardPixel(at.x + 21, at.y + 21), 0x212021u);
    EXPECT_EQ(fixture.BoardPixel(at.x + 1 + 6, at.y + 1 + 20), 0x212021u);
}

TEST_F(Animations, ABallIsSurroundedByItsCellsOwnColourAndTheGridStays) {
    for (int32_t cell : {1, 2, 10, 11, 81}) {
        DrawBallAt(stage(), cell, kBlue, 1);
        fixture.app->runtime.Present();
        const Point at = CellToPixel(cell);
        const uint32_t background = CellBackgroundColour(cell);
        EXPECT_EQ(background, (cell == 1 || cell == 11 || cell == 81) ? 0x212021u : 0u);
        for (int32_t i = 1; i <= 39; ++i) {
            // The outer rows and columns of the interior are the margin around the ball.
            EXPECT_EQ(fixture.BoardPixel(at.x + i, at.y + 1), background) << cell;
            EXPECT_EQ(fixture.BoardPixel(at.x + 1, at.y + i), background) << cell;
            EXPECT_EQ(fixture.BoardPixel(at.x + i, at.y), 0x606060u) << cell;  // the grid above
            EXPECT_EQ(fixture.BoardPixel(at.x, at.y + i), 0x606060u) << cell;  // the grid left
            if (at.x + 40 < 360) {
                EXPECT_EQ(fixture.BoardPixel(at.x + 40, at.y + i), 0x606060u) << cell;
            }
            if (at.y + 40 < 360) {
                EXPECT_EQ(fixture.BoardPixel(at.x + i, at.y + 40), 0x606060u) << cell;
            }
        }
        EXPECT_NE(fixture.BoardPixel(at.x + 20, at.y + 20), background);
        DrawBallAt(stage(), cell, kEmpty, 5);
        fixture.app->runtime.Present();
        EXPECT_EQ(fixture.BoardPixel(at.x + 20, at.y + 20), background);
        EXPECT_EQ(fixture.BoardPixel(at.x, at.y + 20), 0x606060u);
    }
    DrawBallAt(stage(), 0, kRed, 1);  // draws nothing, and is no fault
}

TEST_F(Animations, ThePreviewDrawsPlainBallsOnBlack) {
    DrawPreviewSlot(stage(), 2, kYellow);
    fixture.app->runtime.Present();
    EXPECT_EQ(fixture.PreviewPixel(40 + 2, 2), 0u);
    EXPECT_NE(fixture.PreviewPixel(60, 20), 0u);
    EXPECT_EQ(fixture.PreviewPixel(40, 20), 0x606060u);
    EXPECT_EQ(fixture.PreviewPixel(80, 20), 0x606060u);
}

TEST(ScoreCaption, SevenSpacedDigits) {
    EXPECT_EQ(ScoreCaption(0), "0 0 0 0 0 0 0");
    EXPECT_EQ(ScoreCaption(10), "0 0 0 0 0 1 0");
    EXPECT_EQ(ScoreCaption(125), "0 0 0 0 1 2 5");
    EXPECT_EQ(ScoreCaption(9876543), "9 8 7 6 5 4 3");
    EXPECT_EQ(ScoreCaption(123456789), "1 2 3 4 5 6 7");
}

}  // namespace
}  // namespace kelvora
