// The drawing panel's surface, properties and pixel rules.
#include "platform/draw_panel.h"

#include <algorithm>
#include <cstring>

#include "platform/host/font_service.h"

namespace kelvora {
namespace {

// Gradients are built tile by tile, never more than this many pixels a side at once; the colours
// depend only on the position in the whole rectangle, so the tiling never shows.
constexpr int64_t kGradientTile = 50;

// Right and bottom are excluded.
Rect ClipTo(const Rect& bounds, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    left = std::max<int64_t>(left, bounds.left);
    top = std::max<int64_t>(top, bounds.top);
    right = std::min<int64_t>(right, bounds.Right());
    bottom = std::min<int64_t>(bottom, bounds.Bottom());
    if (right <= left || bottom <= top) return Rect{};
    return Rect{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
                static_cast<int32_t>(bottom - top)};
}

bool IsRasterMode(int32_t mode) { return mode >= kRasterCopy && mode <= kRasterAnd; }

// Combines one row of source pixels into the destination; the switch stays outside the loop.
void CombineRow(uint32_t* dst, const uint32_t* src, int32_t count, int32_t mode) {
    switch (mode) {
        case kRasterCopy:
            for (int32_t i = 0; i < count; ++i) dst[i] = src[i] & kColourBits;
            break;
        case kRasterNotSource:
            for (int32_t i = 0; i < count; ++i) dst[i] = ~src[i] & kColourBits;
            break;
        case kRasterXor:
            for (int32_t i = 0; i < count; ++i) dst[i] = (dst[i] ^ src[i]) & kColourBits;
            break;
        case kRasterOr:
            for (int32_t i = 0; i < count; ++i) dst[i] = (dst[i] | src[i]) & kColourBits;
            break;
        case kRasterAnd:
            for (int32_t i = 0; i < count; ++i) dst[i] = dst[i] & src[i] & kColourBits;
            break;
        default:
            break;
    }
}

uint32_t Combine(uint32_t dst, uint32_t src, int32_t mode) {
    CombineRow(&dst, &src, 1, mode);
    return dst;
}

int32_t Channel(uint32_t colour, int shift) { return static_cast<int32_t>((colour >> shift) & 0xFF); }

// The colour of the gradient line at distance p from the starting edge of a blend L lines long.
uint32_t GradientColourAt(int64_t p, int64_t length, std::span<const uint32_t> colours) {
    const int64_t n = static_cast<int64_t>(colours.size());
    const int64_t b = length / (n - 1);
    const int64_t i = b == 0 ? 0 : p / b;
    if (i > n - 2) return colours[n - 1] & kColourBits;
    const uint32_t from = colours[i];
    // Fewer lines than colour steps leaves no room to blend (and nothing to divide by): such a
    // strip shows the first colour.
    if (b == 0) return from & kColourBits;
    const uint32_t to = colours[i + 1];
    const int64_t step = p % b;
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int64_t c0 = Channel(from, shift);
        const int64_t c1 = Channel(to, shift);
        // Integer division truncates toward zero, exactly as the fraction times the difference.
        const int64_t value = c0 + step * (c1 - c0) / b;
        result |= static_cast<uint32_t>(value) << shift;
    }
    return result;
}

}  // namespace

DrawPanel::DrawPanel(int32_t width, int32_t height, uint32_t backgroundColour, FontService* fonts)
    : width_(std::clamp(width, 0, kLargestPanelSide)),
      height_(std::clamp(height, 0, kLargestPanelSide)),
      backgroundColour_(backgroundColour & kColourBits),
      fonts_(fonts) {
    pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), backgroundColour_);
    dirty_ = Bounds();
}

void DrawPanel::SetSize(int32_t width, int32_t height) {
    width = std::clamp(width, 0, kLargestPanelSide);
    height = std::clamp(height, 0, kLargestPanelSide);
    if (width == width_ && height == height_) return;
    auto resize = [&](std::vector<uint32_t>& pixels) {
        std::vector<uint32_t> resized(static_cast<size_t>(width) * static_cast<size_t>(height),
                                      backgroundColour_);
        const int32_t keepWidth = std::min(width, width_);
        const int32_t keepHeight = keepWidth > 0 ? std::min(height, height_) : 0;
        for (int32_t y = 0; y < keepHeight; ++y) {
            std::memcpy(resized.data() + static_cast<size_t>(y) * width,
                        pixels.data() + static_cast<size_t>(y) * width_, sizeof(uint32_t) * keepWidth);
        }
        pixels.swap(resized);
    };
    resize(pixels_);
    width_ = width;
    height_ = height;
    dirty_ = Bounds();
}

// The picture taken is what the panel shows now, and a picture discarded leaves the screen as it
// is: both are the one buffer, so only what Repaint restores changes.
void DrawPanel::SetAutoRedraw(bool on) { hasPicture_ = on; }

void DrawPanel::SetPenWidth(int32_t width) { penWidth_ = std::clamp(width, 0, 32767); }

uint32_t DrawPanel::PixelAt(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kTransparentColour;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

uint32_t DrawPanel::PicturePixelAt(int32_t x, int32_t y) const {
    if (!hasPicture_ || x < 0 || y < 0 || x >= width_ || y >= height_) return kTransparentColour;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

Rect DrawPanel::TakeDirtyRect() {
    Rect taken = dirty_;
    dirty_ = Rect{};
    return taken;
}

void DrawPanel::Repaint() {
    // With a picture the screen already shows it; without one the drawing is lost.
    if (!hasPicture_) std::fill(pixels_.begin(), pixels_.end(), backgroundColour_);
    dirty_ = Bounds();
}

void DrawPanel::Changed(const Rect& area) {
    if (area.Empty()) return;
    dirty_ = Union(dirty_, area);
}

void DrawPanel::FillClipped(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t colour) {
    const Rect area = ClipTo(Bounds(), left, top, right, bottom);
    if (area.Empty()) return;
    colour &= kColourBits;
    uint32_t* surface = Surface();
    for (int32_t y = area.top; y < area.Bottom(); ++y) {
        uint32_t* row = surface + static_cast<size_t>(y) * width_;
        std::fill(row + area.left, row + area.Right(), colour);
    }
    Changed(area);
}

void DrawPanel::PlotPen(int64_t x, int64_t y, int32_t penSize, Rect& touched) {
    const uint32_t colour = penColour_ & kColourBits;
    if (penSize <= 1) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        Surface()[static_cast<size_t>(y) * width_ + static_cast<size_t>(x)] = colour;
        touched = Union(touched, Rect{static_cast<int32_t>(x), static_cast<int32_t>(y), 1, 1});
        return;
    }
    // A wide pen is a square of penSize pixels centred on each point of the line.
    const int64_t half = (penSize - 1) / 2;
    const Rect area = ClipTo(Bounds(), x - half, y - half, x - half + penSize, y - half + penSize);
    if (area.Empty()) return;
    uint32_t* surface = Surface();
    for (int32_t row = area.top; row < area.Bottom(); ++row) {
        uint32_t* line = surface + static_cast<size_t>(row) * width_;
        std::fill(line + area.left, line + area.Right(), colour);
    }
    touched = Union(touched, area);
}

void DrawPanel::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int64_t dx = static_cast<int64_t>(x2) - x1;
    const int64_t dy = static_cast<int64_t>(y2) - y1;
    if (dx == 0 && dy == 0) return;  // only the end point, which is never drawn
    const int32_t penSize = std::max(penWidth_, 1);
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const int64_t steps = xMajor ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
    const int64_t minor = xMajor ? (dy < 0 ? -dy : dy) : (dx < 0 ? -dx : dx);
    const int64_t majorStart = xMajor ? x1 : y1;
    const int64_t minorStart = xMajor ? y1 : x1;
    const int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t majorSize = xMajor ? width_ : height_;

    // Only the steps whose pen can touch the panel are walked, so a line between far-away
    // points costs no more than one across the panel.
    const int64_t half = (penSize - 1) / 2;
    const int64_t lowest = half - penSize + 1;  // smallest major coordinate whose pen reaches 0
    const int64_t highest = majorSize - 1 + half;
    int64_t first = 0;
    int64_t last = steps - 1;
    if (majorSign > 0) {
        first = std::max(first, lowest - majorStart);
        last = std::min(last, highest - majorStart);
    } else {
        first = std::max(first, majorStart - highest);
        last = std::min(last, majorStart - lowest);
    }
    if (first > last) return;

    // Step i lies at minor offset round(i * minor / steps), halves rounded away from the start:
    // k = floor((2 i minor + steps) / (2 steps)), carried on incrementally from the first step.
    const __int128 numerator = static_cast<__int128>(2) * first * minor + steps;
    int64_t k = static_cast<int64_t>(numerator / (2 * static_cast<__int128>(steps)));
    int64_t error = static_cast<int64_t>(numerator % (2 * static_cast<__int128>(steps)));
    Rect touched;
    for (int64_t i = first; i <= last; ++i) {
        const int64_t major = majorStart + majorSign * i;
        const int64_t minorPos = minorStart + minorSign * k;
        if (xMajor) {
            PlotPen(major, minorPos, penSize, touched);
        } else {
            PlotPen(minorPos, major, penSize, touched);
        }
        error += 2 * minor;
        if (error >= 2 * steps) {
            error -= 2 * steps;
            ++k;
        }
    }
    Changed(touched);
}

void DrawPanel::DrawRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int64_t left = std::min(x1, x2);
    const int64_t right = std::max(x1, x2);
    const int64_t top = std::min(y1, y2);
    const int64_t bottom = std::max(y1, y2);
    if (right <= left || bottom <= top) return;
    // The outline lies inside the rectangle, however wide the pen.
    const int64_t pen = std::max(penWidth_, 1);
    if (right - left <= 2 * pen || bottom - top <= 2 * pen) {
        FillClipped(left, top, right, bottom, penColour_);
        return;
    }
    if (brushType_ != kBrushHollow) {
        FillClipped(left + pen, top + pen, right - pen, bottom - pen, brushColour_);
    }
    FillClipped(left, top, right, top + pen, penColour_);
    FillClipped(left, bottom - pen, right, bottom, penColour_);
    FillClipped(left, top + pen, left + pen, bottom - pen, penColour_);
    FillClipped(right - pen, top + pen, right, bottom - pen, penColour_);
}

void DrawPanel::FillRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int64_t left = std::min(x1, x2);
    int64_t right = std::max(x1, x2);
    const int64_t top = std::min(y1, y2);
    int64_t bottom = std::max(y1, y2);
    if (right == left) ++right;
    if (bottom == top) ++bottom;
    if (brushType_ == kBrushHollow) return;
    FillClipped(left, top, right, bottom, brushColour_);
}

void DrawPanel::GradientRect(int32_t left, int32_t top, int32_t width, int32_t height, int32_t mode,
                             uint32_t colour1, uint32_t colour2) {
    const uint32_t colours[2] = {colour1, colour2};
    GradientRect(left, top, width, height, mode, std::span<const uint32_t>(colours, 2));
}

void DrawPanel::GradientRect(int32_t left, int32_t top, int32_t width, int32_t height, int32_t mode,
                             std::span<const uint32_t> colours) {
    if (mode < 1 || mode > 8 || colours.size() < 2 || width < 1 || height < 1) return;
    const bool vertical = mode == kGradientTopDown || mode == kGradientBottomUp;
    const bool horizontal = mode == kGradientLeftRight || mode == kGradientRightLeft;
    if (!vertical && !horizontal) return;  // the diagonal blends are not offered
    const int64_t right = static_cast<int64_t>(left) + width;
    const int64_t bottom = static_cast<int64_t>(top) + height;
    const Rect area = ClipTo(Bounds(), left, top, right, bottom);
    if (area.Empty()) return;
    const int64_t length = vertical ? height : width;

    uint32_t lineColours[kGradientTile];
    uint32_t* surface = Surface();
    for (int64_t tileTop = area.top; tileTop < area.Bottom(); tileTop += kGradientTile) {
        const int64_t tileBottom = std::min<int64_t>(tileTop + kGradientTile, area.Bottom());
        for (int64_t tileLeft = area.left; tileLeft < area.Right(); tileLeft += kGradientTile) {
            const int64_t tileRight = std::min<int64_t>(tileLeft + kGradientTile, area.Right());
            const int64_t lineStart = vertical ? tileTop : tileLeft;
            const int64_t lineEnd = vertical ? tileBottom : tileRight;
            for (int64_t line = lineStart; line < lineEnd; ++line) {
                int64_t p = 0;
                switch (mode) {
                    case kGradientTopDown: p = line - top; break;
                    case kGradientBottomUp: p = bottom - 1 - line; break;
                    case kGradientLeftRight: p = line - left; break;
                    default: p = right - 1 - line; break;
                }
                lineColours[line - lineStart] = GradientColourAt(p, length, colours);
            }
            for (int64_t y = tileTop; y < tileBottom; ++y) {
                uint32_t* row = surface + static_cast<size_t>(y) * width_;
                for (int64_t x = tileLeft; x < tileRight; ++x) {
                    row[x] = lineColours[vertical ? y - tileTop : x - tileLeft];
                }
            }
        }
    }
    Changed(area);
}

void DrawPanel::WriteTextAt(int32_t x, int32_t y, std::string_view text) {
    if (fonts_ == nullptr || text.empty()) return;
    const int32_t lineHeight = fonts_->LineHeight(font_);
    if (lineHeight <= 0) return;
    const PixelTarget target{Surface(), width_, height_, width_};
    int64_t lineTop = y;
    size_t pos = 0;
    while (pos < text.size() && lineTop < height_) {
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        const std::string_view line = text.substr(pos, end - pos);
        // Every line, an empty one too, is as high as the font's "W"; lines above the panel are
        // stepped over without drawing.
        if (!line.empty() && lineTop + lineHeight > 0) {
            const int32_t top = static_cast<int32_t>(lineTop);
            if (textBackground_ != kTransparentColour) {
                const int32_t lineWidth = fonts_->TextWidth(font_, line);
                FillClipped(x, top, static_cast<int64_t>(x) + lineWidth, static_cast<int64_t>(top) + lineHeight,
                            textBackground_);
            }
            fonts_->DrawTextLine(font_, line, target, x, top, textColour_ & kColourBits);
            // Glyphs may overhang their advance; the whole band of rows is brought on screen.
            Changed(ClipTo(Bounds(), 0, top, width_, static_cast<int64_t>(top) + lineHeight));
        }
        if (end >= text.size()) break;
        // CR LF is one break; a lone CR or a lone LF is one too. A break at the very end adds
        // nothing, as no line follows it.
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
        lineTop += lineHeight + 2;
    }
}

// A 40 x 40 copy out of the 39 x 39 animation buffer asks for one column and one row that the
// source does not have. Pixels outside the source panel do not exist, so the copy is cut to the
// source first: the target keeps its own pixels there, which leaves the board's grid lines to the
// right of and below a cell untouched.
void DrawPanel::CopyArea(std::optional<int32_t> sx, std::optional<int32_t> sy, std::optional<int32_t> w,
                         std::optional<int32_t> h, DrawPanel* target, int32_t tx, int32_t ty, int32_t mode) {
    if (!IsRasterMode(mode)) return;
    DrawPanel& destination = target != nullptr ? *target : *this;
    const int64_t srcX = sx.value_or(0);
    const int64_t srcY = sy.value_or(0);
    const int64_t copyWidth = w.value_or(width_);
    const int64_t copyHeight = h.value_or(height_);
    if (copyWidth <= 0 || copyHeight <= 0) return;
    // Work in source coordinates: the block, the source panel and the target panel all clip it.
    const int64_t shiftX = static_cast<int64_t>(tx) - srcX;
    const int64_t shiftY = static_cast<int64_t>(ty) - srcY;
    const int64_t left = std::max<int64_t>({srcX, 0, -shiftX});
    const int64_t top = std::max<int64_t>({srcY, 0, -shiftY});
    const int64_t right = std::min<int64_t>({srcX + copyWidth, width_, destination.width_ - shiftX});
    const int64_t bottom = std::min<int64_t>({srcY + copyHeight, height_, destination.height_ - shiftY});
    if (right <= left || bottom <= top) return;
    const int32_t count = static_cast<int32_t>(right - left);
    const int32_t rows = static_cast<int32_t>(bottom - top);

    const uint32_t* source = Source();
    size_t sourceStride = static_cast<size_t>(width_);
    const Rect targetArea{static_cast<int32_t>(left + shiftX), static_cast<int32_t>(top + shiftY), count, rows};
    if (&destination == this) {
        // Source and target may overlap: take the block aside first.
        scratch_.resize(static_cast<size_t>(count) * rows);
        for (int32_t row = 0; row < rows; ++row) {
            std::memcpy(scratch_.data() + static_cast<size_t>(row) * count,
                        source + static_cast<size_t>(top + row) * width_ + left, sizeof(uint32_t) * count);
        }
        source = scratch_.data();
        sourceStride = static_cast<size_t>(count);
    } else {
        source += static_cast<size_t>(top) * width_ + static_cast<size_t>(left);
    }
    uint32_t* surface = destination.Surface();
    for (int32_t row = 0; row < rows; ++row) {
        uint32_t* dst = surface + static_cast<size_t>(targetArea.top + row) * destination.width_ + targetArea.left;
        CombineRow(dst, source + static_cast<size_t>(row) * sourceStride, count, mode);
    }
    destination.Changed(targetArea);
}

void DrawPanel::DrawPixels(const uint32_t* src, int32_t srcWidth, int32_t srcHeight, int32_t srcStride,
                           int32_t x, int32_t y, int32_t width, int32_t height, int32_t mode) {
    if (src == nullptr || srcWidth <= 0 || srcHeight <= 0 || srcStride < srcWidth) return;
    if (width <= 0 || height <= 0) return;
    if (mode == 0 || mode > kRasterAnd) return;
    const Rect area = ClipTo(Bounds(), x, y, static_cast<int64_t>(x) + width, static_cast<int64_t>(y) + height);
    if (area.Empty()) return;
    const bool keyed = mode < 0;
    const uint32_t key = keyed ? static_cast<uint32_t>(-static_cast<int64_t>(mode)) : 0;

    // Nearest neighbour at pixel centres: destination pixel d samples source pixel
    // floor((2d + 1) * srcSize / (2 size)), so a stretched picture keeps its exact colours.
    sampleColumns_.resize(static_cast<size_t>(area.width));
    for (int32_t dx = area.left; dx < area.Right(); ++dx) {
        const int64_t offset = static_cast<int64_t>(dx) - x;
        sampleColumns_[dx - area.left] = static_cast<int32_t>((2 * offset + 1) * srcWidth / (2 * static_cast<int64_t>(width)));
    }
    const bool sameWidth = width == srcWidth;
    uint32_t* surface = Surface();
    for (int32_t dy = area.top; dy < area.Bottom(); ++dy) {
        const int64_t offset = static_cast<int64_t>(dy) - y;
        const int64_t sourceRow = (2 * offset + 1) * srcHeight / (2 * static_cast<int64_t>(height));
        const uint32_t* srcRow = src + static_cast<size_t>(sourceRow) * static_cast<size_t>(srcStride);
        uint32_t* dst = surface + static_cast<size_t>(dy) * width_ + area.left;
        const int32_t count = area.width;
        if (keyed) {
            for (int32_t i = 0; i < count; ++i) {
                const uint32_t pixel = srcRow[sampleColumns_[i]];
                if (pixel != key) dst[i] = pixel & kColourBits;
            }
        } else if (sameWidth) {
            CombineRow(dst, srcRow + sampleColumns_[0], count, mode);
        } else {
            for (int32_t i = 0; i < count; ++i) dst[i] = Combine(dst[i], srcRow[sampleColumns_[i]], mode);
        }
    }
    Changed(area);
}

}  // namespace kelvora
