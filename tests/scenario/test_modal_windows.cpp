// Modal windows over the main window: the nested loop, the parent that takes no input but keeps
// its timers, deferred closing, Esc and Enter, and the end of the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/layouts.h"
#include "support/headless_runtime.h"
#include "support/platform_facts.h"

namespace kelvora {
namespace {

using testing::HeadlessRuntime;

class ModalWindows : public ::testing::Test {
protected:
    HeadlessRuntime app;
    std::vector<std::string> log;
    int newGames = 0;
    int scrollTicks = 0;

    void SetUp() override {
        app.Handle(handlers::kNewGame, [this](const EventArgs&) { ++newGames; });
        app.Handle(handlers::kScrollTick, [this](const EventArgs&) { ++scrollTicks; });
        app.Handle(handlers::kOpenHonourRoll, [this](const EventArgs& e) {
            log.push_back("open");
            e.runtime.LoadWindow(GameOverWindowLayout(), e.window, true);
            log.push_back("returned");
        });
        app.Handle(handlers::kConfirmName, [this](const EventArgs& e) {
            log.push_back("confirm");
            e.runtime.CloseWindow(e.window);
            // Still there until this handler has returned.
            log.push_back(e.runtime.IsOpen(e.window) ? "still open" : "gone");
        });
    }
};

TEST_F(ModalWindows, ParentIgnoresInputButKeepsTicking) {
    const WindowRef main = app.OpenMainWindow();
    const HostWindowId mainHost = app.runtime.HostWindowOf(main);
    app.ClickControl(main, "按钮荣誉榜");
    // With the game-over window open: a click on the main window's start button, its close box
    // and Esc all do nothing; a second of its timer goes by.
    app.Then([&] {
        EXPECT_NE(app.runtime.TopWindow(), main);
        const Rect start = app.ControlRect(main, "按钮开始游戏");
        app.host.Click(Point{start.left + 5, start.top + 5}, mainHost);
        app.host.RequestClose(mainHost);
        app.host.PressKey(Key::Escape, 0, mainHost);
        app.host.Pause(1000);
        app.host.Then([&] { log.push_back("ticks " + std::to_string(scrollTicks)); });
        app.host.PressKey(Key::Escape);  // the top window: game over
    });
    app.runtime.RunUntil([&] { return log.size() >= 3; }, 5000);

    EXPECT_EQ(newGames, 0);
    EXPECT_TRUE(app.runtime.IsOpen(main));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "open");
    EXPECT_GE(scrollTicks, 10);
    EXPECT_EQ(log[2], "returned");
    // Input reaches the main window again afterwards.
    app.ClickControl(main, "按钮开始游戏");
    app.runtime.RunFor(10);
    EXPECT_EQ(newGames, 1);
}

TEST_F(ModalWindows, CloseTakesEffectAfterTheHandlerAndEnterPressesNothing) {
    app.OpenMainWindow();
    app.host.PressKey(Key::Enter);             // no default button
    app.ClickControl("按钮确定");
    const WindowRef entry = app.runtime.LoadWindow(NameEntryWindowLayout(), app.runtime.MainWindow(), true);
    EXPECT_FALSE(entry);  // gone by the time the modal load returns
    EXPECT_EQ(log, (std::vector<std::string>{"confirm", "still open"}));
    EXPECT_EQ(app.runtime.TopWindow(), app.runtime.MainWindow());
}

TEST_F(ModalWindows, EscClosesSecondaryWindowsEvenFromTheNameField) {
    const WindowRef main = app.OpenMainWindow();
    app.TypeText("x");   // the field has the focus
    app.PressEsc();
    app.runtime.LoadWindow(NameEntryWindowLayout(), main, true);
    EXPECT_TRUE(log.empty());  // ConfirmName never ran

    // Esc on the main window does nothing.
    app.host.PressKey(Key::Escape, 0, app.runtime.HostWindowOf(main));
    app.runtime.RunFor(50);
    EXPECT_TRUE(app.runtime.IsOpen(main));
}

TEST_F(ModalWindows, NestedModalsUnwindInOrder) {
    const WindowRef main = app.OpenMainWindow();
    app.Handle(handlers::kConfirmName, [this](const EventArgs& e) {
        log.push_back("inner open");
        e.runtime.LoadWindow(GameOverWindowLayout(), e.window, true);
        log.push_back("inner returned");
        EXPECT_TRUE(e.runtime.IsOpen(e.window));
    });
    app.ClickControl("按钮确定");
    app.Then([&] {
        // The name-entry window is now the disabled parent: its button does nothing.
        const WindowRef entry{app.runtime.WindowState(app.runtime.TopWindow())->parent};
        const Rect ok = app.ControlRect(entry, "按钮确定");
        app.host.Click(Point{ok.left + 3, ok.top + 3}, app.runtime.HostWindowOf(entry));
        app.host.RequestClose();  // game over
    });
    app.CloseTopWindow();  // then the name entry
    app.runtime.LoadWindow(NameEntryWindowLayout(), main, true);
    EXPECT_EQ(log, (std::vector<std::string>{"inner open", "inner returned"}));
    EXPECT_EQ(app.runtime.TopWindow(), main);
}

TEST_F(ModalWindows, ClosingTwiceAndStaleReferencesAreHarmless) {
    const WindowRef main = app.OpenMainWindow();
    const WindowRef over = app.runtime.LoadWindow(GameOverWindowLayout(), main, false);
    ASSERT_TRUE(over);
    const ControlRef label = app.runtime.ControlByName(over, "标签1");
    app.runtime.CloseWindow(over);
    app.runtime.CloseWindow(over);
    EXPECT_FALSE(app.runtime.IsOpen(over));
    app.runtime.SetProperty(label, Property::Caption, "late");
    EXPECT_EQ(app.runtime.GetTextProperty(label, Property::Caption), "");
    EXPECT_EQ(app.runtime.ClientWidth(over), 0);
    EXPECT_TRUE(app.runtime.IsOpen(main));
}

TEST_F(ModalWindows, ClosingTheMainWindowEndsTheLoop) {
    const WindowRef main = app.OpenMainWindow();
    app.host.Pause(300);
    app.host.RequestClose(app.runtime.HostWindowOf(main));
    app.runtime.RunEventLoop();
    EXPECT_TRUE(app.runtime.Ended());
    EXPECT_FALSE(app.runtime.IsOpen(main));
    EXPECT_TRUE(app.host.OpenWindows().empty());
    EXPECT_EQ(app.host.NowMs(), 300);
    // The tick due at the moment of closing comes after the close, so never.
    EXPECT_EQ(scrollTicks, 2);
}

TEST_F(ModalWindows, QuitFromInsideAModalWindowRunsTheEndHook) {
    const WindowRef main = app.OpenMainWindow();
    bool ended = false;
    app.runtime.SetEndHook([&] { ended = true; });
    app.ClickControl(main, "按钮荣誉榜");
    app.host.RequestQuit();
    app.runtime.RunEventLoop();
    EXPECT_TRUE(ended);
    EXPECT_EQ(log, (std::vector<std::string>{"open", "returned"}));
    // Nothing opens any more once the program has ended.
    EXPECT_FALSE(app.runtime.LoadWindow(GameOverWindowLayout(), main, true));
}

TEST(MissingTag, IsTheFatalReport) {
    HeadlessRuntime app;
    const WindowRef main = app.OpenMainWindow();
    EXPECT_EQ(app.runtime.ControlByTag(main, 22), app.runtime.ControlByName(main, "标签最高分"));
#if GTEST_HAS_DEATH_TEST
    EXPECT_EXIT(app.runtime.ControlByTag(main, 23), ::testing::ExitedWithCode(testing::FatalExitCode()),
                reinterpret_cast<const char*>(u8"未找到指定标记的组件"));
#else
    GTEST_SKIP() << "no death tests where a test cannot fork (Node)";
#endif
    // An empty tag is no tag, though it would read as 0.
#if GTEST_HAS_DEATH_TEST
    EXPECT_EXIT(app.runtime.ControlByTag(main, 0), ::testing::ExitedWithCode(testing::FatalExitCode()), "");
#else
    GTEST_SKIP() << "no death tests where a test cannot fork (Node)";
#endif
}

}  // namespace
}  // namespace kelvora
