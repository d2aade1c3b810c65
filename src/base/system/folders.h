// The folders the game lives in: the running program's own, which becomes the current directory
// at start, and the player's data folder for when the program's own cannot be written.
#pragma once

#include <string>

namespace kelvora {

// Makes the folder that holds the running program the current directory; false when that fails.
bool EnterProgramDirectory();

// The player's data folder for the game, found the way the desktop expects, and never created
// here: the game makes it only when it keeps files there. UTF-8 without a trailing separator;
// empty when the system knows no such folder.
// POSIX: "$XDG_DATA_HOME/<organisation>/<game>", or "~/.local/share/<organisation>/<game>" when
// that is not set to an absolute path. Windows: "<LocalAppData>\<organisation>\<game>".
std::string PerUserDataFolder(const std::string& organisation, const std::string& game);

// Windows only: the running program's folder, without a trailing separator except for a drive's
// root ("C:\"); empty when the system cannot say.
std::wstring ExecutableFolder();

}  // namespace kelvora
