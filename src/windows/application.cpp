// Start-up, the main window's handlers, the honour-roll window and the end of a game.
#include "windows/application.h"

#include <cstdlib>

#include "assets/instructions_text.h"
#include "game/spawning.h"
#include "game/turn.h"
#include "platform/fatal.h"
#include "platform/gbk.h"
#include "platform/picture.h"
#include "presentation/board_drawing.h"
#include "presentation/sound_effects.h"
#include "presentation/sprites.h"
#include "skin/embedded_skin.h"

namespace kelvora {
namespace {

constexpr int32_t kClientWidth = 523;
constexpr int32_t kClientHeight = 390;
constexpr const char* kDefaultPlayerName = "Tovenhal";

Text FromSystemPath(const std::string& utf8) {
    Conversion gbk = Utf8ToGbk(utf8);
    return gbk.ok && !gbk.text.empty() ? gbk.text : Text(".");
}

ControlRef Named(Application& app, const char* name) { return app.runtime.ControlByName(app.mainWindow, name); }

void FindMainControls(Application& app) {
    MainControls& c = app.controls;
    c.gameArea = Named(app, "画板游戏区");
    c.buffer = Named(app, "画板动画缓冲");
    c.preview = Named(app, "画板后继球");
    c.scoreLabel = Named(app, "标签分数");
    c.bestNameLabel = Named(app, "标签高分名");
    c.bestScoreLabel = Named(app, "标签最高分");
    c.selectionTimer = Named(app, "时钟选中动画");
    c.scrollerDisplay = Named(app, "画板1");
    c.scrollerMask = Named(app, "画板2");
    c.scrollerPaint = Named(app, "画板3");
    app.stage.gameArea = app.runtime.Panel(c.gameArea);
    app.stage.buffer = app.runtime.Panel(c.buffer);
    app.stage.preview = app.runtime.Panel(c.preview);
    app.stage.pictures = &app.runtime.Pictures();
    app.stage.random = &app.runtime.Random();
}

void SetUpScroller(Application& app) {
    Runtime& rt = app.runtime;
    const MainControls& c = app.controls;
    rt.SetProperty(c.scrollerDisplay, Property::AutoRedraw, 1);
    rt.SetProperty(c.scrollerDisplay, Property::Visible, 1);
    rt.SetProperty(c.scrollerMask, Property::AutoRedraw, 1);
    rt.SetProperty(c.scrollerMask, Property::Visible, 0);
    rt.SetProperty(c.scrollerPaint, Property::AutoRedraw, 1);
    rt.SetProperty(c.scrollerPaint, Property::Visible, 0);
    const int32_t height = rt.GetProperty(c.scrollerDisplay, Property::Height);
    rt.SetProperty(c.scrollerMask, Property::Height, height);
    rt.SetProperty(c.scrollerPaint, Property::Height, height);
    const int32_t width = rt.GetProperty(c.scrollerDisplay, Property::Width);
    rt.SetProperty(c.scrollerMask, Property::Width, width);
    rt.SetProperty(c.scrollerPaint, Property::Width, width);
    DrawPanel* display = rt.Panel(c.scrollerDisplay);
    DrawPanel* mask = rt.Panel(c.scrollerMask);
    DrawPanel* paint = rt.Panel(c.scrollerPaint);
    if (!display || !mask || !paint) return;
    SetScrollerPanels(app.scroller, *display, *mask, *paint);
    SetScrollerBackColour(app.scroller, 0);
    SetScrollerTextColour(app.scroller, 0x00FF00);
    SetScrollerTopFade(app.scroller, 15, 0x000001);
    SetScrollerBottomFade(app.scroller, 15, 0x000001);
    SetScrollerRect(app.scroller, 0, 0, width, height);
    app.scroller.scrollY = 30;
}

void FixClientSize(Application& app) {
    Runtime& rt = app.runtime;
    const WindowRef w = app.mainWindow;
    rt.SetProperty(w, Property::Height, rt.GetProperty(w, Property::Height) - rt.ClientHeight(w) + kClientHeight);
    rt.SetProperty(w, Property::Width, rt.GetProperty(w, Property::Width) - rt.ClientWidth(w) + kClientWidth);
}

void SetControlProperties(Application& app) {
    Runtime& rt = app.runtime;
    const MainControls& c = app.controls;
    auto place = [&](ControlRef control, int32_t left, int32_t top) {
        rt.SetProperty(control, Property::Left, left);
        rt.SetProperty(control, Property::Top, top);
    };
    place(c.gameArea, 8, 8);
    rt.SetProperty(c.gameArea, Property::PenWidth, 0);
    rt.SetProperty(c.gameArea, Property::BrushType, 1);
    rt.SetProperty(c.buffer, Property::PenWidth, 0);
    rt.SetProperty(c.buffer, Property::BrushType, 1);
    place(c.preview, 388, 104);
    rt.SetProperty(c.preview, Property::PenWidth, 0);
    rt.SetProperty(c.preview, Property::PenColour, static_cast<int32_t>(kGridColour));
    rt.SetProperty(c.preview, Property::BrushType, 1);
    rt.SetProperty(c.preview, Property::BrushColour, 0);
    place(c.scoreLabel, 392, 186);
    place(c.bestNameLabel, 394, 318);
    place(c.bestScoreLabel, 394, 343);
}

void OpenHonourRoll(Application& app) {
    PlayClickSound(app.stage);
    app.runtime.LoadWindow(HonourWindowLayout(), app.mainWindow, true);
}

void RegisterHandlers(Application& app) {
    Runtime& rt = app.runtime;
    rt.RegisterHandler(handlers::kSetUpMainWindow, [&app](const EventArgs& args) {
        app.mainWindow = args.window;
        SetUpMainWindow(app);
    });
    rt.RegisterHandler(handlers::kHandleBoardPress,
                       [&app](const EventArgs& args) { HandleBoardPress(app.stage, app.game, args.x, args.y); });
    rt.RegisterHandler(handlers::kNewGame, [&app](const EventArgs&) { NewGame(app.stage, app.game); });
    rt.RegisterHandler(handlers::kOpenHonourRoll, [&app](const EventArgs&) { OpenHonourRoll(app); });
    rt.RegisterHandler(handlers::kSelectionTick,
                       [&app](const EventArgs&) { SelectionTick(app.stage, app.game, app.animation); });
    rt.RegisterHandler(handlers::kScrollTick, [&app](const EventArgs&) { ScrollTick(app.scroller, kInstructionsText); });
    rt.RegisterHandler(handlers::kFillHonourWindow, [&app](const EventArgs& args) { FillHonourWindow(app, args.window); });
    rt.RegisterHandler(handlers::kCentreOnMainWindow,
                       [&app](const EventArgs& args) { app.runtime.CentreOnMainWindow(args.window); });
    rt.RegisterHandler(handlers::kConfirmName, [&app](const EventArgs& args) { ConfirmName(app, args.window); });
}

}  // namespace

void MainStage::SleepMs(int32_t ms) { app_.runtime.SleepMs(ms); }
uint32_t MainStage::TickMs() { return app_.runtime.TickMs(); }
void MainStage::PlaySound(std::span<const uint8_t> clip) { app_.runtime.PlaySound(clip); }
void MainStage::SetSelectionTimerInterval(int32_t ms) {
    app_.runtime.SetProperty(app_.controls.selectionTimer, Property::Interval, ms);
}
void MainStage::SetScoreCaption(const Text& caption) {
    app_.runtime.SetProperty(app_.controls.scoreLabel, Property::Caption, caption);
}
void MainStage::LockRedraw() { app_.runtime.LockRedraw(app_.mainWindow); }
void MainStage::UnlockRedraw() { app_.runtime.UnlockRedraw(); }
void MainStage::EndGame() { kelvora::EndGame(app_); }

Application::Application(std::unique_ptr<Host> host) : runtime(std::move(host)) {
    const Text programDirectory = FromSystemPath(runtime.GetHost().ProgramDirectoryPath());
    const Text userDirectory = FromSystemPath(runtime.GetHost().UserDataDirectoryPath());
    dataDirectory = ChooseDataDirectory(programDirectory, userDirectory);
}

void ShowScore(Runtime& runtime, ControlRef label, int32_t value) {
    runtime.SetProperty(label, Property::Caption, ScoreCaption(value));
}

void SetUpMainWindow(Application& app) {
    FindMainControls(app);
    ApplySkin(app.skin, app.dataDirectory, EmbeddedSkinLibrary(), EmbeddedSkin());
    SetUpScroller(app);
    FixClientSize(app);
    SetControlProperties(app);
    app.game.selectionStyle = 2;
    if (app.stage.preview) DrawPreviewFrame(*app.stage.preview);
    LoadHonourRoll(app.honour, app.dataDirectory);
    ShowBestOnMainWindow(app);
    NewGame(app.stage, app.game);
}

void ShowBestOnMainWindow(Application& app) {
    const Text& best = app.honour.honourRoll.empty() ? Text() : app.honour.honourRoll.front();
    app.runtime.SetProperty(app.controls.bestNameLabel, Property::Caption, EntryName(best));
    ShowScore(app.runtime, app.controls.bestScoreLabel, EntryScore(best));
}

void FillHonourWindow(Application& app, WindowRef window) {
    app.runtime.CentreOnMainWindow(window);
    const std::vector<Text> roll = app.honour.honourRoll;
    for (int32_t k = 1; k <= kHonourPlaces; ++k) {
        const Text entry = k <= static_cast<int32_t>(roll.size()) ? roll[k - 1] : Text();
        app.runtime.SetProperty(app.runtime.ControlByTag(window, k), Property::Caption, EntryName(entry));
        ShowScore(app.runtime, app.runtime.ControlByTag(window, k + 10), EntryScore(entry));
    }
}

void EndGame(Application& app) {
    Runtime& rt = app.runtime;
    app.game.nextBalls.clear();
    app.stage.SetSelectionTimerInterval(0);
    const Text padded = PaddedScore(app.game.score);
    if (const auto place = FindHonourRank(app.honour, padded)) {
        PlayFanfareSound(app.stage);
        rt.LoadWindow(NameEntryWindowLayout(), app.mainWindow, true);
        // Closing the main window ends the program at once: nothing more is saved or shown.
        if (rt.Ended()) return;
        InsertHonour(app.honour, *place, padded + app.honour.playerName);
        rt.LoadWindow(HonourWindowLayout(), app.mainWindow, true);
    } else {
        PlayBlockedSound(app.stage);
        rt.LoadWindow(GameOverWindowLayout(), app.mainWindow, true);
    }
    if (rt.Ended()) return;
    NewGame(app.stage, app.game);
}

void ConfirmName(Application& app, WindowRef window) {
    PlayClickSound(app.stage);
    const Text typed = app.runtime.GetTextProperty(app.runtime.ControlByName(window, "编辑框玩家名称"), Property::Text);
    app.honour.playerName = typed.empty() ? Text(kDefaultPlayerName) : typed;
    app.runtime.CloseWindow(window);
}

void StartKelvora(Application& app) {
    RegisterHandlers(app);
    app.runtime.LoadWindow(MainWindowLayout());
}

int RunKelvora(std::unique_ptr<Host> host, const std::function<void()>& started) {
    Application app(std::move(host));
    // Closing the main window (or the session ending) while a turn or a modal window is still
    // running ends the program at once: nothing is left to save, and no half-finished handler
    // may go on to write the honour file.
    app.runtime.SetEndHook([] { std::_Exit(0); });
    // The red ball, awake, as the icon of every window; its magenta background is see-through.
    if (const std::optional<Picture> ball = DecodeBitmap(SpriteFor(kRed, 2))) {
        app.runtime.GetHost().SetWindowIcon(ball->pixels, Size{ball->width, ball->height}, 0x00FF00FF);
    }
    StartKelvora(app);
    if (started) started();
    app.runtime.RunEventLoop();
    return 0;
}

}  // namespace kelvora
