// Where the game keeps its files: the honour file and the skin library live together in one data
// folder, beside the game or in the player's own folder.
#pragma once

#include <string>

#include "base/text.h"

namespace kelvora {

// The program directory, or the per-user data directory when the program directory cannot be
// written (an installed copy).
Text ChooseDataDirectory(const Text& programDirectory, const Text& userDirectory);

// A file's path in a folder.
Text JoinPath(const Text& folder, const Text& name);

// A folder the system gave as UTF-8, as the game's text; "." when it has no GBK form, so that the
// game still finds a folder to work in.
Text FolderFromSystemPath(const std::string& utf8);

}  // namespace kelvora
