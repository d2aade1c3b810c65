// New balls: choosing the colours of the next ones, placing them on random free cells, and
// laying out a new game.
#pragma once

#include "game/rules/game_state.h"
#include "presentation/stage.h"

namespace kelvora {

// Gives every entry of nextBalls a new colour (about one in 80 a magic ball), drawing each into
// the preview when asked.
void PickNextColours(Stage& stage, GameState& game, bool withPreview);
// Places the balls of nextBalls on random free cells, each checked for lines as it lands.
// False when the board is full afterwards (or a ball found no free cell).
bool SpawnBalls(Stage& stage, GameState& game);
// Abandons any running game and lays out a fresh one with five balls and a new preview.
void NewGame(Stage& stage, GameState& game);

}  // namespace kelvora
