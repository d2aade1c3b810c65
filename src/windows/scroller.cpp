// The instructions scroller.
#include "windows/scroller.h"

namespace kelvora {

void SetScrollerPanels(ScrollerState& scroller, DrawPanel& display, DrawPanel& mask, DrawPanel& paint) {
    for (DrawPanel* panel : {&display, &mask, &paint}) panel->SetAutoRedraw(true);
    mask.SetSize(mask.Width(), display.Height());
    paint.SetSize(paint.Width(), display.Height());
    mask.SetSize(display.Width(), mask.Height());
    paint.SetSize(display.Width(), paint.Height());
    scroller.scrollerDisplay = &display;
    scroller.scrollerMask = &mask;
    scroller.scrollerPaint = &paint;
}

void SetScrollerBackColour(ScrollerState& scroller, uint32_t colour) { scroller.scrollerBackColour = colour; }
void SetScrollerTextColour(ScrollerState& scroller, uint32_t colour) { scroller.scrollerTextColour = colour; }

void SetScrollerTopFade(ScrollerState& scroller, int32_t height, uint32_t colour) {
    scroller.topFadeHeight = height;
    scroller.topFadeColour = colour;
}

void SetScrollerBottomFade(ScrollerState& scroller, int32_t height, uint32_t colour) {
    scroller.bottomFadeHeight = height;
    scroller.bottomFadeColour = colour;
}

void SetScrollerRect(ScrollerState& scroller, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    scroller.scrollerRect = {left, top, right, bottom};
}

void ScrollTick(ScrollerState& scroller, std::string_view text) {
    if (scroller.scrollY >= kScrollerHighestY && scroller.scrollY <= kScrollerLowestY) {
        scroller.scrollY -= kScrollerStep;
    } else {
        scroller.scrollY = kScrollerRestartY;
    }
    DrawScroller(scroller, 0, scroller.scrollY, text);
}

void DrawScroller(ScrollerState& scroller, int32_t x, int32_t y, std::string_view text) {
    if (!scroller.scrollerDisplay || !scroller.scrollerMask || !scroller.scrollerPaint) return;
    DrawPanel& mask = *scroller.scrollerMask;
    DrawPanel& paint = *scroller.scrollerPaint;
    DrawPanel& display = *scroller.scrollerDisplay;
    const auto [l, t, r, b] = scroller.scrollerRect;

    // The text as a stencil: white on black.
    mask.SetBrushColour(0);
    mask.FillRectangle(0, 0, mask.Width(), mask.Height());
    mask.SetTextColour(0xFFFFFF);
    mask.WriteTextAt(x, y, text);

    // The colour layer: text colour over the text area, fading at its top and bottom.
    paint.SetBrushColour(0);
    paint.FillRectangle(0, 0, paint.Width(), paint.Height());
    paint.SetBrushColour(scroller.scrollerTextColour);
    paint.FillRectangle(l, t, r, b);
    paint.GradientRect(l, t, r - l, scroller.topFadeHeight, kGradientTopDown, scroller.topFadeColour,
                       scroller.scrollerTextColour);
    paint.GradientRect(l, b - scroller.bottomFadeHeight, r - l, scroller.bottomFadeHeight, kGradientBottomUp,
                       scroller.bottomFadeColour, scroller.scrollerTextColour);
    // Only where the stencil is white does the colour stay. (The text area's right and bottom are
    // used as its size here; the game's area always starts at the corner, where both agree.)
    mask.CopyArea(l, t, r, b, &paint, l, t, kRasterAnd);

    // The background with a hole where the text goes, then the coloured text laid into it.
    mask.SetBrushColour(scroller.scrollerBackColour);
    mask.FillRectangle(0, 0, mask.Width(), mask.Height());
    mask.SetTextColour(0);
    mask.WriteTextAt(x, y, text);
    mask.FillRectangle(0, 0, mask.Width(), t);
    mask.FillRectangle(0, 0, l, mask.Height());
    mask.FillRectangle(r, 0, mask.Width(), mask.Height());
    mask.FillRectangle(0, b, mask.Width(), mask.Height());
    paint.CopyArea(0, 0, paint.Width(), paint.Height(), &mask, 0, 0, kRasterOr);

    // The one change the player sees.
    mask.CopyArea(0, 0, mask.Width(), mask.Height(), &display, 0, 0, kRasterCopy);
}

}  // namespace kelvora
