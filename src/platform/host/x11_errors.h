// Keeps X11 protocol errors from ending the game. The display library's own handler ends the
// process on any error, and some errors are harmless races that a player must never pay for.
#pragma once

namespace kelvora {

// Installs our handler when the X11 display library is loaded in this process (SDL loads it for
// its X11 driver); says whether it did.
bool SurviveX11Errors();

}  // namespace kelvora
