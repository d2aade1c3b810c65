// Text on panels: the font service's faces and glyphs, line breaks of WriteTextAt, colours,
// backgrounds and clipping.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/draw_panel.h"
#include "platform/host/font_service.h"

namespace kelvora {
namespace {

constexpr uint32_t kBlack = 0;
constexpr uint32_t kGreen = 0x0000FF00;

// Opening fontconfig's configuration is slow enough to share one service among the tests.
class TextDrawing : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fonts_ = std::make_unique<FontService>(); }
    static void TearDownTestSuite() { fonts_.reset(); }
    void SetUp() override {
        if (!fonts_->HasFonts()) GTEST_SKIP() << "no font installed";
    }

    static FontService& Fonts() { return *fonts_; }

    DrawPanel Panel(int32_t width, int32_t height) {
        DrawPanel panel(width, height, kBlack, fonts_.get());
        panel.SetTextColour(kGreen);
        return panel;
    }

    // First and last rows holding any pixel other than the background, or {-1, -1}.
    static std::pair<int, int> InkRows(const DrawPanel& panel, uint32_t background = kBlack) {
        int first = -1, last = -1;
        for (int y = 0; y < panel.Height(); ++y) {
            for (int x = 0; x < panel.Width(); ++x) {
                if (panel.PixelAt(x, y) != background) {
                    if (first < 0) first = y;
                    last = y;
                    break;
                }
            }
        }
        return {first, last};
    }

    static std::vector<uint32_t> Snapshot(const DrawPanel& panel) {
        return std::vector<uint32_t>(panel.Pixels(), panel.Pixels() + static_cast<size_t>(panel.Stride()) * panel.Height());
    }

    static int Count(const DrawPanel& panel, uint32_t colour) {
        int n = 0;
        for (int y = 0; y < panel.Height(); ++y) {
            for (int x = 0; x < panel.Width(); ++x) n += panel.PixelAt(x, y) == colour;
        }
        return n;
    }

private:
    static inline std::unique_ptr<FontService> fonts_;
};

TEST_F(TextDrawing, TextIsDrawnInTheTextColourWithinItsLineBox) {
    DrawPanel panel = Panel(200, 60);
    panel.WriteTextAt(10, 20, "只要将五颗以上");
    const int lineHeight = Fonts().LineHeight(panel.Font());
    const int width = Fonts().TextWidth(panel.Font(), "只要将五颗以上");
    EXPECT_GT(lineHeight, 8);
    EXPECT_GT(width, 7 * 8);
    EXPECT_GT(Count(panel, kGreen), 20);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (panel.PixelAt(x, y) == kBlack) continue;
            EXPECT_GE(y, 20);
            EXPECT_LT(y, 20 + lineHeight);
            EXPECT_GE(x, 10 - 2);
            EXPECT_LT(x, 10 + width + 2);
        }
    }
    const Rect dirty = panel.TakeDirtyRect();
    EXPECT_EQ(dirty, (Rect{0, 0, 200, 60}));  // construction covers it all
    panel.WriteTextAt(0, 0, "W");
    EXPECT_EQ(panel.TakeDirtyRect(), (Rect{0, 0, 200, lineHeight}));
}

TEST_F(TextDrawing, EachKindOfLineBreakStartsTheNextLineOneLineHeightPlusTwoLower) {
    const int lineHeight = Fonts().LineHeight(DefaultGuiFont());
    DrawPanel single = Panel(60, 80);
    single.WriteTextAt(5, 3, "W");
    const auto [top, bottom] = InkRows(single);
    ASSERT_GE(top, 3);
    for (const char* text : {"W\r\nW", "W\rW", "W\nW"}) {
        DrawPanel panel = Panel(60, 80);
        panel.WriteTextAt(5, 3, text);
        EXPECT_EQ(InkRows(panel), std::make_pair(top, bottom + lineHeight + 2)) << text;
    }
    // An empty line is as high as a line with text; "\n\r" is two breaks, not one.
    for (const char* text : {"W\r\n\r\nW", "W\n\nW", "W\n\rW"}) {
        DrawPanel panel = Panel(60, 80);
        panel.WriteTextAt(5, 3, text);
        EXPECT_EQ(InkRows(panel), std::make_pair(top, bottom + 2 * (lineHeight + 2))) << text;
    }
    // A break at the very end adds nothing.
    DrawPanel trailing = Panel(60, 80);
    trailing.WriteTextAt(5, 3, "W\r\n");
    EXPECT_EQ(Snapshot(trailing), Snapshot(single));
    // Lines above the panel are stepped over: the second line still lands where it should.
    DrawPanel above = Panel(60, 80);
    above.WriteTextAt(5, 3 - (lineHeight + 2), "W\r\nW");
    EXPECT_EQ(Snapshot(above), Snapshot(single));
}

TEST_F(TextDrawing, TransparentBackgroundKeepsThePanelAndOpaqueFillsTheLineBox) {
    constexpr uint32_t kPaper = 0x00123456;
    DrawPanel transparent(80, 30, kPaper, &Fonts());
    transparent.SetTextColour(kGreen);
    transparent.WriteTextAt(2, 2, "Wi");
    const int lineHeight = Fonts().LineHeight(transparent.Font());
    const int width = Fonts().TextWidth(transparent.Font(), "Wi");
    EXPECT_GT(Count(transparent, kPaper), 80 * 30 - width * lineHeight);

    DrawPanel opaque(80, 30, kPaper, &Fonts());
    opaque.SetTextColour(kGreen);
    opaque.SetTextBackground(0x00FFFFFF);
    opaque.WriteTextAt(2, 2, "Wi");
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 80; ++x) {
            const bool inBox = x >= 2 && x < 2 + width && y >= 2 && y < 2 + lineHeight;
            if (!inBox) {
                EXPECT_EQ(opaque.PixelAt(x, y), kPaper) << x << "," << y;
            } else if (transparent.PixelAt(x, y) == kPaper) {
                EXPECT_EQ(opaque.PixelAt(x, y), 0x00FFFFFFu) << x << "," << y;
            }
        }
    }
}

TEST_F(TextDrawing, UndrawableCharactersAreLeftOutAndTheRestIsDrawn) {
    DrawPanel plain = Panel(80, 30);
    plain.WriteTextAt(0, 0, "AB");
    // A stray lead byte, a lead byte before a byte that cannot follow it, and a control character.
    DrawPanel broken = Panel(80, 30);
    broken.WriteTextAt(0, 0, std::string("\xFF" "A\x81" "\x20" "\x01" "B", 6));
    DrawPanel spaced = Panel(80, 30);
    spaced.WriteTextAt(0, 0, "A B");
    EXPECT_EQ(Snapshot(broken), Snapshot(spaced));
    EXPECT_NE(Snapshot(plain), Snapshot(spaced));
    EXPECT_EQ(Fonts().TextWidth(DefaultGuiFont(), "\xFF"), 0);
}

TEST_F(TextDrawing, FacesAreFoundForTheGamesFontsAndAnyUnknownName) {
    const FontSpec bold{"宋体", 16, 700};
    const FontSpec normal{"宋体", 16, 400};
    DrawPanel thick = Panel(120, 30);
    thick.SetFont(bold);
    thick.WriteTextAt(0, 0, "荣誉榜");
    DrawPanel thin = Panel(120, 30);
    thin.SetFont(normal);
    thin.WriteTextAt(0, 0, "荣誉榜");
    EXPECT_GT(Count(thick, kGreen), Count(thin, kGreen));

    // Antialiased faces may have few fully covered pixels: count every pixel the text touched.
    for (const FontSpec& font : {FontSpec{"黑体", 16, 700}, FontSpec{"MS Serif", 21, 700}, FontSpec{"宋体", 29, 700},
                                 FontSpec{"NoSuchFaceAnywhere", 14, 400}, FontSpec{"宋体", 0, 400},
                                 FontSpec{"\xFF\xFF", 12, 400}}) {
        DrawPanel panel = Panel(200, 60);
        panel.SetFont(font);
        panel.WriteTextAt(0, 0, "0 1 2 您");
        EXPECT_GT(Fonts().LineHeight(font), 0) << font.pixelSize;
        EXPECT_GT(200 * 60 - Count(panel, kBlack), 20) << font.pixelSize;
    }
    // A nonsensical size is capped, not rasterised at millions of pixels.
    const FontSpec absurd{"宋体", INT_MIN, 400};
    EXPECT_GT(Fonts().LineHeight(absurd), 0);
    EXPECT_LT(Fonts().LineHeight(absurd), 1000);
    EXPECT_GT(Fonts().LineHeight(FontSpec{"宋体", 29, 700}), Fonts().LineHeight(FontSpec{"宋体", 12, 400}));
}

TEST_F(TextDrawing, LinesDrawnIntoASubRectangleOfABufferStayInsideIt) {
    // A 20 x 10 control inside a 40 x 30 framebuffer, at (10, 10).
    std::vector<uint32_t> frame(40 * 30, 0x00ABCDEF);
    const PixelTarget control{frame.data() + 10 * 40 + 10, 20, 10, 40};
    for (const auto& [x, y] : {std::pair{-5, -4}, std::pair{12, 3}, std::pair{INT_MIN, 0}, std::pair{0, INT_MAX},
                               std::pair{INT_MAX - 3, -2}}) {
        Fonts().DrawTextLine(DefaultGuiFont(), "WWWW您好", control, x, y, kGreen);
    }
    int inside = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool within = x >= 10 && x < 30 && y >= 10 && y < 20;
            if (!within) {
                EXPECT_EQ(frame[static_cast<size_t>(y) * 40 + x], 0x00ABCDEFu) << x << "," << y;
            }
            inside += within && frame[static_cast<size_t>(y) * 40 + x] != 0x00ABCDEFu;
        }
    }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(Fonts().DrawTextLine(DefaultGuiFont(), "WW", PixelTarget{}, 0, 0, kGreen),
              Fonts().TextWidth(DefaultGuiFont(), "WW"));
    EXPECT_EQ(Fonts().TextWidth(DefaultGuiFont(), "WW"), 2 * Fonts().TextWidth(DefaultGuiFont(), "W"));
}

TEST(TextWithoutFonts, PanelWithoutAFontServiceDrawsNoText) {
    DrawPanel panel(20, 20, 0);
    panel.SetTextColour(kGreen);
    panel.WriteTextAt(0, 0, "W\r\nW");
    EXPECT_EQ(panel.TakeDirtyRect(), (Rect{0, 0, 20, 20}));
    EXPECT_TRUE(panel.TakeDirtyRect().Empty());
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) EXPECT_EQ(panel.PixelAt(x, y), 0u);
    }
}

}  // namespace
}  // namespace kelvora
