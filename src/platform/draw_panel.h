// The drawing panel: a 32-bit surface of 0x00BBGGRR pixels with its optional off-screen picture,
// its pen, brush and text settings, and the pixel rules of lines, rectangles, gradients, text and
// block copies.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "base/font_face.h"
#include "base/geometry.h"

namespace kelvora {

class FontService;

// Colour value meaning "none" for the text background: text is drawn on what is there.
constexpr uint32_t kTransparentColour = 0xFF000000u;
// The only bits a panel pixel carries.
constexpr uint32_t kColourBits = 0x00FFFFFFu;
// No panel is wider or taller than this: larger sizes are cut to it rather than allocated.
constexpr int32_t kLargestPanelSide = 8192;

// Raster modes of block copies and pictures; a negative mode -c draws pictures with colour c
// left out.
enum RasterMode : int32_t {
    kRasterCopy = 1,
    kRasterNotSource = 2,
    kRasterXor = 3,
    kRasterOr = 4,
    kRasterAnd = 5,
};

enum BrushType : int32_t {
    kBrushHollow = 0,
    kBrushSolid = 1,
    // 2..7 hatched and higher values patterns: not drawn as such; they fill like a solid brush.
};

enum GradientMode : int32_t {
    kGradientTopDown = 1,
    kGradientLeftRight = 2,
    kGradientBottomUp = 5,
    kGradientRightLeft = 6,
    // 3, 4, 7, 8 (diagonal) are accepted and draw nothing.
};

class DrawPanel {
public:
    // The visible pixels start as the background colour. Without a font service text draws
    // nothing. Sizes are clamped to 0..kLargestPanelSide.
    DrawPanel(int32_t width, int32_t height, uint32_t backgroundColour, FontService* fonts = nullptr);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // Keeps what fits, in the visible pixels and the picture alike; new area takes the background.
    void SetSize(int32_t width, int32_t height);

    // --- Properties, read at every drawing call ---
    bool AutoRedraw() const { return hasPicture_; }
    // true creates the off-screen picture from what the panel shows now; false discards it.
    void SetAutoRedraw(bool on);
    int32_t PenWidth() const { return penWidth_; }
    void SetPenWidth(int32_t width);  // clamped to 0..32767; 0 and 1 are the one-pixel pen
    uint32_t PenColour() const { return penColour_; }
    void SetPenColour(uint32_t colour) { penColour_ = colour; }
    int32_t Brush() const { return brushType_; }
    void SetBrush(int32_t type) { brushType_ = type; }
    uint32_t BrushColour() const { return brushColour_; }
    void SetBrushColour(uint32_t colour) { brushColour_ = colour; }
    uint32_t TextColour() const { return textColour_; }
    void SetTextColour(uint32_t colour) { textColour_ = colour; }
    // kTransparentColour, or an opaque colour filled behind every line of text.
    uint32_t TextBackground() const { return textBackground_; }
    void SetTextBackground(uint32_t colour) { textBackground_ = colour; }
    const FontSpec& Font() const { return font_; }
    void SetFont(const FontSpec& font) { font_ = font; }
    // Used for area a resize adds and by Repaint without a picture; does not repaint by itself.
    uint32_t BackgroundColour() const { return backgroundColour_; }
    void SetBackgroundColour(uint32_t colour) { backgroundColour_ = colour & kColourBits; }
    FontService* Fonts() const { return fonts_; }
    void SetFonts(FontService* fonts) { fonts_ = fonts; }

    // --- What the window shows ---
    // Visible pixels, row by row, Stride() pixels apart.
    const uint32_t* Pixels() const { return pixels_.data(); }
    int32_t Stride() const { return width_; }
    // One visible pixel; kTransparentColour outside the panel (no drawing produces that value).
    uint32_t PixelAt(int32_t x, int32_t y) const;
    // One pixel of the off-screen picture; kTransparentColour outside or without a picture.
    uint32_t PicturePixelAt(int32_t x, int32_t y) const;
    // The union of everything that changed on screen since the last call; clears it.
    Rect TakeDirtyRect();
    // Rebuilds the visible pixels as a window repaint would: from the picture when there is one,
    // otherwise the drawing is lost and the panel shows its background.
    void Repaint();

    // --- Drawing ---
    // In the pen, from (x1, y1) towards (x2, y2), the end point itself left out.
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Corners in any order, right and bottom edges excluded: outline in the pen, inside in the brush.
    void DrawRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Corners in any order, right and bottom edges excluded; brush only. A zero width or height
    // is widened to one pixel.
    void FillRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Blend of two or more colours over (left, top, width, height), copied over the panel.
    void GradientRect(int32_t left, int32_t top, int32_t width, int32_t height, int32_t mode,
                      std::span<const uint32_t> colours);
    void GradientRect(int32_t left, int32_t top, int32_t width, int32_t height, int32_t mode,
                      uint32_t colour1, uint32_t colour2);
    // GBK text in the panel's font and text colour; CR LF, a lone CR and a lone LF start lines.
    void WriteTextAt(int32_t x, int32_t y, std::string_view text);
    // Copies the w x h block at (sx, sy) of this panel to (tx, ty) of `target` (this panel when
    // null). Omitted sx, sy count as 0, omitted w, h as this panel's size. Reads the off-screen
    // picture when there is one; the target receives the pixels on screen and in its picture.
    void CopyArea(std::optional<int32_t> sx, std::optional<int32_t> sy, std::optional<int32_t> w,
                  std::optional<int32_t> h, DrawPanel* target, int32_t tx, int32_t ty,
                  int32_t mode = kRasterCopy);
    // Draws a block of 0x00BBGGRR source pixels (srcStride pixels a row) at (x, y), stretched to
    // width x height by nearest-neighbour sampling, with a raster mode or a negative key mode -c.
    // Pictures are drawn through this.
    void DrawPixels(const uint32_t* src, int32_t srcWidth, int32_t srcHeight, int32_t srcStride,
                    int32_t x, int32_t y, int32_t width, int32_t height, int32_t mode);

private:
    uint32_t* Surface() { return pixels_.data(); }
    const uint32_t* Source() const { return pixels_.data(); }
    // After drawing on Surface(): records the change for the window to compose.
    void Changed(const Rect& area);
    Rect Bounds() const { return Rect{0, 0, width_, height_}; }
    void FillClipped(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t colour);
    void PlotPen(int64_t x, int64_t y, int32_t penSize, Rect& touched);

    int32_t width_ = 0;
    int32_t height_ = 0;
    // What the panel shows, and its off-screen picture too while it has one: every drawing goes to
    // the picture and the screen is brought up to date at once, so the two never differ between
    // calls and one buffer holds both (a 360 x 360 board is half a megabyte a copy).
    std::vector<uint32_t> pixels_;
    bool hasPicture_ = false;
    Rect dirty_;

    int32_t penWidth_ = 0;
    uint32_t penColour_ = 0;
    int32_t brushType_ = kBrushSolid;
    uint32_t brushColour_ = 0xFFFFFF;
    uint32_t textColour_ = 0;
    uint32_t textBackground_ = kTransparentColour;
    FontSpec font_ = DefaultGuiFont();
    uint32_t backgroundColour_ = 0;
    FontService* fonts_ = nullptr;

    std::vector<uint32_t> scratch_;       // overlapping self-copies go through here
    std::vector<int32_t> sampleColumns_;  // source column of each destination column of a picture
};

}  // namespace kelvora
