// The end of a game: the fanfare and the name entry when the score earns a place, the game-over
// window otherwise, then a new game.
#pragma once

#include "platform/runtime.h"

namespace kelvora {

struct Application;

// The end of a game: its windows, then a new game.
void EndGame(Application& app);
// The name-entry window's OK button.
void ConfirmName(Application& app, WindowRef window);

}  // namespace kelvora
