// The end of a game and the name entry.
#include "windows/end_of_game.h"

#include "game/spawning.h"
#include "presentation/sound_effects.h"
#include "windows/application.h"

namespace kelvora {
namespace {

constexpr const char* kDefaultPlayerName = "Tovenhal";

}  // namespace

void EndGame(Application& app) {
    Runtime& rt = app.runtime;
    MarkGameEnded(app.game);
    app.stage.SetSelectionTimerInterval(0);
    const Text padded = PaddedScore(app.game.score);
    if (const auto place = FindHonourRank(app.honour, padded)) {
        PlayFanfareSound(app.stage);
        rt.LoadWindow(NameEntryWindowLayout(), app.mainWindow, true);
        // Closing the main window ends the program at once: nothing more is saved or shown.
        if (rt.Ended()) return;
        InsertHonour(app.honour, *place, padded, app.honour.playerName);
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

}  // namespace kelvora
