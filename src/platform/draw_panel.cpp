// The drawing panel's surface, properties and pixel rules.
#include "platform/draw_panel.h"

#include <algorithm>
#include <cstring>

namespace kelvora {

PixelRect UniteRects(const PixelRect& a, const PixelRect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return PixelRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom)};
}

DrawPanel::DrawPanel(int32_t width, int32_t height, uint32_t backgroundColour, FontService* fonts)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      backgroundColour_(backgroundColour & kColourBits),
      fonts_(fonts) {
    visible_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), backgroundColour_);
    dirty_ = Bounds();
}

void DrawPanel::SetSize(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    auto resize = [&](std::vector<uint32_t>& pixels) {
        std::vector<uint32_t> resized(static_cast<size_t>(width) * static_cast<size_t>(height),
                                      backgroundColour_);
        const int32_t keepWidth = std::min(width, width_);
        const int32_t keepHeight = std::min(height, height_);
        for (int32_t y = 0; y < keepHeight; ++y) {
            std::memcpy(resized.data() + static_cast<size_t>(y) * width,
                        pixels.data() + static_cast<size_t>(y) * width_, sizeof(uint32_t) * keepWidth);
        }
        pixels.swap(resized);
    };
    resize(visible_);
    if (hasPicture_) resize(picture_);
    width_ = width;
    height_ = height;
    dirty_ = Bounds();
}

void DrawPanel::SetAutoRedraw(bool on) {
    if (on == hasPicture_) return;
    hasPicture_ = on;
    if (on) {
        picture_ = visible_;
    } else {
        picture_.clear();
        picture_.shrink_to_fit();
    }
}

void DrawPanel::SetPenWidth(int32_t width) { penWidth_ = std::clamp(width, 0, 32767); }

uint32_t DrawPanel::PixelAt(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kTransparentColour;
    return visible_[static_cast<size_t>(y) * width_ + x];
}

uint32_t DrawPanel::PicturePixelAt(int32_t x, int32_t y) const {
    if (!hasPicture_ || x < 0 || y < 0 || x >= width_ || y >= height_) return kTransparentColour;
    return picture_[static_cast<size_t>(y) * width_ + x];
}

PixelRect DrawPanel::TakeDirtyRect() {
    PixelRect taken = dirty_;
    dirty_ = PixelRect{};
    return taken;
}

void DrawPanel::Repaint() {
    if (hasPicture_) {
        visible_ = picture_;
    } else {
        std::fill(visible_.begin(), visible_.end(), backgroundColour_);
    }
    dirty_ = Bounds();
}

void DrawPanel::Changed(const PixelRect& area) {
    if (area.Empty()) return;
    if (hasPicture_) {
        for (int32_t y = area.top; y < area.bottom; ++y) {
            const size_t offset = static_cast<size_t>(y) * width_ + area.left;
            std::memcpy(visible_.data() + offset, picture_.data() + offset,
                        sizeof(uint32_t) * static_cast<size_t>(area.right - area.left));
        }
    }
    dirty_ = UniteRects(dirty_, area);
}

}  // namespace kelvora
