// The instructions scroller: the game's instructions climb slowly through a small panel of the
// main window, green on black, fading out near its top and bottom edges. Two hidden work panels
// compose each frame with raster copies, so the visible panel changes once per frame.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/draw_panel.h"

namespace kelvora {

struct ScrollerState {
    DrawPanel* scrollerDisplay = nullptr;  // the visible panel
    DrawPanel* scrollerMask = nullptr;     // hidden: the text stencil, then the composed frame
    DrawPanel* scrollerPaint = nullptr;    // hidden: the coloured text
    uint32_t scrollerBackColour = 0;
    uint32_t scrollerTextColour = 0;
    int32_t topFadeHeight = 0;
    uint32_t topFadeColour = 0;
    int32_t bottomFadeHeight = 0;
    uint32_t bottomFadeColour = 0;
    std::array<int32_t, 4> scrollerRect{};  // left, top, right, bottom of the text area
    int32_t scrollY = 0;                    // the first line's distance from the panel's top
};

// Gives the three panels off-screen pictures and makes the two work panels the display's size.
// (Hiding the work panels is the window's business: see the caller.)
void SetScrollerPanels(ScrollerState& scroller, DrawPanel& display, DrawPanel& mask, DrawPanel& paint);
void SetScrollerBackColour(ScrollerState& scroller, uint32_t colour);
void SetScrollerTextColour(ScrollerState& scroller, uint32_t colour);
void SetScrollerTopFade(ScrollerState& scroller, int32_t height, uint32_t colour);
void SetScrollerBottomFade(ScrollerState& scroller, int32_t height, uint32_t colour);
void SetScrollerRect(ScrollerState& scroller, int32_t left, int32_t top, int32_t right, int32_t bottom);

// One tick of the scroller timer: the text climbs a pixel, or starts again at 50 below the top
// once it has climbed out of sight, and the frame is drawn.
void ScrollTick(ScrollerState& scroller, std::string_view text);
// Draws one frame with the text's top-left corner at (x, y).
void DrawScroller(ScrollerState& scroller, int32_t x, int32_t y, std::string_view text);

}  // namespace kelvora
