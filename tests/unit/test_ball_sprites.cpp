// The built-in ball sprites: their bitmap layout, the key colour around the balls, the faces,
// and SpriteFor's choice of sprite.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

#include "assets/ball_sprites.h"
#include "base/arithmetic.h"
#include "platform/picture.h"
#include "presentation/sprites.h"

namespace kelvora {
namespace {

constexpr int32_t kSide = 39;
constexpr int32_t kStride = 120;
constexpr double kMiddle = 19.5;  // centre of the 39 x 39 square, in pixel-edge coordinates

struct Pixel {
    uint8_t r, g, b;
    bool IsKey() const { return r == 255 && g == 0 && b == 255; }
    bool operator==(const Pixel&) const = default;
};

uint32_t U32(std::span<const uint8_t> bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}
uint32_t U16(std::span<const uint8_t> bytes, size_t at) { return bytes[at] | (bytes[at + 1] << 8); }

// (x, y) counted from the top-left corner; the rows are stored bottom-up.
Pixel PixelAt(std::span<const uint8_t> sprite, int32_t x, int32_t y) {
    const size_t at = 54 + static_cast<size_t>(kSide - 1 - y) * kStride + static_cast<size_t>(x) * 3;
    return {sprite[at + 2], sprite[at + 1], sprite[at]};
}

double CentreDistance(int32_t x, int32_t y) { return std::hypot(x + 0.5 - kMiddle, y + 0.5 - kMiddle); }

std::span<const uint8_t> Sprite(int32_t code, int32_t group) { return kBallSprites[static_cast<size_t>(8 * group + code - 1)]; }

TEST(BallSprites, AreComplete39By39TwentyFourBitBitmaps) {
    for (size_t i = 0; i < kBallSprites.size(); ++i) {
        const std::span<const uint8_t> s = kBallSprites[i];
        SCOPED_TRACE(i);
        ASSERT_TRUE(s.size() == 4734 || s.size() == 4736) << s.size();
        EXPECT_EQ(s[0], 'B');
        EXPECT_EQ(s[1], 'M');
        EXPECT_EQ(U32(s, 2), s.size());  // the file-size field
        EXPECT_EQ(U32(s, 6), 0u);
        EXPECT_EQ(U32(s, 10), 54u);  // pixels right after the two headers
        EXPECT_EQ(U32(s, 14), 40u);  // BITMAPINFOHEADER
        EXPECT_EQ(U32(s, 18), 39u);
        EXPECT_EQ(U32(s, 22), 39u);  // positive height: bottom-up rows
        EXPECT_EQ(U16(s, 26), 1u);
        EXPECT_EQ(U16(s, 28), 24u);
        EXPECT_EQ(U32(s, 30), 0u);  // uncompressed
        const uint32_t imageSize = U32(s, 34);
        EXPECT_TRUE(imageSize == 0 || imageSize == 39u * kStride) << imageSize;
        EXPECT_EQ(U32(s, 46), 0u);  // no palette
    }
}

TEST(BallSprites, DecodeWithTheGamesOwnBitmapDecoder) {
    PictureStore store;
    for (size_t i = 0; i < kBallSprites.size(); ++i) {
        const int32_t number = store.LoadPicture(kBallSprites[i]);
        ASSERT_NE(number, 0) << i;
        ASSERT_NE(store.Find(number), nullptr);
        EXPECT_EQ(store.Find(number)->width, kSide);
        store.FreePicture(number);
        const std::optional<Picture> picture = DecodeBitmap(kBallSprites[i]);
        ASSERT_TRUE(picture.has_value()) << i;
        ASSERT_EQ(picture->width, kSide);
        ASSERT_EQ(picture->height, kSide);
        for (int32_t y = 0; y < kSide; ++y) {
            for (int32_t x = 0; x < kSide; ++x) {
                const Pixel p = PixelAt(kBallSprites[i], x, y);
                ASSERT_EQ(picture->pixels[static_cast<size_t>(y * kSide + x)], Rgb(p.r, p.g, p.b)) << i << " " << x << "," << y;
            }
        }
    }
}

// Colour codes 2..8: a 29-pixel ball on pixels 5..33, the key colour all round and nowhere else.
TEST(BallSprites, OrdinaryBallsSitInAFivePixelKeyMargin) {
    for (int32_t group = 0; group < 8; ++group) {
        for (int32_t code = 2; code <= 8; ++code) {
            SCOPED_TRACE(testing::Message() << "code " << code << " group " << group);
            const std::span<const uint8_t> s = Sprite(code, group);
            bool touches[4] = {};  // left, right, top, bottom
            for (int32_t y = 0; y < kSide; ++y) {
                for (int32_t x = 0; x < kSide; ++x) {
                    const Pixel p = PixelAt(s, x, y);
                    const bool margin = x < 5 || x > 33 || y < 5 || y > 33;
                    if (margin) {
                        ASSERT_TRUE(p.IsKey()) << x << "," << y;
                        continue;
                    }
                    // Pixels well inside the 14.5-pixel radius are ball; pixels wholly outside it are key.
                    if (CentreDistance(x, y) < 14.0) {
                        ASSERT_FALSE(p.IsKey()) << x << "," << y;
                    }
                    if (CentreDistance(x, y) > 15.25) {
                        ASSERT_TRUE(p.IsKey()) << x << "," << y;
                    }
                    if (!p.IsKey()) {
                        touches[0] |= x == 5;
                        touches[1] |= x == 33;
                        touches[2] |= y == 5;
                        touches[3] |= y == 33;
                    }
                }
            }
            EXPECT_TRUE(touches[0] && touches[1] && touches[2] && touches[3]) << "the ball spans pixels 5 to 33";
        }
    }
}

// The magic ball's glow fills the square: it reaches all four edges, and no key colour shows
// inside the circle the square encloses.
TEST(BallSprites, MagicBallFillsTheSquare) {
    for (int32_t group = 0; group < 8; ++group) {
        SCOPED_TRACE(group);
        const std::span<const uint8_t> s = Sprite(1, group);
        for (int32_t i = 0; i < kSide; ++i) {
            for (int32_t j = 0; j < kSide; ++j) {
                if (CentreDistance(i, j) < 19.0) {
                    ASSERT_FALSE(PixelAt(s, i, j).IsKey()) << i << "," << j;
                }
            }
        }
        for (const auto& [x, y] : {std::pair{0, 19}, {38, 19}, {19, 0}, {19, 38}}) EXPECT_FALSE(PixelAt(s, x, y).IsKey());
    }
}

// The key colour shows only outside the ball: along every row and every column the ball's
// pixels form one unbroken run, so no key pixel sits inside it (it would show the cell through).
TEST(BallSprites, HaveNoKeyColourInsideTheBall) {
    for (size_t i = 0; i < kBallSprites.size(); ++i) {
        for (int32_t line = 0; line < kSide; ++line) {
            for (const bool alongRow : {true, false}) {
                int32_t runs = 0;
                bool inBall = false;
                for (int32_t k = 0; k < kSide; ++k) {
                    const bool ball = !(alongRow ? PixelAt(kBallSprites[i], k, line) : PixelAt(kBallSprites[i], line, k)).IsKey();
                    runs += ball && !inBall;
                    inBall = ball;
                }
                EXPECT_LE(runs, 1) << "sprite " << i << (alongRow ? " row " : " column ") << line;
            }
        }
    }
}

TEST(BallSprites, AllSixtyFourDiffer) {
    std::set<std::vector<uint8_t>> distinct;
    for (const std::span<const uint8_t> s : kBallSprites) distinct.emplace(s.begin(), s.end());
    EXPECT_EQ(distinct.size(), kBallSprites.size());
}

// Where the dark pupil pixels go when the eyes turn: the centroid of the pixels that got darker
// than in the face looking ahead, minus that of the pixels that got lighter.
std::pair<double, double> GazeShift(int32_t code, int32_t group) {
    double darkerX = 0, darkerY = 0, lighterX = 0, lighterY = 0;
    int32_t darker = 0, lighter = 0;
    for (int32_t y = 0; y < kSide; ++y) {
        for (int32_t x = 0; x < kSide; ++x) {
            const Pixel ahead = PixelAt(Sprite(code, 2), x, y);
            const Pixel turned = PixelAt(Sprite(code, group), x, y);
            const int32_t change = (turned.r + turned.g + turned.b) - (ahead.r + ahead.g + ahead.b);
            if (change < -150) {
                darkerX += x, darkerY += y, ++darker;
            } else if (change > 150) {
                lighterX += x, lighterY += y, ++lighter;
            }
        }
    }
    if (darker == 0 || lighter == 0) return {0, 0};
    return {darkerX / darker - lighterX / lighter, darkerY / darker - lighterY / lighter};
}

TEST(BallSprites, AwakeFacesLookTheWayTheirGroupSays) {
    for (int32_t code = 1; code <= 8; ++code) {
        SCOPED_TRACE(code);
        EXPECT_LT(GazeShift(code, 3).first, -1.0) << "group 3 looks left";
        EXPECT_GT(GazeShift(code, 4).first, 1.0) << "group 4 looks right";
        EXPECT_LT(GazeShift(code, 5).second, -1.0) << "group 5 looks up";
        EXPECT_GT(GazeShift(code, 6).second, 1.0) << "group 6 looks down";
    }
}

// Eye whites show only while the eyes are open; the clenched face shows its white teeth low down.
TEST(BallSprites, OpenEyesAndTeethShowWhite) {
    const auto whiteCount = [](std::span<const uint8_t> s, int32_t fromRow, int32_t toRow) {
        int32_t count = 0;
        for (int32_t y = fromRow; y <= toRow; ++y) {
            for (int32_t x = 5; x <= 33; ++x) {
                const Pixel p = PixelAt(s, x, y);
                count += p.r > 215 && p.g > 215 && p.b > 215;
            }
        }
        return count;
    };
    for (int32_t code = 2; code <= 8; ++code) {
        SCOPED_TRACE(code);
        // Rows 18..23 hold the eyes, below the gloss highlight; rows 24..29 the clenched teeth.
        EXPECT_EQ(whiteCount(Sprite(code, 0), 18, 29), 0);
        EXPECT_EQ(whiteCount(Sprite(code, 1), 18, 29), 0);
        for (int32_t group = 2; group <= 6; ++group) EXPECT_GE(whiteCount(Sprite(code, group), 18, 23), 8) << group;
        EXPECT_EQ(whiteCount(Sprite(code, 7), 18, 22), 0);
        EXPECT_GE(whiteCount(Sprite(code, 7), 24, 29), 6);
    }
}

TEST(SpriteFor, PicksSpriteEightTimesGroupPlusCodeMinusOne) {
    for (int32_t group = 0; group < 8; ++group) {
        for (int32_t code = 1; code <= 8; ++code) {
            const std::span<const uint8_t> s = SpriteFor(code, group);
            EXPECT_EQ(s.data(), kBallSprites[static_cast<size_t>(8 * group + code - 1)].data());
            EXPECT_EQ(s.size(), kBallSprites[static_cast<size_t>(8 * group + code - 1)].size());
        }
    }
}

TEST(SpriteFor, GivesNoSpriteForAnEmptyCellABadGroupOrAnUnknownCode) {
    for (const int32_t group : {-1, 0, 3, 7, 8, 100}) EXPECT_TRUE(SpriteFor(0, group).empty()) << group;
    for (const int32_t code : {1, 5, 8}) {
        EXPECT_TRUE(SpriteFor(code, 8).empty());
        EXPECT_TRUE(SpriteFor(code, -1).empty());
        EXPECT_TRUE(SpriteFor(code, INT32_MIN).empty());
    }
    for (const int32_t code : {-1, 9, 64, INT32_MAX, INT32_MIN}) {
        for (const int32_t group : {0, 7}) EXPECT_TRUE(SpriteFor(code, group).empty()) << code;
    }
}

}  // namespace
}  // namespace kelvora
