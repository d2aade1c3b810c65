// Cell numbers, columns, rows and pixels.
#include <gtest/gtest.h>

#include "game/rules/cells.h"

namespace kelvora {
namespace {

TEST(Cells, CornersAndRows) {
    EXPECT_EQ(CellToPixel(1), (Point{0, 0}));
    EXPECT_EQ(CellToPixel(9), (Point{320, 0}));
    EXPECT_EQ(CellToPixel(10), (Point{0, 40}));
    EXPECT_EQ(CellToPixel(81), (Point{320, 320}));
    EXPECT_EQ(CellToColumnRow(10), (ColumnRow{1, 2}));
    EXPECT_EQ(CellToColumnRow(81), (ColumnRow{9, 9}));
}

TEST(Cells, ColumnRowOffTheBoard) {
    EXPECT_EQ(ColumnRowToCell(0, 5), -1);
    EXPECT_EQ(ColumnRowToCell(10, 5), -1);
    EXPECT_EQ(ColumnRowToCell(5, 0), -1);
    EXPECT_EQ(ColumnRowToCell(5, 10), -1);
    EXPECT_EQ(ColumnRowToCell(9, 9), 81);
    for (int32_t cell = 1; cell <= kCellCount; ++cell) {
        const ColumnRow at = CellToColumnRow(cell);
        EXPECT_EQ(ColumnRowToCell(at.column, at.row), cell);
        const Point p = CellToPixel(cell);
        EXPECT_EQ(PixelToCell(p.x, p.y), cell);
        EXPECT_EQ(PixelToCell(p.x + 39, p.y + 39), cell);
    }
}

TEST(Cells, PixelsToCells) {
    EXPECT_EQ(PixelToCell(359, 359), 81);
    EXPECT_EQ(PixelToCell(40, 0), 2);
    EXPECT_EQ(PixelToCell(360, 0), 0);
    EXPECT_EQ(PixelToCell(-1, 5), 0);
}

}  // namespace
}  // namespace kelvora
