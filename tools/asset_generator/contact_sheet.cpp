// A magnified sheet of all ball sprites on both cell backgrounds.
#include "contact_sheet.h"

#include "ball_painter.h"

namespace kelvora::tools {

Image ContactSheet(const Buffer<Image>& sprites, int32_t magnification) {
    constexpr int32_t kPerRow = 8;
    constexpr int32_t kGap = 6;
    constexpr Colour kCellBackgrounds[2] = {{33, 32, 33}, {0, 0, 0}};
    const int32_t tile = kSpriteSide * magnification;
    const int32_t rows = (static_cast<int32_t>(sprites.size()) + kPerRow - 1) / kPerRow;
    Image sheet(kGap + kPerRow * (2 * tile + kGap), kGap + rows * (tile + kGap), Colour{96, 96, 96});
    for (size_t index = 0; index < sprites.size(); ++index) {
        const Image& sprite = sprites[index];
        const int32_t row = static_cast<int32_t>(index) / kPerRow;
        const int32_t column = static_cast<int32_t>(index) % kPerRow;
        for (int32_t copy = 0; copy < 2; ++copy) {
            const int32_t left = kGap + column * (2 * tile + kGap) + copy * tile;
            const int32_t top = kGap + row * (tile + kGap);
            for (int32_t y = 0; y < tile; ++y) {
                for (int32_t x = 0; x < tile; ++x) {
                    const Colour c = sprite.At(x / magnification, y / magnification);
                    sheet.At(left + x, top + y) = c == kKeyColour ? kCellBackgrounds[copy] : c;
                }
            }
        }
    }
    return sheet;
}

}  // namespace kelvora::tools
