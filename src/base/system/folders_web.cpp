// The program's folder and the player's data folder in the browser build. On a page the program
// folder is the folder the page keeps in IndexedDB; under Node (the build's tests) it is the folder
// that holds the program's script, as on the desktop.
#include "base/system/folders.h"

#include <emscripten.h>
#include <unistd.h>

#include <cstdlib>

namespace kelvora {
namespace {

// Written by the page (Module.kelvoraProgramFolder) before the game starts.
EM_JS(char*, KelvoraProgramFolder, (), {
    var folder = Module['kelvoraProgramFolder'];
    if (!folder && typeof process === 'object' && process.argv && process.argv[1]) {
        folder = require('path').dirname(require('path').resolve(process.argv[1]));
    }
    return folder ? stringToNewUTF8(folder) : 0;
});

// Node's environment, which Emscripten keeps apart from its own getenv.
EM_JS(char*, KelvoraNodeEnvironment, (const char* name), {
    if (typeof process !== 'object' || !process.env) return 0;
    var value = process.env[UTF8ToString(name)];
    return value === undefined ? 0 : stringToNewUTF8(value);
});

std::string Environment(const char* name) {
    char* value = KelvoraNodeEnvironment(name);
    if (value == nullptr) {
        const char* own = std::getenv(name);
        return own ? own : "";
    }
    std::string result(value);
    std::free(value);
    return result;
}

}  // namespace

bool EnterProgramDirectory() {
    char* folder = KelvoraProgramFolder();
    if (folder == nullptr) return false;
    const bool entered = ::chdir(folder) == 0;
    std::free(folder);
    return entered;
}

// The same rule as on a POSIX desktop, read from Node's environment; a page has no home and keeps
// everything in its program folder, so there the player's folder is one beneath it.
std::string PerUserDataFolder(const std::string& organisation, const std::string& game) {
    std::string base = Environment("XDG_DATA_HOME");
    if (base.empty() || base[0] != '/') {
        const std::string home = Environment("HOME");
        if (home.empty()) return {};
        base = home + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/" + organisation + "/" + game;
}

}  // namespace kelvora
