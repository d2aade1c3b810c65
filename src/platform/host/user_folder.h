// The player's own data folder for the game, found the way the desktop expects, and never
// created here: the game makes it only when it keeps files there.
#pragma once

#include <string>

namespace kelvora {

// "$XDG_DATA_HOME/<organisation>/<game>", or "~/.local/share/<organisation>/<game>" when that is not
// set to an absolute path; UTF-8 without a trailing separator. Empty when no home folder is known.
std::string PerUserDataFolder(const std::string& organisation, const std::string& game);

}  // namespace kelvora
