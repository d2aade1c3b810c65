// Where the game keeps its files: the honour file and the skin library live together in one data
// folder, beside the game or in the player's own folder.
#pragma once

#include <functional>
#include <string>

#include "base/text.h"

namespace kelvora {

// The per-user data directory for an installed copy (one with the install's mark beside it) and
// wherever the program directory cannot be written; otherwise the program directory, so that a
// copy run from its build or unpacked folder keeps its files with it. The per-user directory is
// created when it is chosen. The per-user directory is only looked up when it may be chosen
// (an empty one means there is none): finding it can cost the system's shell.
Text ChooseDataDirectory(const Text& programDirectory, const std::function<Text()>& findUserDirectory);

// The mark an install leaves, relative to the program directory ("bin" or "games").
Text InstalledMarkPath(const Text& programDirectory);

// A file's path in a folder.
Text JoinPath(const Text& folder, const Text& name);

// A folder the system gave as UTF-8, as the game's text; "." when it has no GBK form, so that the
// game still finds a folder to work in.
Text FolderFromSystemPath(const std::string& utf8);

}  // namespace kelvora
