// Pixel rules of the drawing panel: lines, rectangles, gradients, block copies, the off-screen
// picture and the changed region the window presents.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "base/arithmetic.h"
#include "platform/draw_panel.h"

namespace kelvora {
namespace {

constexpr uint32_t kBack = 0x00102030;
constexpr uint32_t kInk = 0x00C0FFEE;

// Every pixel of the panel, row by row, for comparisons of whole panels.
std::vector<uint32_t> Snapshot(const DrawPanel& panel) {
    return std::vector<uint32_t>(panel.Pixels(), panel.Pixels() + static_cast<size_t>(panel.Stride()) * panel.Height());
}

// The pixels of the panel that hold `colour`, as (x, y) pairs.
std::vector<std::pair<int, int>> PixelsOf(const DrawPanel& panel, uint32_t colour) {
    std::vector<std::pair<int, int>> found;
    for (int y = 0; y < panel.Height(); ++y) {
        for (int x = 0; x < panel.Width(); ++x) {
            if (panel.PixelAt(x, y) == colour) found.emplace_back(x, y);
        }
    }
    return found;
}

TEST(DrawPanel, StartsInItsBackgroundAndReportsItsWholeAreaOnce) {
    DrawPanel panel(7, 5, kBack);
    EXPECT_EQ(PixelsOf(panel, kBack).size(), 35u);
    EXPECT_EQ(panel.PixelAt(7, 0), kTransparentColour);
    EXPECT_EQ(panel.PixelAt(-1, 0), kTransparentColour);
    EXPECT_EQ(panel.TakeDirtyRect(), (Rect{0, 0, 7, 5}));
    EXPECT_TRUE(panel.TakeDirtyRect().Empty());

    panel.SetBrushColour(kInk);
    panel.FillRectangle(1, 1, 3, 2);
    panel.FillRectangle(5, 3, 6, 4);
    EXPECT_EQ(panel.TakeDirtyRect(), (Rect{1, 1, 5, 3}));
    EXPECT_TRUE(panel.TakeDirtyRect().Empty());
}

TEST(DrawPanel, LineLeavesOutItsEndPoint) {
    DrawPanel panel(60, 10, kBack);
    panel.SetPenColour(kInk);
    panel.DrawLine(0, 0, 40, 0);
    const auto drawn = PixelsOf(panel, kInk);
    ASSERT_EQ(drawn.size(), 40u);
    EXPECT_EQ(drawn.front(), std::make_pair(0, 0));
    EXPECT_EQ(drawn.back(), std::make_pair(39, 0));

    DrawPanel backwards(60, 10, kBack);
    backwards.SetPenColour(kInk);
    backwards.DrawLine(40, 2, 0, 2);
    const auto back = PixelsOf(backwards, kInk);
    ASSERT_EQ(back.size(), 40u);
    EXPECT_EQ(back.front(), std::make_pair(1, 2));
    EXPECT_EQ(back.back(), std::make_pair(40, 2));

    DrawPanel point(5, 5, kBack);
    point.SetPenColour(kInk);
    point.DrawLine(2, 2, 2, 2);
    EXPECT_TRUE(PixelsOf(point, kInk).empty());
}

TEST(DrawPanel, SlopedLinesStepOnePixelPerMajorStepAndStayNearTheTrueLine) {
    struct Case { int x1, y1, x2, y2; };
    for (const Case c : {Case{0, 0, 10, 5}, Case{10, 5, 0, 0}, Case{3, 20, 7, 1}, Case{0, 19, 19, 0}, Case{19, 0, 0, 19}}) {
        DrawPanel panel(20, 21, kBack);
        panel.SetPenColour(kInk);
        panel.DrawLine(c.x1, c.y1, c.x2, c.y2);
        const int dx = c.x2 - c.x1;
        const int dy = c.y2 - c.y1;
        const int steps = std::max(std::abs(dx), std::abs(dy));
        const auto drawn = PixelsOf(panel, kInk);
        ASSERT_EQ(drawn.size(), static_cast<size_t>(steps)) << c.x1 << "," << c.y1;
        for (const auto& [x, y] : drawn) {
            // Distance along the minor axis from the ideal line is at most half a pixel.
            if (std::abs(dx) >= std::abs(dy)) {
                const double ideal = c.y1 + static_cast<double>(x - c.x1) * dy / dx;
                EXPECT_LE(std::abs(y - ideal), 0.5) << x << "," << y;
            } else {
                const double ideal = c.x1 + static_cast<double>(y - c.y1) * dx / dy;
                EXPECT_LE(std::abs(x - ideal), 0.5) << x << "," << y;
            }
            EXPECT_FALSE(x == c.x2 && y == c.y2);
        }
        EXPECT_EQ(panel.PixelAt(c.x1, c.y1), kInk);
    }
}

TEST(DrawPanel, LinesBetweenFarAwayPointsAreClippedNotWalked) {
    DrawPanel panel(30, 30, kBack);
    panel.SetPenColour(kInk);
    panel.DrawLine(INT_MIN, 7, INT_MAX, 7);
    EXPECT_EQ(PixelsOf(panel, kInk).size(), 30u);
    panel.DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // the diagonal through the whole panel
    for (int i = 0; i < 30; ++i) EXPECT_EQ(panel.PixelAt(i, i), kInk) << i;
    const auto before = Snapshot(panel);
    panel.DrawLine(-100, -5, 100, -1);
    panel.DrawLine(INT_MAX, INT_MAX, INT_MAX - 1, INT_MIN);
    EXPECT_EQ(Snapshot(panel), before);
}

TEST(DrawPanel, WidePenDrawsThickStrokesAndWidthIsClamped) {
    DrawPanel panel(20, 20, kBack);
    panel.SetPenColour(kInk);
    panel.SetPenWidth(3);
    panel.DrawLine(5, 10, 15, 10);
    // Squares of three centred on x = 5..14 reach one pixel past both ends.
    EXPECT_EQ(PixelsOf(panel, kInk).size(), 36u);
    EXPECT_EQ(panel.PixelAt(4, 9), kInk);
    EXPECT_EQ(panel.PixelAt(15, 11), kInk);
    EXPECT_EQ(panel.PixelAt(16, 10), kBack);
    EXPECT_EQ(panel.PixelAt(10, 12), kBack);

    panel.SetPenWidth(-4);
    EXPECT_EQ(panel.PenWidth(), 0);
    panel.SetPenWidth(1 << 20);
    EXPECT_EQ(panel.PenWidth(), 32767);
    panel.DrawLine(0, 0, 1, 0);  // one enormous square, clipped to the panel
    EXPECT_EQ(PixelsOf(panel, kInk).size(), 400u);
}

TEST(DrawPanel, FillCoversCornersToRightAndBottomExclusive) {
    DrawPanel panel(45, 45, kBack);
    panel.SetBrushColour(kInk);
    panel.FillRectangle(0, 0, 39, 39);
    EXPECT_EQ(PixelsOf(panel, kInk).size(), 39u * 39u);
    EXPECT_EQ(panel.PixelAt(38, 38), kInk);
    EXPECT_EQ(panel.PixelAt(39, 38), kBack);

    DrawPanel reversed(45, 45, kBack);
    reversed.SetBrushColour(kInk);
    reversed.FillRectangle(39, 39, 0, 0);
    EXPECT_EQ(Snapshot(reversed), Snapshot(panel));
}

TEST(DrawPanel, ZeroSizedFillIsWidenedToOnePixelAndHollowBrushFillsNothing) {
    DrawPanel panel(10, 10, kBack);
    panel.SetBrushColour(kInk);
    panel.FillRectangle(3, 3, 3, 3);
    EXPECT_EQ(PixelsOf(panel, kInk), (std::vector<std::pair<int, int>>{{3, 3}}));
    panel.FillRectangle(5, 1, 5, 4);
    EXPECT_EQ(PixelsOf(panel, kInk).size(), 4u);

    DrawPanel hollow(10, 10, kBack);
    hollow.SetBrush(kBrushHollow);
    hollow.SetBrushColour(kInk);
    hollow.FillRectangle(0, 0, 10, 10);
    EXPECT_TRUE(PixelsOf(hollow, kInk).empty());
}

TEST(DrawPanel, RectangleHasPenOutlineAndBrushInsideWhicheverCornersComeFirst) {
    constexpr uint32_t kPen = 0x00606060;
    DrawPanel panel(12, 12, kBack);
    panel.SetPenColour(kPen);
    panel.SetBrushColour(kInk);
    panel.DrawRectangle(0, 0, 10, 10);
    EXPECT_EQ(panel.PixelAt(0, 0), kPen);
    EXPECT_EQ(panel.PixelAt(9, 9), kPen);
    EXPECT_EQ(panel.PixelAt(9, 4), kPen);
    EXPECT_EQ(panel.PixelAt(10, 4), kBack);
    EXPECT_EQ(panel.PixelAt(4, 10), kBack);
    EXPECT_EQ(panel.PixelAt(1, 1), kInk);
    EXPECT_EQ(panel.PixelAt(8, 8), kInk);
    EXPECT_EQ(PixelsOf(panel, kPen).size(), 36u);

    DrawPanel reversed(12, 12, kBack);
    reversed.SetPenColour(kPen);
    reversed.SetBrushColour(kInk);
    reversed.DrawRectangle(10, 10, 0, 0);
    EXPECT_EQ(Snapshot(reversed), Snapshot(panel));

    // The way the board paints a cell: pen and brush alike fill exactly 40 x 40.
    DrawPanel cell(50, 50, kBack);
    cell.SetPenColour(Rgb(33, 32, 33));
    cell.SetBrushColour(Rgb(33, 32, 33));
    cell.DrawRectangle(0, 0, 40, 40);
    EXPECT_EQ(PixelsOf(cell, Rgb(33, 32, 33)).size(), 1600u);

    DrawPanel hollow(12, 12, kBack);
    hollow.SetPenColour(kPen);
    hollow.SetBrush(kBrushHollow);
    hollow.DrawRectangle(2, 2, 8, 8);
    EXPECT_EQ(hollow.PixelAt(4, 4), kBack);
    EXPECT_EQ(PixelsOf(hollow, kPen).size(), 20u);
}

TEST(DrawPanel, TwoColourGradientStopsOneStepShortOfItsSecondColour) {
    DrawPanel panel(4, 10, kBack);
    panel.GradientRect(0, 0, 4, 10, kGradientTopDown, Rgb(0, 0, 0), Rgb(255, 100, 10));
    for (int p = 0; p < 10; ++p) {
        // c1 + trunc(p / 10 * (c2 - c1)) per channel
        EXPECT_EQ(panel.PixelAt(2, p), Rgb(255 * p / 10, 100 * p / 10, 10 * p / 10)) << p;
    }
    EXPECT_EQ(panel.PixelAt(0, 9), Rgb(229, 90, 9));

    // Falling channels truncate toward zero, not down: 255 - 25.5 gives 230.
    DrawPanel falling(10, 1, kBack);
    falling.GradientRect(0, 0, 10, 1, kGradientLeftRight, Rgb(255, 0, 0), Rgb(0, 0, 0));
    EXPECT_EQ(falling.PixelAt(1, 0), Rgb(230, 0, 0));
    EXPECT_EQ(falling.PixelAt(9, 0), Rgb(26, 0, 0));
}

TEST(DrawPanel, GradientDirectionsMirrorEachOther) {
    DrawPanel down(3, 15, kBack), up(3, 15, kBack), right(15, 3, kBack), left(15, 3, kBack);
    down.GradientRect(0, 0, 3, 15, kGradientTopDown, 0x000001, 0x00FF00);
    up.GradientRect(0, 0, 3, 15, kGradientBottomUp, 0x000001, 0x00FF00);
    right.GradientRect(0, 0, 15, 3, kGradientLeftRight, 0x000001, 0x00FF00);
    left.GradientRect(0, 0, 15, 3, kGradientRightLeft, 0x000001, 0x00FF00);
    for (int p = 0; p < 15; ++p) {
        EXPECT_EQ(up.PixelAt(1, 14 - p), down.PixelAt(1, p));
        EXPECT_EQ(right.PixelAt(p, 1), down.PixelAt(1, p));
        EXPECT_EQ(left.PixelAt(14 - p, 1), down.PixelAt(1, p));
    }
    EXPECT_EQ(down.PixelAt(0, 0), 0x000001u);
    EXPECT_EQ(up.PixelAt(0, 14), 0x000001u);
}

TEST(DrawPanel, ThreeColourGradientPassesThroughTheMiddleColour) {
    // The best-score label's background: black, grey, black over 19 rows.
    const uint32_t colours[3] = {0, Rgb(82, 77, 82), 0};
    DrawPanel panel(105, 19, kBack);
    panel.GradientRect(0, 0, 105, 19, kGradientTopDown, colours);
    // b = 19 div 2 = 9: rows 0..8 blend c1 to c2, 9..17 c2 to c3, row 18 is c3.
    EXPECT_EQ(panel.PixelAt(50, 0), 0u);
    EXPECT_EQ(panel.PixelAt(50, 4), Rgb(82 * 4 / 9, 77 * 4 / 9, 82 * 4 / 9));
    EXPECT_EQ(panel.PixelAt(50, 9), Rgb(82, 77, 82));
    EXPECT_EQ(panel.PixelAt(50, 13), Rgb(82 - 82 * 4 / 9, 77 - 77 * 4 / 9, 82 - 82 * 4 / 9));
    EXPECT_EQ(panel.PixelAt(50, 18), 0u);
    EXPECT_EQ(panel.PixelAt(104, 13), panel.PixelAt(0, 13));
}

TEST(DrawPanel, GradientWithBadArgumentsOrDiagonalModeDrawsNothing) {
    DrawPanel panel(20, 20, kBack);
    const auto before = Snapshot(panel);
    const uint32_t one[1] = {kInk};
    for (int mode : {0, 3, 4, 7, 8, 9, -1}) panel.GradientRect(0, 0, 10, 10, mode, kInk, 0);
    panel.GradientRect(0, 0, 0, 10, kGradientTopDown, kInk, 0);
    panel.GradientRect(0, 0, 10, -1, kGradientTopDown, kInk, 0);
    panel.GradientRect(0, 0, 10, 10, kGradientTopDown, one);
    EXPECT_EQ(Snapshot(panel), before);
}

TEST(DrawPanel, GradientCutByThePanelKeepsItsPositionsAndTooShortBlendsShowTheFirstColour) {
    DrawPanel panel(10, 10, kBack);
    // A 100-row gradient starting 95 rows above the panel: visible rows are p = 95..99.
    panel.GradientRect(-5, -95, 20, 100, kGradientTopDown, Rgb(0, 0, 0), Rgb(200, 0, 0));
    EXPECT_EQ(panel.PixelAt(0, 0), Rgb(190, 0, 0));
    EXPECT_EQ(panel.PixelAt(9, 4), Rgb(198, 0, 0));
    EXPECT_EQ(panel.PixelAt(0, 5), kBack);
    panel.GradientRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kGradientLeftRight, 0, kInk);
    EXPECT_EQ(panel.PixelAt(9, 9), kBack);  // ends at -2 on both axes

    // Three colours over a single row leave no room for a step: the row takes the first colour.
    const uint32_t colours[3] = {Rgb(1, 2, 3), kInk, 0};
    DrawPanel thin(4, 1, kBack);
    thin.GradientRect(0, 0, 4, 1, kGradientTopDown, colours);
    EXPECT_EQ(thin.PixelAt(2, 0), Rgb(1, 2, 3));
}

TEST(DrawPanel, CopyModesCombineTheColourBits) {
    constexpr uint32_t kSource = 0x00F0CC0F;
    constexpr uint32_t kTarget = 0x00AA55FF;
    struct Case { int32_t mode; uint32_t expected; };
    for (const Case c : {Case{kRasterCopy, kSource}, Case{kRasterNotSource, 0x000F33F0},
                         Case{kRasterXor, 0x005A99F0}, Case{kRasterOr, 0x00FADDFF}, Case{kRasterAnd, 0x00A0440F}}) {
        DrawPanel source(4, 4, kSource);
        DrawPanel target(4, 4, kTarget);
        source.CopyArea(0, 0, 2, 2, &target, 1, 1, c.mode);
        EXPECT_EQ(target.PixelAt(1, 1), c.expected) << c.mode;
        EXPECT_EQ(target.PixelAt(2, 2), c.expected) << c.mode;
        EXPECT_EQ(target.PixelAt(0, 0), kTarget);
        EXPECT_EQ(target.PixelAt(3, 3), kTarget);
    }
    DrawPanel source(4, 4, kSource);
    DrawPanel target(4, 4, kTarget);
    for (int mode : {0, 6, -1, INT_MIN}) source.CopyArea(0, 0, 4, 4, &target, 0, 0, mode);
    EXPECT_EQ(PixelsOf(target, kTarget).size(), 16u);
}

TEST(DrawPanel, CopyOfFortyFromTheThirtyNineBufferKeepsTheTargetsLastRowAndColumn) {
    constexpr uint32_t kGrid = 0x00606060;
    DrawPanel buffer(39, 39, 0);
    buffer.SetAutoRedraw(true);
    buffer.SetPenColour(kInk);
    buffer.SetBrushColour(kInk);
    buffer.DrawRectangle(0, 0, 40, 40);
    DrawPanel board(81, 81, kGrid);
    buffer.CopyArea(0, 0, 40, 40, &board, 41, 41);
    EXPECT_EQ(board.PixelAt(41, 41), kInk);
    EXPECT_EQ(board.PixelAt(79, 79), kInk);
    for (int i = 40; i <= 80; ++i) {
        EXPECT_EQ(board.PixelAt(80, i), kGrid) << i;
        EXPECT_EQ(board.PixelAt(i, 80), kGrid) << i;
        EXPECT_EQ(board.PixelAt(40, i), kGrid) << i;
    }
    EXPECT_EQ(PixelsOf(board, kInk).size(), 39u * 39u);
}

TEST(DrawPanel, CopyDefaultsToTheWholePanelAndToItselfAndClipsAnyCoordinates) {
    DrawPanel source(6, 4, kInk);
    DrawPanel target(10, 10, kBack);
    source.CopyArea(std::nullopt, std::nullopt, std::nullopt, std::nullopt, &target, 2, 3);
    EXPECT_EQ(PixelsOf(target, kInk).size(), 24u);
    EXPECT_EQ(target.PixelAt(2, 3), kInk);
    EXPECT_EQ(target.PixelAt(7, 6), kInk);
    EXPECT_EQ(target.TakeDirtyRect(), (Rect{0, 0, 10, 10}));  // the construction

    const auto before = Snapshot(target);
    source.CopyArea(INT_MIN, INT_MIN, INT_MAX, INT_MAX, &target, INT_MAX, INT_MAX);
    source.CopyArea(0, 0, INT_MAX, INT_MAX, &target, INT_MIN, INT_MIN);
    source.CopyArea(0, 0, -5, 4, &target, 0, 0);
    EXPECT_EQ(Snapshot(target), before);
    EXPECT_TRUE(target.TakeDirtyRect().Empty());

    // A block partly left of the source: only its existing part arrives, at its own place.
    source.CopyArea(-2, 0, 4, 1, &target, 0, 0);
    EXPECT_EQ(target.PixelAt(0, 0), kBack);
    EXPECT_EQ(target.PixelAt(1, 0), kBack);
    EXPECT_EQ(target.PixelAt(2, 0), kInk);
    EXPECT_EQ(target.PixelAt(3, 0), kInk);
    EXPECT_EQ(target.TakeDirtyRect(), (Rect{2, 0, 2, 1}));
}

TEST(DrawPanel, OverlappingCopyWithinOnePanelMovesTheBlockIntact) {
    for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}, std::pair{2, 2}}) {
        DrawPanel panel(8, 8, kBack);
        for (int i = 0; i < 8; ++i) {
            panel.SetBrushColour(static_cast<uint32_t>(i * 8));
            panel.FillRectangle(i, 0, i + 1, 8);
            panel.SetBrushColour(static_cast<uint32_t>(0x100 * i) + static_cast<uint32_t>(i * 8));
            panel.FillRectangle(i, i, i + 1, i + 1);
        }
        const auto before = Snapshot(panel);
        panel.CopyArea(2, 2, 4, 4, nullptr, 2 + dx, 2 + dy);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                EXPECT_EQ(panel.PixelAt(2 + dx + x, 2 + dy + y), before[static_cast<size_t>(2 + y) * 8 + 2 + x]);
            }
        }
    }
}

TEST(DrawPanel, OffScreenPictureFollowsDrawingAndFeedsCopies) {
    DrawPanel panel(5, 5, kBack);
    panel.SetBrushColour(kInk);
    panel.FillRectangle(0, 0, 2, 2);
    EXPECT_EQ(panel.PicturePixelAt(0, 0), kTransparentColour);  // no picture yet
    panel.SetAutoRedraw(true);
    EXPECT_EQ(panel.PicturePixelAt(0, 0), kInk);  // made from what the panel showed
    EXPECT_EQ(panel.PicturePixelAt(4, 4), kBack);

    // Copies land in the target's picture as well as on its screen.
    DrawPanel target(5, 5, 0);
    target.SetAutoRedraw(true);
    panel.CopyArea(0, 0, 5, 5, &target, 0, 0);
    EXPECT_EQ(target.PixelAt(1, 1), kInk);
    EXPECT_EQ(target.PicturePixelAt(1, 1), kInk);

    // Drawing with the picture off reaches only the screen; switching it on again takes the screen.
    panel.SetAutoRedraw(false);
    panel.SetBrushColour(0x0000FF);
    panel.FillRectangle(3, 3, 5, 5);
    panel.SetAutoRedraw(true);
    panel.CopyArea(3, 3, 1, 1, &target, 0, 0);
    EXPECT_EQ(target.PixelAt(0, 0), 0x0000FFu);
}

TEST(DrawPanel, RepaintRestoresFromThePictureOrLosesDrawingWithoutOne) {
    DrawPanel kept(4, 4, kBack);
    kept.SetAutoRedraw(true);
    kept.SetBrushColour(kInk);
    kept.FillRectangle(0, 0, 4, 4);
    kept.TakeDirtyRect();
    kept.Repaint();
    EXPECT_EQ(PixelsOf(kept, kInk).size(), 16u);
    EXPECT_EQ(kept.TakeDirtyRect(), (Rect{0, 0, 4, 4}));

    DrawPanel lost(4, 4, kBack);
    lost.SetBrushColour(kInk);
    lost.FillRectangle(0, 0, 4, 4);
    lost.Repaint();
    EXPECT_EQ(PixelsOf(lost, kBack).size(), 16u);
}

TEST(DrawPanel, ResizeKeepsWhatFitsAndFillsNewAreaWithTheBackground) {
    DrawPanel panel(4, 3, kBack);
    panel.SetAutoRedraw(true);
    panel.SetBrushColour(kInk);
    panel.FillRectangle(0, 0, 4, 3);
    panel.SetSize(6, 2);
    EXPECT_EQ(panel.Width(), 6);
    EXPECT_EQ(panel.Stride(), 6);
    EXPECT_EQ(panel.PixelAt(3, 1), kInk);
    EXPECT_EQ(panel.PixelAt(4, 0), kBack);
    EXPECT_EQ(panel.PicturePixelAt(3, 1), kInk);
    EXPECT_EQ(panel.PicturePixelAt(5, 1), kBack);
    EXPECT_EQ(panel.PixelAt(0, 2), kTransparentColour);
    panel.SetSize(INT_MAX, 1);
    EXPECT_EQ(panel.Width(), kLargestPanelSide);
    panel.SetSize(-3, 5);
    EXPECT_EQ(panel.Width(), 0);
    panel.FillRectangle(0, 0, 10, 10);  // nothing to draw on, nothing breaks
    panel.DrawLine(0, 0, 10, 10);
    EXPECT_TRUE(panel.TakeDirtyRect().Empty() || panel.Width() == 0);
}

}  // namespace
}  // namespace kelvora
