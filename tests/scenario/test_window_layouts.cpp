// The four windows built from their layouts: sizes, control positions, captions and colours as
// they reach the screen, and the game's routines behind every name they bind.
#include <gtest/gtest.h>

#include <vector>

#include "platform/layouts.h"
#include "support/game_fixture.h"
#include "support/headless_runtime.h"

namespace kelvora {
namespace {

using testing::HeadlessRuntime;

// Every control of the layout is in the window at its place, with its caption or text.
void ExpectBuiltFromLayout(HeadlessRuntime& app, WindowRef window, const WindowLayout& layout) {
    for (const ControlLayout& c : layout.controls) {
        const ControlRef ref = app.runtime.ControlByName(window, c.name);
        ASSERT_TRUE(ref) << c.name;
        EXPECT_EQ(app.ControlRect(window, c.name), (Rect{c.left, c.top, c.width, c.height})) << c.name;
        EXPECT_EQ(app.runtime.GetProperty(ref, Property::Visible), c.visible ? 1 : 0);
        if (c.kind == ControlKind::Label || c.kind == ControlKind::EditBox) {
            EXPECT_EQ(app.runtime.GetTextProperty(ref, Property::Caption), c.caption);
        }
        if (c.kind == ControlKind::Timer) {
            EXPECT_EQ(app.runtime.GetProperty(ref, Property::Interval), c.interval);
        }
    }
}

TEST(WindowLayouts, MainWindow) {
    HeadlessRuntime app;
    const WindowRef main = app.OpenMainWindow();
    ASSERT_TRUE(main);
    ExpectBuiltFromLayout(app, main, MainWindowLayout());
    EXPECT_EQ(app.runtime.GetProperty(main, Property::Width), 530);
    EXPECT_EQ(app.runtime.GetProperty(main, Property::Height), 442);
    // Centred on the screen.
    EXPECT_EQ(app.runtime.GetProperty(main, Property::Left), (1024 - 530) / 2);
    EXPECT_EQ(app.runtime.GetProperty(main, Property::Top), (768 - 442) / 2);
    EXPECT_EQ(app.host.Window(app.runtime.HostWindowOf(main))->title, MainWindowLayout().caption);
    app.SaveScreenshot(main, "main_window");

    EXPECT_EQ(app.ScreenPixel(main, 2, 2), kWindowBackColour);
    EXPECT_EQ(app.ScreenPixel(main, "画板游戏区", 1, 1), 0u);
    EXPECT_EQ(app.ScreenPixel(main, "标签高分名", 0, 0), 0u);
    EXPECT_EQ(app.ScreenPixel(main, "画板1", 3, 3), kButtonFaceColour);
    // The board covers the two rows of the credits line under it; the hidden animation buffer
    // (black) is not drawn over the window.
    EXPECT_EQ(app.ScreenPixel(main, 100, 367), 0u);
    EXPECT_EQ(app.ScreenPixel(main, "画板动画缓冲", 20, 30), kWindowBackColour);
    // Red embossed headings: red text with white beside it.
    EXPECT_GT(app.CountPixels(main, "标签3", 0x0000FF), 100);
    EXPECT_GT(app.CountPixels(main, "标签3", 0xFFFFFF), 20);
    EXPECT_GT(app.CountPixels(main, "标签高分名", 0xFFFFFF), 20);
    // The start button: raised edge, face, black caption.
    EXPECT_EQ(app.ScreenPixel(main, "按钮开始游戏", 0, 0), 0xFFFFFFu);
    EXPECT_EQ(app.ScreenPixel(main, "按钮开始游戏", 105, 27), 0x696969u);
    EXPECT_EQ(app.ScreenPixel(main, "按钮开始游戏", 4, 4), kButtonFaceColour);
    EXPECT_GT(app.CountPixels(main, "按钮开始游戏", 0), 30);
}

TEST(WindowLayouts, HonourRollRowsAreFoundByTag) {
    HeadlessRuntime app;
    const WindowRef main = app.OpenMainWindow();
    const WindowRef honour = app.runtime.LoadWindow(HonourWindowLayout(), main, false);
    ExpectBuiltFromLayout(app, honour, HonourWindowLayout());
    EXPECT_EQ(app.runtime.GetProperty(honour, Property::Width), 331);
    EXPECT_EQ(app.runtime.GetProperty(honour, Property::Height), 321);
    for (int32_t k = 1; k <= 10; ++k) {
        const ControlRef name = app.runtime.ControlByTag(honour, k);
        const ControlRef score = app.runtime.ControlByTag(honour, 10 + k);
        EXPECT_EQ(app.runtime.GetProperty(name, Property::Top), 32 + 25 * (k - 1));
        EXPECT_EQ(app.runtime.GetProperty(name, Property::Left), 61);
        EXPECT_EQ(app.runtime.GetProperty(score, Property::Top), 30 + 25 * (k - 1));
        EXPECT_EQ(app.runtime.GetProperty(score, Property::Left), 207);
    }
    app.runtime.SetProperty(app.runtime.ControlByTag(honour, 1), Property::Caption, "Tovenhal");
    app.runtime.Present();
    EXPECT_GT(app.CountPixels(honour, "标签荣誉榜高分名1", 0x00FF00), 20);
    app.SaveScreenshot(honour, "honour_window");
}

TEST(WindowLayouts, NameEntryAndGameOver) {
    HeadlessRuntime app;
    const WindowRef main = app.OpenMainWindow();
    const WindowRef entry = app.runtime.LoadWindow(NameEntryWindowLayout(), main, false);
    ExpectBuiltFromLayout(app, entry, NameEntryWindowLayout());
    EXPECT_EQ(app.runtime.GetProperty(entry, Property::Width), 331);
    EXPECT_EQ(app.runtime.GetProperty(entry, Property::Height), 233);
    EXPECT_EQ(app.ScreenPixel(entry, "编辑框玩家名称", 0, 0), 0xA0A0A0u);  // sunken edge
    EXPECT_EQ(app.host.TextInputWindow(), app.runtime.HostWindowOf(entry));
    app.SaveScreenshot(entry, "name_entry_window");
    app.runtime.CloseWindow(entry);

    const WindowRef over = app.runtime.LoadWindow(GameOverWindowLayout(), main, false);
    ExpectBuiltFromLayout(app, over, GameOverWindowLayout());
    EXPECT_EQ(app.runtime.GetProperty(over, Property::Width), 353);
    EXPECT_GT(app.CountPixels(over, "标签1", 0x0000FF), 200);
    app.SaveScreenshot(over, "game_over_window");
}

// A name nothing is registered under would be a button or a window that quietly does nothing.
// The started game leaves no name of its four windows unbound; a misspelt one is found, and stops
// a debug build as its window loads; a name cannot be taken twice.
TEST(WindowLayouts, EveryBoundNameReachesARoutineOfTheGame) {
    testing::GameFixture game;
    game.Start();
    Runtime& rt = game.app->runtime;
    for (const WindowLayout* layout :
         {&MainWindowLayout(), &HonourWindowLayout(), &NameEntryWindowLayout(), &GameOverWindowLayout()}) {
        EXPECT_EQ(rt.UnboundHandlers(*layout), std::vector<Text>{}) << layout->caption;
    }

    WindowLayout misspelt = NameEntryWindowLayout();
    ASSERT_EQ(misspelt.controls.front().bindings.front().handler, handlers::kConfirmName);
    misspelt.controls.front().bindings.front().handler = "ConfirmNam";
    EXPECT_EQ(rt.UnboundHandlers(misspelt), std::vector<Text>{"ConfirmNam"});
#if GTEST_HAS_DEATH_TEST
    EXPECT_DEBUG_DEATH(rt.LoadWindow(misspelt, game.app->mainWindow, false), "no handler registered under: ConfirmNam");
    EXPECT_DEBUG_DEATH(EXPECT_FALSE(rt.RegisterHandler(handlers::kNewGame, [](const EventArgs&) {})),
                       "handler registered twice: NewGame");
#elif defined(NDEBUG)
    // Where a test cannot fork (Node), a release build runs both as the death test would: neither
    // stops it, and the second name is refused.
    rt.LoadWindow(misspelt, game.app->mainWindow, false);
    EXPECT_FALSE(rt.RegisterHandler(handlers::kNewGame, [](const EventArgs&) {}));
#else
    GTEST_SKIP() << "no death tests where a test cannot fork (Node)";
#endif
}

TEST(WindowLayouts, GradientLabelUsesThePanelBlend) {
    WindowLayout layout;
    layout.caption = "gradient";
    layout.width = 200;
    layout.height = 100;
    ControlLayout label;
    label.name = "g";
    label.kind = ControlKind::Label;
    label.width = 20;
    label.height = 19;
    label.gradient = {0, 0x524D52, 0};
    layout.controls.push_back(label);
    HeadlessRuntime app;
    const WindowRef w = app.runtime.LoadWindow(layout);
    // 19 rows, three colours: blocks of 9; row 9 is the middle colour, rows 18 the last.
    EXPECT_EQ(app.ScreenPixel(w, 5, 0), 0u);
    EXPECT_EQ(app.ScreenPixel(w, 5, 9), 0x524D52u);
    EXPECT_EQ(app.ScreenPixel(w, 5, 18), 0u);
    EXPECT_NE(app.ScreenPixel(w, 5, 4), 0u);
}

}  // namespace
}  // namespace kelvora
