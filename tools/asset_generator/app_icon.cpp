// The desktop icon, enlarged from a ball sprite by bilinear interpolation in integer arithmetic.
#include "app_icon.h"

#include "ball_painter.h"

namespace kelvora::tools {

namespace {

// The source position (Q16) under the centre of target pixel i, with the two pixels around it
// and the weight (Q16) of the second.
struct Tap {
    int32_t first = 0;
    int32_t second = 0;
    int64_t weight = 0;
};

Tap TapFor(int32_t i, int32_t targetSide, int32_t sourceSide) {
    constexpr int64_t kOneQ16 = 65536;
    // Centres line up: (i + 1/2) * source / target - 1/2.
    int64_t position = ((2 * static_cast<int64_t>(i) + 1) * sourceSide * kOneQ16) / (2 * static_cast<int64_t>(targetSide)) - kOneQ16 / 2;
    const int64_t last = static_cast<int64_t>(sourceSide - 1) * kOneQ16;
    if (position < 0) position = 0;
    if (position > last) position = last;
    Tap tap;
    tap.first = static_cast<int32_t>(position / kOneQ16);
    tap.second = tap.first + 1 < sourceSide ? tap.first + 1 : tap.first;
    tap.weight = position % kOneQ16;
    return tap;
}

}  // namespace

TranslucentImage EnlargedIcon(const Image& sprite, int32_t side) {
    TranslucentImage icon(side, side);
    if (side <= 0 || sprite.width <= 0 || sprite.height <= 0) return icon;
    constexpr int64_t kOneQ16 = 65536;
    for (int32_t y = 0; y < side; ++y) {
        const Tap ty = TapFor(y, side, sprite.height);
        for (int32_t x = 0; x < side; ++x) {
            const Tap tx = TapFor(x, side, sprite.width);
            // The four weights are Q32 and add up to exactly 1 << 32.
            const int32_t xs[2] = {tx.first, tx.second};
            const int32_t ys[2] = {ty.first, ty.second};
            const int64_t wx[2] = {kOneQ16 - tx.weight, tx.weight};
            const int64_t wy[2] = {kOneQ16 - ty.weight, ty.weight};
            int64_t opaque = 0, r = 0, g = 0, b = 0;
            for (int32_t j = 0; j < 2; ++j) {
                for (int32_t k = 0; k < 2; ++k) {
                    const Colour c = sprite.At(xs[k], ys[j]);
                    if (c == kKeyColour) continue;
                    const int64_t w = wx[k] * wy[j];
                    opaque += w;
                    r += w * c.r;
                    g += w * c.g;
                    b += w * c.b;
                }
            }
            Pixel& p = icon.At(x, y);
            if (opaque == 0) continue;
            p.r = static_cast<uint8_t>((r + opaque / 2) / opaque);
            p.g = static_cast<uint8_t>((g + opaque / 2) / opaque);
            p.b = static_cast<uint8_t>((b + opaque / 2) / opaque);
            p.a = static_cast<uint8_t>((opaque * 255 + (int64_t{1} << 31)) >> 32);
        }
    }
    return icon;
}

}  // namespace kelvora::tools
