// The drawing the game repeats most: composing one ball and copying it to the board, and one
// frame of the instructions scroller.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "base/arithmetic.h"
#include "platform/host/font_service.h"
#include "platform/picture.h"
#include "support/bitmap_bytes.h"

namespace kelvora {
namespace {

constexpr int32_t kTransparentMagenta = -0x00FF00FF;

// One DrawBallAt: background square on the 39 x 39 buffer, the sprite loaded, stretched to
// 40 x 40 with magenta left out, freed, and the 40 x 40 block copied onto the 360 x 360 board.
void BM_BallComposedAndCopied(benchmark::State& state) {
    const std::vector<uint8_t> sprite = testing::MakeBitmap(39, 39, testing::DiscOnKey(39, Rgb(0, 0, 255)));
    PictureStore pictures;
    DrawPanel buffer(39, 39, 0);
    buffer.SetAutoRedraw(true);
    DrawPanel board(360, 360, 0);
    board.SetAutoRedraw(true);
    int32_t cell = 0;
    for (auto _ : state) {
        const int32_t x = (cell % 9) * 40;
        const int32_t y = (cell / 9) * 40;
        const uint32_t background = cell % 2 == 0 ? Rgb(33, 32, 33) : 0;
        buffer.SetPenColour(background);
        buffer.SetBrushColour(background);
        buffer.DrawRectangle(0, 0, 40, 40);
        const int32_t number = pictures.LoadPicture(sprite);
        DrawPicture(buffer, pictures, number, 0, 0, 40, 40, kTransparentMagenta);
        pictures.FreePicture(number);
        buffer.CopyArea(0, 0, 40, 40, &board, x + 1, y + 1);
        benchmark::DoNotOptimize(board.Pixels());
        cell = (cell + 1) % 81;
    }
}
BENCHMARK(BM_BallComposedAndCopied);

// Decoding a 39 x 39 sprite without the cache's help, for comparison.
void BM_DecodeSprite(benchmark::State& state) {
    const std::vector<uint8_t> sprite = testing::MakeBitmap(39, 39, testing::DiscOnKey(39, Rgb(0, 0, 255)));
    for (auto _ : state) {
        auto picture = DecodeBitmap(sprite);
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_DecodeSprite);

// Nine lines of Chinese, each starting with two spaces, with an empty line between them.
const char* const kInstructions =
    "  只要将五颗以上同色\r\n\r\n  的球排成一直线就\r\n\r\n  可以消去它们并得\r\n\r\n"
    "  到分数横竖斜都行\r\n\r\n  每走一步会出现三\r\n\r\n  颗新球棋盘满了则\r\n\r\n"
    "  游戏结束白色魔球\r\n\r\n  可以当作任何颜色\r\n\r\n  祝您玩得愉快谢谢";

// One DrawScroller frame on the three 140 x 58 panels with the start-up settings.
void BM_ScrollerFrame(benchmark::State& state) {
    FontService fonts;
    const int32_t w = 140;
    const int32_t h = 58;
    const uint32_t green = 0x00FF00;
    DrawPanel display(w, h, 0, &fonts), mask(w, h, 0, &fonts), paint(w, h, 0, &fonts);
    for (DrawPanel* panel : {&display, &mask, &paint}) panel->SetAutoRedraw(true);
    int32_t scrollY = 30;
    for (auto _ : state) {
        scrollY = (scrollY >= -240 && scrollY <= 50) ? scrollY - 1 : 50;
        mask.SetBrushColour(0);
        mask.FillRectangle(0, 0, w, h);
        mask.SetTextColour(0xFFFFFF);
        mask.WriteTextAt(0, scrollY, kInstructions);
        paint.SetBrushColour(0);
        paint.FillRectangle(0, 0, w, h);
        paint.SetBrushColour(green);
        paint.FillRectangle(0, 0, w, h);
        paint.GradientRect(0, 0, w, 15, kGradientTopDown, 0x000001, green);
        paint.GradientRect(0, h - 15, w, 15, kGradientBottomUp, 0x000001, green);
        mask.CopyArea(0, 0, w, h, &paint, 0, 0, kRasterAnd);
        mask.SetBrushColour(0);
        mask.FillRectangle(0, 0, w, h);
        mask.SetTextColour(0);
        mask.WriteTextAt(0, scrollY, kInstructions);
        mask.FillRectangle(0, 0, w, 0);
        mask.FillRectangle(0, 0, 0, h);
        mask.FillRectangle(w, 0, w, h);
        mask.FillRectangle(0, h, w, h);
        paint.CopyArea(0, 0, w, h, &mask, 0, 0, kRasterOr);
        mask.CopyArea(0, 0, w, h, &display, 0, 0, kRasterCopy);
        benchmark::DoNotOptimize(display.Pixels());
    }
}
BENCHMARK(BM_ScrollerFrame);

}  // namespace
}  // namespace kelvora
