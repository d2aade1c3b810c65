// Input on windows: panel presses, dragging the main window, placement over the main window, the
// name field's editing, the keyboard's focus and buttons, timers on virtual time and what reaches
// the screen when.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/layouts.h"
#include "support/headless_runtime.h"

namespace kelvora {
namespace {

using testing::HeadlessRuntime;
using testing::Utf8;

TEST(WindowInput, BoardPressIsNotADragButLabelsAndBackgroundAre) {
    HeadlessRuntime app;
    Point pressed{-1, -1};
    uint32_t flags = 0;
    app.Handle(handlers::kHandleBoardPress, [&](const EventArgs& e) {
        pressed = Point{e.x, e.y};
        flags = e.flags;
    });
    const WindowRef main = app.OpenMainWindow();
    const HostWindowId host = app.runtime.HostWindowOf(main);
    const Point start = app.host.WindowPosition(host);

    app.host.MouseDown(Point{8 + 45, 8 + 85}, host, kModifierCtrl | kModifierAlt);
    app.host.MouseMoveBy(30, 20);
    app.host.MouseUp(Point{0, 0}, host);
    app.runtime.RunFor(10);
    EXPECT_EQ(pressed, (Point{45, 85}));
    EXPECT_EQ(flags, kModifierCtrl | kModifierAlt);
    EXPECT_EQ(app.host.WindowPosition(host), start);

    for (const Point grab : {Point{395, 290} /* 标签3 */, Point{3, 3} /* background */, Point{400, 190} /* 标签分数 */}) {
        const Point before = app.host.WindowPosition(host);
        app.host.MouseDown(grab, host);
        app.host.MouseMoveBy(30, 20);
        app.host.MouseMoveBy(-5, 1);
        app.host.MouseUp(Point{0, 0}, host);
        app.runtime.RunFor(10);
        EXPECT_EQ(app.host.WindowPosition(host), (Point{before.x + 25, before.y + 21}));
    }

    // A secondary window's label does not drag it.
    const WindowRef over = app.runtime.LoadWindow(GameOverWindowLayout(), main, false);
    const HostWindowId overHost = app.runtime.HostWindowOf(over);
    const Point overAt = app.host.WindowPosition(overHost);
    app.host.MouseDown(Point{100, 60}, overHost);
    app.host.MouseMoveBy(40, 40);
    app.host.MouseUp(Point{0, 0}, overHost);
    app.runtime.RunFor(10);
    EXPECT_EQ(app.host.WindowPosition(overHost), overAt);
}

TEST(WindowInput, SecondaryWindowsCentreOnTheMovedMainWindow) {
    HeadlessRuntime app;
    const WindowRef main = app.OpenMainWindow();
    // The client area fixed as the game does at start-up, then the window dragged off centre.
    app.runtime.SetProperty(main, Property::Height, app.runtime.GetProperty(main, Property::Height) -
                                                        app.runtime.ClientHeight(main) + 390);
    app.runtime.SetProperty(main, Property::Width, app.runtime.GetProperty(main, Property::Width) -
                                                       app.runtime.ClientWidth(main) + 523);
    EXPECT_EQ(app.runtime.ClientWidth(main), 523);
    EXPECT_EQ(app.runtime.ClientHeight(main), 390);
    app.runtime.SetProperty(main, Property::Left, 13);
    app.runtime.SetProperty(main, Property::Top, -7);
    const int32_t mainW = app.runtime.GetProperty(main, Property::Width);
    const int32_t mainH = app.runtime.GetProperty(main, Property::Height);

    WindowLayout wide = GameOverWindowLayout();
    wide.width = 600;  // wider than the main window: the negative half truncates toward zero
    for (const WindowLayout* layout : {&NameEntryWindowLayout(), &GameOverWindowLayout(), &static_cast<const WindowLayout&>(wide)}) {
        const WindowRef w = app.runtime.LoadWindow(*layout, main, false);
        EXPECT_EQ(app.runtime.GetProperty(w, Property::Left), 13 + (mainW - layout->width) / 2);
        EXPECT_EQ(app.runtime.GetProperty(w, Property::Top), -7 + (mainH - layout->height) / 2);
        const int32_t centreX = app.runtime.GetProperty(w, Property::Left) + layout->width / 2;
        EXPECT_LE(std::abs(centreX - (13 + mainW / 2)), 1);
        app.runtime.CloseWindow(w);
    }
}

class NameField : public ::testing::Test {
protected:
    HeadlessRuntime app;
    WindowRef entry;
    ControlRef field;

    void SetUp() override {
        const WindowRef main = app.OpenMainWindow();
        entry = app.runtime.LoadWindow(NameEntryWindowLayout(), main, false);
        field = app.runtime.ControlByName(entry, "编辑框玩家名称");
    }
    Text Value() { return app.runtime.GetTextProperty(field, Property::Text); }
    void Run() { app.runtime.RunFor(5); }
};

TEST_F(NameField, TypingReplacesTheSelectedNameAndRefusesWhatGbkCannotWrite) {
    EXPECT_EQ(Value(), "Tovenhal");
    app.TypeText(Utf8(u8"王"));
    app.TypeText("\xF0\x9F\x98\x80");  // an emoji: refused, the field stays as it was
    app.TypeText(Utf8(u8"小明"));
    Run();
    EXPECT_EQ(Value(), "王小明");
    app.PressKey(Key::Left);
    app.PressKey(Key::Backspace);
    app.PressKey(Key::Home);
    app.PressKey(Key::Delete);
    Run();
    EXPECT_EQ(Value(), "明");
    app.PressKey(Key::Enter);
    Run();
    EXPECT_EQ(Value(), "明");
    EXPECT_TRUE(app.runtime.IsOpen(entry));
}

TEST_F(NameField, CompositionShowsUntilCommitted) {
    app.PressKey(Key::End);
    app.host.Compose("ni");
    Run();
    EXPECT_EQ(app.runtime.ControlState(field)->composition, "ni");
    EXPECT_EQ(Value(), "Tovenhal");
    app.TypeText(Utf8(u8"你"));
    Run();
    EXPECT_EQ(app.runtime.ControlState(field)->composition, "");
    EXPECT_EQ(Value(), "Tovenhal你");
}

TEST_F(NameField, ClipboardKeysAndPastedLineBreaks) {
    app.PressKey(Key::A, kModifierCtrl);
    app.PressKey(Key::C, kModifierCtrl);
    app.PressKey(Key::End);
    app.PressKey(Key::V, kModifierCtrl);
    Run();
    EXPECT_EQ(app.host.ClipboardText(), "Tovenhal");
    EXPECT_EQ(Value(), "TovenhalTovenhal");

    app.PressKey(Key::Home);
    app.PressKey(Key::Right, kModifierShift);
    app.PressKey(Key::Right, kModifierShift);
    app.PressKey(Key::X, kModifierCtrl);
    Run();
    EXPECT_EQ(Value(), "venhalTovenhal");
    EXPECT_EQ(app.host.ClipboardText(), "To");

    // A line break in the clipboard ends the pasted text: a name never spans lines.
    app.host.SetClipboardText(Utf8(u8"李四\r\n0000999Cheat"));
    app.PressKey(Key::A, kModifierCtrl);
    app.PressKey(Key::V, kModifierCtrl);
    Run();
    EXPECT_EQ(Value(), "李四");
    app.host.SetClipboardText("bad\xF0\x9F\x98\x80");
    app.PressKey(Key::V, kModifierCtrl);
    Run();
    EXPECT_EQ(Value(), "李四");
}

TEST_F(NameField, AMegabytePasteStaysResponsive) {
    std::string big(1 << 20, 'x');
    for (size_t i = 0; i < big.size(); i += 4) big.replace(i, 3, Utf8(u8"荣"));
    app.host.SetClipboardText(big);
    app.PressKey(Key::V, kModifierCtrl);
    app.PressKey(Key::Backspace);
    Run();
    const Text value = Value();
    EXPECT_GT(value.size(), 600000u);
    // The caret is at the end and the end of the text is in view.
    const Control* c = app.runtime.ControlState(field);
    EXPECT_EQ(c->edit->Caret(), value.size());
    EXPECT_GT(c->scrollStart, value.size() - 200);
}

TEST_F(NameField, ClickPlacesTheCaretOnACharacterBoundary) {
    app.runtime.SetProperty(field, Property::Text, "荣誉榜荣誉榜");
    app.ClickInControl("编辑框玩家名称", Point{140, 10});
    Run();
    const Control* c = app.runtime.ControlState(field);
    EXPECT_EQ(c->edit->Caret() % 2, 0u);
    EXPECT_GT(c->edit->Caret(), 0u);
    app.ClickInControl("编辑框玩家名称", Point{1, 10});
    Run();
    EXPECT_EQ(c->edit->Caret(), 0u);
}

// Tab, Shift+Tab, Space and the access key work the buttons as a desktop dialog's keys do; a
// held key presses once; Enter presses no button; the focus shows from the first Tab until the
// mouse is used.
TEST(KeyboardFocus, ButtonsAndFieldsAsInADialog) {
    HeadlessRuntime app;
    int newGames = 0;
    int rolls = 0;
    std::vector<Text> confirmed;
    app.Handle(handlers::kNewGame, [&](const EventArgs&) { ++newGames; });
    app.Handle(handlers::kOpenHonourRoll, [&](const EventArgs&) { ++rolls; });
    app.Handle(handlers::kConfirmName, [&](const EventArgs& e) {
        confirmed.push_back(e.runtime.GetTextProperty(e.runtime.ControlByName(e.window, "编辑框玩家名称"), Property::Text));
    });
    const WindowRef main = app.OpenMainWindow();
    const ControlRef board = app.runtime.ControlByName(main, "画板游戏区");
    auto run = [&] { app.runtime.RunFor(5); };
    // The dots of a focus frame along a button's top: black on every other pixel of its row 3.
    auto dots = [&](WindowRef window, const char* button) {
        int32_t n = 0;
        for (int32_t x = 3; x < app.ControlRect(window, button).width - 3; ++x) n += app.ScreenPixel(window, button, x, 3) == 0;
        return n;
    };

    // The keyboard starts on the board, unseen; Tab goes on to the start button and shows it there.
    EXPECT_EQ(dots(main, "按钮开始游戏"), 0);
    app.PressKey(Key::Tab);
    run();
    EXPECT_GT(dots(main, "按钮开始游戏"), 40);
    app.PressKey(Key::Space);
    app.host.RepeatKey(Key::Space);
    app.PressKey(Key::Enter);
    run();
    EXPECT_EQ(newGames, 1);
    app.PressKey(Key::Tab);
    run();
    EXPECT_EQ(dots(main, "按钮开始游戏"), 0);
    EXPECT_GT(dots(main, "按钮荣誉榜"), 40);
    app.PressKey(Key::Space);
    run();
    EXPECT_EQ(rolls, 1);
    // Round the window backwards to the board, whose focus shows as its cursor.
    app.PressKey(Key::Tab, kModifierShift);
    app.PressKey(Key::Tab, kModifierShift);
    run();
    EXPECT_EQ(dots(main, "按钮荣誉榜"), 0);
    EXPECT_TRUE(app.runtime.ControlState(board)->cursorShown);
    // F2 is the start button from anywhere in the window.
    app.PressKey(Key::F2);
    app.host.RepeatKey(Key::F2);
    run();
    EXPECT_EQ(newGames, 2);
    // A click works the button as it always did and takes the keyboard's marks away.
    app.ClickControl(main, "按钮荣誉榜");
    run();
    EXPECT_EQ(rolls, 2);
    EXPECT_EQ(dots(main, "按钮荣誉榜"), 0);
    EXPECT_FALSE(app.runtime.ControlState(board)->cursorShown);

    // The name window: the field, then its button. Space confirms; Enter and a held Esc do not.
    const WindowRef entry = app.runtime.LoadWindow(NameEntryWindowLayout(), main, false);
    const ControlRef field = app.runtime.ControlByName(entry, "编辑框玩家名称");
    app.TypeText("Bob");
    app.PressKey(Key::Tab);
    app.PressKey(Key::Enter);
    app.host.RepeatKey(Key::Escape);
    run();
    EXPECT_GT(dots(entry, "按钮确定"), 20);
    EXPECT_FALSE(app.runtime.ControlState(field)->focused);
    EXPECT_TRUE(confirmed.empty());
    EXPECT_TRUE(app.runtime.IsOpen(entry));
    // Back in the field its text is selected, so typing replaces it.
    app.PressKey(Key::Tab, kModifierShift);
    app.TypeText("Al");
    app.PressKey(Key::Tab);
    app.PressKey(Key::Space);
    app.host.RepeatKey(Key::Space);
    run();
    EXPECT_EQ(confirmed, (std::vector<Text>{"Al"}));
}

TEST(WindowTimers, IntervalWritesOnVirtualTime) {
    HeadlessRuntime app;
    std::vector<int64_t> ticks;
    app.Handle(handlers::kSelectionTick, [&](const EventArgs& e) {
        ticks.push_back(app.host.NowMs());
        // A long handler: the tick due meanwhile comes once, afterwards.
        if (ticks.size() == 2) e.runtime.SleepMs(500);
    });
    const WindowRef main = app.OpenMainWindow();
    const ControlRef timer = app.runtime.ControlByName(main, "时钟选中动画");
    app.runtime.RunFor(1000);
    EXPECT_TRUE(ticks.empty());
    app.runtime.SetProperty(timer, Property::Interval, 180);
    app.runtime.RunFor(100);
    app.runtime.SetProperty(timer, Property::Interval, 180);  // the same value: rhythm kept
    app.runtime.RunFor(1000);
    app.runtime.SetProperty(timer, Property::Interval, 0);
    app.runtime.RunFor(1000);
    ASSERT_EQ(ticks.size(), 4u);
    EXPECT_EQ(ticks[0], 1180);
    EXPECT_EQ(ticks[1], 1360);
    EXPECT_EQ(ticks[2], 1860);  // after the 500 ms pause, not three ticks at once
    EXPECT_EQ(ticks[3], 2040);
}

TEST(Presenting, DrawingReachesTheScreenBeforeEveryPauseAndOnlyWhatChanged) {
    HeadlessRuntime app;
    const WindowRef main = app.OpenMainWindow();
    const HostWindowId host = app.runtime.HostWindowOf(main);
    DrawPanel* board = app.runtime.Panel(app.runtime.ControlByName(main, "画板游戏区"));
    ASSERT_NE(board, nullptr);
    board->SetBrushColour(0x0000FF);
    board->FillRectangle(40, 40, 80, 80);
    EXPECT_EQ(app.ScreenPixel(main, "画板游戏区", 50, 50), 0u);  // not yet shown
    const int64_t presents = app.host.Window(host)->presentCount;
    app.runtime.SleepMs(30);
    EXPECT_EQ(app.ScreenPixel(main, "画板游戏区", 50, 50), 0x0000FFu);
    EXPECT_EQ(app.host.Window(host)->presentCount, presents + 1);
    EXPECT_EQ(app.host.Window(host)->lastAreas, (std::vector<Rect>{Rect{48, 48, 40, 40}}));

    // Locked: nothing reaches the screen until the lock is released.
    app.runtime.LockRedraw(main);
    board->FillRectangle(0, 0, 10, 10);
    app.runtime.SetProperty(app.runtime.ControlByName(main, "标签分数"), Property::Visible, 0);
    app.runtime.SleepMs(30);
    app.runtime.RunFor(300);
    EXPECT_EQ(app.ScreenPixel(main, "画板游戏区", 5, 5), 0u);
    app.runtime.UnlockRedraw();
    EXPECT_EQ(app.ScreenPixel(main, "画板游戏区", 5, 5), 0x0000FFu);
    EXPECT_EQ(app.ScreenPixel(main, 400, 190), kWindowBackColour);
}

}  // namespace
}  // namespace kelvora
