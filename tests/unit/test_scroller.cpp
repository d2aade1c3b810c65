// The instructions scroller's frames: green text fading near the edges, and its climbing cycle.
#include <gtest/gtest.h>

#include "platform/draw_panel.h"
#include "platform/host/font_service.h"
#include "windows/scroller.h"

namespace kelvora {
namespace {

const char* const kText = "  游戏说明\r\n\r\n  只要将五颗以上\r\n\r\n  颜色相同的球\r\n\r\n  排成一直线或者斜线";

struct ScrollerRig {
    FontService fonts;
    DrawPanel display{140, 58, 0xECECEC, &fonts};
    DrawPanel mask{32, 32, 0xECECEC, &fonts};
    DrawPanel paint{24, 40, 0xECECEC, &fonts};
    ScrollerState scroller;

    ScrollerRig() {
        SetScrollerPanels(scroller, display, mask, paint);
        SetScrollerBackColour(scroller, 0);
        SetScrollerTextColour(scroller, 0x00FF00);
        SetScrollerTopFade(scroller, 15, 0x000001);
        SetScrollerBottomFade(scroller, 15, 0x000001);
        SetScrollerRect(scroller, 0, 0, display.Width(), display.Height());
        scroller.scrollY = 30;
    }

    // The brightest green in rows [top, bottom), and whether anything else than black or a shade
    // of pure green shows there.
    uint32_t BrightestGreen(int32_t top, int32_t bottom, bool& otherColours) const {
        uint32_t best = 0;
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = 0; x < display.Width(); ++x) {
                const uint32_t p = display.PixelAt(x, y);
                if ((p & 0xFF00FFu) > 1u) otherColours = true;
                best = std::max(best, (p >> 8) & 0xFFu);
            }
        }
        return best;
    }

    int32_t FirstLitRow() const {
        for (int32_t y = 0; y < display.Height(); ++y)
            for (int32_t x = 0; x < display.Width(); ++x)
                if (display.PixelAt(x, y) != 0) return y;
        return -1;
    }
};

TEST(Scroller, WorkPanelsTakeTheDisplaySize) {
    ScrollerRig rig;
    EXPECT_EQ(rig.mask.Width(), 140);
    EXPECT_EQ(rig.mask.Height(), 58);
    EXPECT_EQ(rig.paint.Width(), 140);
    EXPECT_EQ(rig.paint.Height(), 58);
    EXPECT_TRUE(rig.display.AutoRedraw());
}

TEST(Scroller, GreenInTheMiddleAndDarkerNearTheEdges) {
    ScrollerRig rig;
    if (!rig.fonts.HasFonts()) GTEST_SKIP() << "no fonts installed";
    // Climb until a line of text stands across the top band, the middle and the bottom band.
    bool otherColours = false;
    uint32_t middle = 0, top = 0, bottom = 0;
    for (int tick = 0; tick < 80; ++tick) {
        ScrollTick(rig.scroller, kText);
        middle = std::max(middle, rig.BrightestGreen(15, 43, otherColours));
        top = std::max(top, rig.BrightestGreen(0, 8, otherColours));
        bottom = std::max(bottom, rig.BrightestGreen(51, 58, otherColours));
    }
    EXPECT_EQ(middle, 0xFFu);
    EXPECT_GT(top, 0u);
    EXPECT_LT(top, 0x90u);  // within 8 pixels of the edge at most half-way up the fade
    EXPECT_GT(bottom, 0u);
    EXPECT_LT(bottom, 0x90u);
    EXPECT_FALSE(otherColours);
}

TEST(Scroller, ClimbsOnePixelATickAndStartsAgainAtFifty) {
    ScrollerRig rig;
    ScrollTick(rig.scroller, kText);
    EXPECT_EQ(rig.scroller.scrollY, 29);
    ScrollTick(rig.scroller, kText);
    EXPECT_EQ(rig.scroller.scrollY, 28);
    rig.scroller.scrollY = -240;
    ScrollTick(rig.scroller, kText);
    EXPECT_EQ(rig.scroller.scrollY, -241);
    ScrollTick(rig.scroller, kText);
    EXPECT_EQ(rig.scroller.scrollY, 50);
    if (rig.fonts.HasFonts()) {
        const int32_t lit = rig.FirstLitRow();
        EXPECT_GE(lit, 50);
    }
    // A full cycle from 50 back to 50 takes 292 ticks.
    int ticks = 0;
    do {
        ScrollTick(rig.scroller, kText);
        ++ticks;
    } while (rig.scroller.scrollY != 50 && ticks < 1000);
    EXPECT_EQ(ticks, 292);
}

}  // namespace
}  // namespace kelvora
