// New balls: choosing the colours of the next ones, placing them on random free cells, and
// laying out a new game.
#pragma once

#include "game/rules/game_state.h"
#include "game/rules/spawn_plan.h"
#include "presentation/stage.h"

namespace kelvora {

// Gives every entry of nextBalls a new colour (about one in 80 a magic ball), drawing each into
// the preview when asked.
void PickNextColours(Stage& stage, GameState& game, bool withPreview);
// The start of a spawn: the selection stops, three new balls are announced (a new game's five
// come silently), and the generator is seeded from the clock for PlanSpawn.
void StartSpawn(Stage& stage, const GameState& game);
// Shows what PlanSpawn decided and applies it to game: each ball grows in (a new game's simply
// appear) and the lines one completes go away before the next lands. False when the board is full
// afterwards (or a ball found no free cell).
bool ShowSpawn(Stage& stage, GameState& game, const SpawnPlan& plan);
// Abandons any running game and lays out a fresh one with five balls and a new preview.
void NewGame(Stage& stage, GameState& game);
// The state before the first game: the selected ball's face starts out looking ahead.
void PrepareFirstGame(GameState& game);
// A game that has ended has no next balls, so the new game after it starts without the click
// that abandoning a running game makes.
void MarkGameEnded(GameState& game);

}  // namespace kelvora
