// The application: the one object that owns the running platform and every program-wide variable
// of the game, and binds the game's routines to the events of its windows.
#pragma once

#include <functional>
#include <memory>

#include "game/rules/game_state.h"
#include "platform/runtime.h"
#include "presentation/animations.h"
#include "presentation/stage.h"
#include "windows/honour_roll.h"
#include "windows/scroller.h"
#include "windows/skin_step.h"

namespace kelvora {

struct Application;

// The stage the rules and the presentation act on: the main window's panels and services.
class MainStage final : public Stage {
public:
    explicit MainStage(Application& app) : app_(app) {}
    void SleepMs(int32_t ms) override;
    uint32_t TickMs() override;
    void PlaySound(std::span<const uint8_t> clip) override;
    void SetSelectionTimerInterval(int32_t ms) override;
    void SetScoreCaption(const Text& caption) override;
    void LockRedraw() override;
    void UnlockRedraw() override;

private:
    Application& app_;
};

// The main window's controls the game talks to.
struct MainControls {
    ControlRef gameArea, buffer, preview;
    ControlRef scoreLabel, bestNameLabel, bestScoreLabel;
    ControlRef selectionTimer;
    ControlRef scrollerDisplay, scrollerMask, scrollerPaint;
};

struct Application {
    explicit Application(std::unique_ptr<Host> host);

    Runtime runtime;
    GameState game;
    SelectionAnimation animation;
    HonourState honour;
    ScrollerState scroller;
    SkinState skin;
    MainStage stage{*this};
    WindowRef mainWindow;
    MainControls controls;
    Text dataDirectory;  // where the honour file and the skin library live
};

// Binds the game's routines to the handler names of the layouts, then opens the main window,
// whose created event sets everything up and lays out the first game.
void StartKelvora(Application& app);
// The whole program: start, then the event loop until the main window is closed. started, when
// given, runs once the main window's first frame is on the screen (a hook for measurements).
int RunKelvora(std::unique_ptr<Host> host, const std::function<void()>& started = {});

// The main window's creation handler.
void SetUpMainWindow(Application& app);

}  // namespace kelvora
