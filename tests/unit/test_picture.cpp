// Bitmap decoding, the picture store and drawing pictures with raster modes, keys and stretching.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>
#include <vector>

#include "base/arithmetic.h"
#include "platform/picture.h"
#include "support/bitmap_bytes.h"

namespace kelvora {
namespace {

using testing::BitmapOptions;
using testing::MakeBitmap;
using testing::PutU32;

constexpr uint32_t kKey = 0x00FF00FF;
constexpr int32_t kKeyMode = -static_cast<int32_t>(kKey);

// A 3 x 2 picture whose pixels all differ; 3 pixels of 24 bits need a padded row.
const std::vector<uint32_t> kSmall = {Rgb(1, 2, 3), Rgb(4, 5, 6), Rgb(7, 8, 9),
                                      Rgb(10, 11, 12), Rgb(13, 14, 15), Rgb(255, 128, 0)};

TEST(DecodeBitmap, ReadsEveryLayoutTheGameMayMeet) {
    for (const BitmapOptions options : {BitmapOptions{24, false, 40}, BitmapOptions{24, true, 40},
                                        BitmapOptions{32, false, 40}, BitmapOptions{32, true, 124},
                                        BitmapOptions{24, false, 108}}) {
        const auto picture = DecodeBitmap(MakeBitmap(3, 2, kSmall, options));
        ASSERT_TRUE(picture.has_value()) << options.bitsPerPixel << " " << options.topDown << " " << options.headerSize;
        EXPECT_EQ(picture->width, 3);
        EXPECT_EQ(picture->height, 2);
        EXPECT_EQ(picture->pixels, kSmall);
    }
}

TEST(DecodeBitmap, AcceptsBitFieldsOnlyWithTheUsualChannelPlaces) {
    auto bytes = MakeBitmap(2, 2, {1, 2, 3, 4}, BitmapOptions{32, false, 40});
    // Insert the three masks after the header and move the pixels behind them.
    bytes.insert(bytes.begin() + 54, 12, 0);
    PutU32(bytes, 10, 66);
    PutU32(bytes, 30, 3);
    PutU32(bytes, 54, 0x00FF0000);
    PutU32(bytes, 58, 0x0000FF00);
    PutU32(bytes, 62, 0x000000FF);
    const auto picture = DecodeBitmap(bytes);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->pixels, (std::vector<uint32_t>{1, 2, 3, 4}));
    PutU32(bytes, 54, 0x000000FF);
    PutU32(bytes, 62, 0x00FF0000);
    EXPECT_FALSE(DecodeBitmap(bytes).has_value());
}

TEST(DecodeBitmap, EveryCutShortFileIsRefused) {
    const auto bytes = MakeBitmap(3, 2, kSmall);
    // The last row may lose its padding (3 bytes here) and still be whole; anything shorter is refused.
    for (size_t size = 0; size + 3 < bytes.size(); ++size) {
        EXPECT_FALSE(DecodeBitmap(std::span(bytes.data(), size)).has_value()) << size;
    }
    EXPECT_TRUE(DecodeBitmap(std::span(bytes.data(), bytes.size() - 3)).has_value());
}

TEST(DecodeBitmap, LyingOrUnsupportedHeadersAreRefused) {
    const auto good = MakeBitmap(3, 2, kSmall);
    auto with = [&](size_t at, uint32_t value, bool sixteen = false) {
        auto bytes = good;
        if (sixteen) {
            testing::PutU16(bytes, at, value);
        } else {
            PutU32(bytes, at, value);
        }
        return DecodeBitmap(bytes).has_value();
    };
    EXPECT_FALSE(with(0, 0x4D42 + 1, true));          // not "BM"
    EXPECT_FALSE(with(10, static_cast<uint32_t>(good.size())));  // pixels said to start at the end
    EXPECT_FALSE(with(10, 20));                       // pixels said to start inside the header
    EXPECT_FALSE(with(10, 0xFFFFFFF0u));
    EXPECT_FALSE(with(14, 12));                       // old core header
    EXPECT_FALSE(with(14, 0x7FFFFFFF));               // header larger than the file
    EXPECT_FALSE(with(18, 0));                        // width 0
    EXPECT_FALSE(with(18, static_cast<uint32_t>(-3)));
    EXPECT_FALSE(with(22, 0));                        // height 0
    EXPECT_FALSE(with(22, 0x80000000u));              // the most negative height
    EXPECT_FALSE(with(18, 100000));                   // far more pixels than bytes
    EXPECT_FALSE(with(22, 100000));
    EXPECT_FALSE(with(26, 2, true));                  // planes
    EXPECT_FALSE(with(28, 8, true));                  // palette pictures are not offered
    EXPECT_FALSE(with(28, 16, true));
    EXPECT_FALSE(with(30, 1));                        // run-length compressed
    EXPECT_TRUE(with(2, 7));                          // the file size field is not trusted anyway

    // Dimensions whose product is huge are refused before anything is allocated.
    auto huge = good;
    PutU32(huge, 18, 0x7FFFFFFF);
    PutU32(huge, 22, 0x7FFFFFFF);
    EXPECT_FALSE(DecodeBitmap(huge).has_value());
    PutU32(huge, 18, 4097);
    PutU32(huge, 22, static_cast<uint32_t>(-4096));
    EXPECT_FALSE(DecodeBitmap(huge).has_value());
}

TEST(PictureStore, NumbersPicturesUntilTheyAreFreed) {
    PictureStore store;
    const auto bytes = MakeBitmap(3, 2, kSmall);
    EXPECT_EQ(store.LoadPicture({}), 0);
    EXPECT_EQ(store.LoadPicture(std::span(bytes.data(), 10)), 0);
    std::set<int32_t> numbers;
    for (int i = 0; i < 5; ++i) {
        const int32_t number = store.LoadPicture(bytes);
        EXPECT_NE(number, 0);
        numbers.insert(number);
    }
    EXPECT_EQ(numbers.size(), 5u);
    EXPECT_EQ(store.LiveCount(), 5u);
    const int32_t first = *numbers.begin();
    ASSERT_NE(store.Find(first), nullptr);
    EXPECT_EQ(store.Find(first)->pixels, kSmall);
    store.FreePicture(first);
    store.FreePicture(first);
    store.FreePicture(0);
    store.FreePicture(-7);
    EXPECT_EQ(store.Find(first), nullptr);
    EXPECT_EQ(store.Find(0), nullptr);
    EXPECT_EQ(store.LiveCount(), 4u);
    // A freed number is not handed out again straight away.
    EXPECT_EQ(numbers.count(store.LoadPicture(bytes)), 0u);
}

TEST(PictureStore, ChangedBytesAtTheSameAddressAreDecodedAfresh) {
    PictureStore store;
    auto bytes = MakeBitmap(3, 2, kSmall);
    const int32_t before = store.LoadPicture(bytes);
    auto changed = kSmall;
    changed[0] = Rgb(99, 98, 97);
    const auto other = MakeBitmap(3, 2, changed);
    std::copy(other.begin(), other.end(), bytes.begin());  // same buffer, new content
    const int32_t after = store.LoadPicture(bytes);
    ASSERT_NE(store.Find(after), nullptr);
    EXPECT_EQ(store.Find(after)->pixels[0], Rgb(99, 98, 97));
    EXPECT_EQ(store.Find(before)->pixels[0], Rgb(1, 2, 3));
    // Cut short at the same address: not a picture any more, whatever was cached.
    EXPECT_EQ(store.LoadPicture(std::span(bytes.data(), 40)), 0);
}

TEST(DrawPicture, OwnSizeCopiesAndModesCombine) {
    PictureStore store;
    const int32_t number = store.LoadPicture(MakeBitmap(3, 2, kSmall));
    DrawPanel panel(6, 6, 0x00808080);
    DrawPicture(panel, store, number, 2, 3, kRasterCopy);
    EXPECT_EQ(panel.PixelAt(2, 3), Rgb(1, 2, 3));
    EXPECT_EQ(panel.PixelAt(4, 4), Rgb(255, 128, 0));
    EXPECT_EQ(panel.PixelAt(1, 3), 0x00808080u);
    EXPECT_EQ(panel.PixelAt(5, 4), 0x00808080u);

    DrawPicture(panel, store, number, 2, 3, kRasterXor);
    EXPECT_EQ(panel.PixelAt(4, 4), 0u);
    DrawPicture(panel, store, number, 2, 3, kRasterNotSource);
    EXPECT_EQ(panel.PixelAt(4, 4), Rgb(0, 127, 255));
    DrawPicture(panel, store, number, 2, 3, kRasterOr);
    EXPECT_EQ(panel.PixelAt(4, 4), Rgb(255, 255, 255));
    DrawPicture(panel, store, number, 2, 3, kRasterAnd);
    EXPECT_EQ(panel.PixelAt(4, 4), Rgb(255, 128, 0));

    // Picture 0, a freed picture and a meaningless mode draw nothing; far-off places are clipped.
    DrawPanel untouched(6, 6, 0x00808080);
    DrawPicture(untouched, store, 0, 0, 0, kRasterCopy);
    DrawPicture(untouched, store, number + 1, 0, 0, kRasterCopy);
    DrawPicture(untouched, store, number, 0, 0, 0);
    DrawPicture(untouched, store, number, 0, 0, 6);
    DrawPicture(untouched, store, number, INT_MAX, INT_MIN, kRasterCopy);
    DrawPicture(untouched, store, number, INT_MIN, 0, INT_MAX, INT_MAX, kRasterCopy);
    DrawPicture(untouched, store, number, 0, 0, 0, 5, kRasterCopy);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) EXPECT_EQ(untouched.PixelAt(x, y), 0x00808080u);
    }
}

TEST(DrawPicture, KeyColourLeavesTheDestinationUntouched) {
    PictureStore store;
    const uint32_t nearKey = 0x00FE00FF;
    const int32_t number = store.LoadPicture(MakeBitmap(2, 2, {kKey, Rgb(9, 9, 9), nearKey, kKey}));
    DrawPanel panel(2, 2, Rgb(33, 32, 33));
    DrawPicture(panel, store, number, 0, 0, kKeyMode);
    EXPECT_EQ(panel.PixelAt(0, 0), Rgb(33, 32, 33));
    EXPECT_EQ(panel.PixelAt(1, 0), Rgb(9, 9, 9));
    EXPECT_EQ(panel.PixelAt(0, 1), nearKey);  // only the exact key is left out
    EXPECT_EQ(panel.PixelAt(1, 1), Rgb(33, 32, 33));

    DrawPanel all(2, 2, 0);
    DrawPicture(all, store, number, 0, 0, INT_MIN);  // a key no picture pixel can have
    EXPECT_EQ(all.PixelAt(0, 0), kKey);
}

TEST(DrawPicture, StretchingSamplesNearestPixelsAndKeepsTheKeyExact) {
    PictureStore store;
    const int32_t number = store.LoadPicture(MakeBitmap(39, 39, testing::DiscOnKey(39, Rgb(200, 0, 0))));
    DrawPanel buffer(39, 39, Rgb(33, 32, 33));
    DrawPicture(buffer, store, number, 0, 0, 40, 40, kKeyMode);
    for (int y = 0; y < 39; ++y) {
        for (int x = 0; x < 39; ++x) {
            const uint32_t pixel = buffer.PixelAt(x, y);
            EXPECT_TRUE(pixel == Rgb(200, 0, 0) || pixel == Rgb(33, 32, 33)) << x << "," << y;
        }
    }
    EXPECT_EQ(buffer.PixelAt(19, 19), Rgb(200, 0, 0));
    EXPECT_EQ(buffer.PixelAt(0, 0), Rgb(33, 32, 33));

    // A 2 x 2 picture doubled: each source pixel becomes a 2 x 2 block.
    const int32_t quad = store.LoadPicture(MakeBitmap(2, 2, {1, 2, 3, 4}));
    DrawPanel big(4, 4, 0);
    DrawPicture(big, store, quad, 0, 0, 4, 4, kRasterCopy);
    const std::vector<uint32_t> expected = {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4};
    EXPECT_EQ(std::vector<uint32_t>(big.Pixels(), big.Pixels() + 16), expected);
    // Shrunk to 1 x 1 it shows one of its own pixels; stretched off the panel it is clipped.
    DrawPanel one(1, 1, 0);
    DrawPicture(one, store, quad, 0, 0, 1, 1, kRasterCopy);
    EXPECT_EQ(one.PixelAt(0, 0), 4u);
    // Half off the panel, only the bottom-right source pixel lands (XOR 1 with 4).
    DrawPicture(big, store, quad, -2, -2, 4, 4, kRasterXor);
    EXPECT_EQ(big.PixelAt(0, 0), 5u);
    EXPECT_EQ(big.PixelAt(1, 1), 5u);
    EXPECT_EQ(big.PixelAt(2, 2), 4u);
}

TEST(DrawPicture, BallComposedOnTheBufferReachesTheBoardInsideItsCell) {
    constexpr uint32_t kGrid = Rgb(96, 96, 96);
    constexpr uint32_t kCell = Rgb(33, 32, 33);
    PictureStore store;
    const auto sprite = MakeBitmap(39, 39, testing::DiscOnKey(39, Rgb(0, 0, 255)));
    DrawPanel board(120, 120, kGrid);
    DrawPanel buffer(39, 39, 0);
    buffer.SetAutoRedraw(true);
    buffer.SetPenColour(kCell);
    buffer.SetBrushColour(kCell);
    buffer.DrawRectangle(0, 0, 40, 40);
    const int32_t number = store.LoadPicture(sprite);
    DrawPicture(buffer, store, number, 0, 0, 40, 40, kKeyMode);
    buffer.CopyArea(0, 0, 40, 40, &board, 41, 41);
    store.FreePicture(number);
    EXPECT_EQ(board.PixelAt(41, 41), kCell);
    EXPECT_EQ(board.PixelAt(60, 60), Rgb(0, 0, 255));
    EXPECT_EQ(board.PixelAt(79, 41), kCell);
    EXPECT_EQ(board.PixelAt(80, 60), kGrid);
    EXPECT_EQ(board.PixelAt(60, 80), kGrid);
    EXPECT_EQ(store.LiveCount(), 0u);
}

}  // namespace
}  // namespace kelvora
