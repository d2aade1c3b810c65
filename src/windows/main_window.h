// The main window's handlers: a press on the board, the board's keyboard cursor, the new-game and
// honour-roll buttons, the two timers, and the best score and player shown beside the board.
#pragma once

#include <cstdint>

#include "platform/runtime.h"

namespace kelvora {

struct Application;

// A press on the game area: the turn, and the end of the game when the board filled up.
void PressBoard(Application& app, int32_t x, int32_t y);
// The board's keyboard cursor, as it appears.
void PlaceBoardCursor(Application& app);
// The honour-roll button: a click, then the roll's window, modal.
void OpenHonourRoll(Application& app);
// Best player's name and score from place 1 of the roll, into the main window.
void ShowBestOnMainWindow(Application& app);
// "0 0 0 0 8 7 0" into a label of any window.
void ShowScore(Runtime& runtime, ControlRef label, int32_t value);

}  // namespace kelvora
