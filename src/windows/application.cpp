// Start-up: the application, the handlers bound to the layouts' names, and the main window's set-up.
#include "windows/application.h"

#include <cstdlib>

#include "assets/instructions_text.h"
#include "game/spawning.h"
#include "platform/picture.h"
#include "presentation/board_drawing.h"
#include "presentation/sprites.h"
#include "skin/embedded_skin.h"
#include "windows/data_folder.h"
#include "windows/end_of_game.h"
#include "windows/honour_window.h"
#include "windows/main_window.h"

namespace kelvora {
namespace {

constexpr int32_t kClientWidth = 523;
constexpr int32_t kClientHeight = 390;

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
    app.scroller.scrollY = kScrollerStartY;
}

void FixClientSize(Application& app) {
    Runtime& rt = app.runtime;
    const WindowRef w = app.mainWindow;
    rt.SetProperty(w, Property::Height, rt.GetProperty(w, Property::Height) - rt.ClientHeight(w) + kClientHeight);
    rt.SetProperty(w, Property::Width, rt.GetProperty(w, Property::Width) - rt.ClientWidth(w) + kClientWidth);
}

void RegisterHandlers(Application& app) {
    Runtime& rt = app.runtime;
    rt.RegisterHandler(handlers::kSetUpMainWindow, [&app](const EventArgs& args) {
        app.mainWindow = args.window;
        SetUpMainWindow(app);
    });
    rt.RegisterHandler(handlers::kHandleBoardPress, [&app](const EventArgs& args) { PressBoard(app, args.x, args.y); });
    rt.RegisterHandler(handlers::kPlaceBoardCursor, [&app](const EventArgs&) { PlaceBoardCursor(app); });
    rt.RegisterHandler(handlers::kNewGame, [&app](const EventArgs&) { NewGame(app.stage, app.game); });
    rt.RegisterHandler(handlers::kOpenHonourRoll, [&app](const EventArgs&) { OpenHonourRoll(app); });
    rt.RegisterHandler(handlers::kSelectionTick,
                       [&app](const EventArgs&) { SelectionTick(app.stage, app.game, app.animation); });
    rt.RegisterHandler(handlers::kScrollTick, [&app](const EventArgs&) { ScrollTick(app.scroller, kInstructionsText); });
    rt.RegisterHandler(handlers::kFillHonourWindow, [&app](const EventArgs& args) { FillHonourWindow(app, args.window); });
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

Application::Application(std::unique_ptr<Host> host) : runtime(std::move(host)) {
    const Text programDirectory = FolderFromSystemPath(runtime.GetHost().ProgramDirectoryPath());
    dataDirectory = ChooseDataDirectory(programDirectory, [this] {
        const std::string user = runtime.GetHost().UserDataDirectoryPath();
        return user.empty() ? Text() : FolderFromSystemPath(user);
    });
}

void SetUpMainWindow(Application& app) {
    FindMainControls(app);
    ApplySkin(app.skin, app.dataDirectory, EmbeddedSkinLibrary(), EmbeddedSkin());
    // Colour key 0 (black), asked once. The game never makes its window layered, so on Windows the
    // call is refused and the board's black cells stay black, as the player expects.
    app.runtime.SetColourKey(app.mainWindow, 0);
    SetUpScroller(app);
    FixClientSize(app);
    // The preview brushes in black, like its background; its layout leaves the white every panel starts with.
    app.runtime.SetProperty(app.controls.preview, Property::BrushColour, 0);
    PrepareFirstGame(app.game);
    if (app.stage.preview) DrawPreviewFrame(*app.stage.preview);
    LoadHonourRoll(app.honour, HonourFilePath(app.dataDirectory));
    ShowBestOnMainWindow(app);
    NewGame(app.stage, app.game);
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
    if (const std::optional<Picture> ball = DecodeBitmap(SpriteFor(kRed, kSpriteLookingAhead))) {
        app.runtime.GetHost().SetWindowIcon(ball->pixels, Size{ball->width, ball->height}, kSpriteKeyColour);
    }
    StartKelvora(app);
    if (started) started();
    app.runtime.RunEventLoop();
    return 0;
}

}  // namespace kelvora
