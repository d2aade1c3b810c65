// The instructions scroller: the game's instructions climb slowly through a small panel of the
// main window, green on black, fading out near its top and bottom edges. Two hidden work panels
// compose each frame with raster copies, so the visible panel changes once per frame.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/draw_panel.h"

namespace kelvora {

// The text's first line starts 30 pixels below the panel's top and climbs one pixel a tick. Once
// it has climbed past 240 above the top (the whole text out of sight) or stands lower than 50
// below it, it starts again at 50 below the top.
constexpr int32_t kScrollerStartY = 30;
constexpr int32_t kScrollerStep = 1;
constexpr int32_t kScrollerHighestY = -240;
constexpr int32_t kScrollerLowestY = 50;
constexpr int32_t kScrollerRestartY = 50;

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

// One tick of the scroller timer: the text climbs a step, or starts again once it has climbed
// out of sight, and the frame is drawn.
void ScrollTick(ScrollerState& scroller, std::string_view text);
// Draws one frame with the text's top-left corner at (x, y).
void DrawScroller(ScrollerState& scroller, int32_t x, int32_t y, std::string_view text);

}  // namespace kelvora
