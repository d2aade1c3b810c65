// The fatal report as the game draws it where the system has no message box that every player
// can read: an error sign, the report's text and an OK button, in a window of its own.
#pragma once

#include "platform/host/font_service.h"
#include "platform/host/host.h"
#include "platform/layouts.h"

namespace kelvora {

// The report window for a text: the sign, the text in the default GUI font with its lines broken
// to fit, and the button "确定" below. The layout's width and height are its client area's, fitted
// to what it holds.
WindowLayout FatalReportLayout(FontService& fonts, const Text& text);

// Shows the report over the owner window (0 for none) and returns once the player has dismissed
// it with OK, Enter, Esc or the close box, or once the system asks the program to stop. Nothing
// else of the game runs meanwhile, and the game's other windows take no input. False when no
// window could be opened for it.
bool ShowFatalReport(Host& host, FontService& fonts, const Text& title, const Text& text, HostWindowId owner);

}  // namespace kelvora
