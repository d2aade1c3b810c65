// The main window's handlers.
#include "windows/main_window.h"

#include "game/rules/cells.h"
#include "game/turn.h"
#include "presentation/board_drawing.h"
#include "presentation/sound_effects.h"
#include "windows/application.h"
#include "windows/end_of_game.h"

namespace kelvora {

void PressBoard(Application& app, int32_t x, int32_t y) {
    if (HandleBoardPress(app.stage, app.game, x, y) == TurnOutcome::BoardFull) EndGame(app);
}

void PlaceBoardCursor(Application& app) {
    // On the selected ball, where the player's next move starts; else where the platform put it,
    // the middle of the board.
    if (app.game.selectedCell > 0) app.runtime.PlaceCursor(app.controls.gameArea, CellToPixel(app.game.selectedCell));
}

void OpenHonourRoll(Application& app) {
    PlayClickSound(app.stage);
    app.runtime.LoadWindow(HonourWindowLayout(), app.mainWindow, true);
}

void ShowBestOnMainWindow(Application& app) {
    const Text& best = app.honour.honourRoll.empty() ? Text() : app.honour.honourRoll.front();
    app.runtime.SetProperty(app.controls.bestNameLabel, Property::Caption, EntryName(best));
    ShowScore(app.runtime, app.controls.bestScoreLabel, EntryScore(best));
}

void ShowScore(Runtime& runtime, ControlRef label, int32_t value) {
    runtime.SetProperty(label, Property::Caption, ScoreCaption(value));
}

}  // namespace kelvora
