// The program's folder and the player's data folder in the browser build. On a page the program
// folder is the folder the page keeps in IndexedDB; under Node (the build's tests) it is the folder
// that holds the program's script, as on the desktop.
#include "base/system/folders.h"

#include <emscripten.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace kelvora {
namespace {

// Written by the page (Module.kelvoraProgramFolder) before the game starts. The folder's UTF-8
// bytes go into the buffer; the return is their length, -1 when there is no such folder.
EM_JS(int32_t, KelvoraProgramFolder, (char* buffer, int32_t size), {
    var folder = Module['kelvoraProgramFolder'];
    if (!folder && typeof process === 'object' && process.argv && process.argv[1]) {
        folder = require('path').dirname(require('path').resolve(process.argv[1]));
    }
    if (!folder) return -1;
    stringToUTF8(folder, buffer, size);
    return lengthBytesUTF8(folder);
});

// Node's environment, which Emscripten keeps apart from its own getenv; the same protocol.
EM_JS(int32_t, KelvoraNodeEnvironment, (const char* name, char* buffer, int32_t size), {
    if (typeof process !== 'object' || !process.env) return -1;
    var value = process.env[UTF8ToString(name)];
    if (value === undefined) return -1;
    stringToUTF8(value, buffer, size);
    return lengthBytesUTF8(value);
});

constexpr int32_t kLongestPath = 4096;

// The text a page function wrote, or nullopt; a text longer than the buffer counts as none.
std::optional<std::string> Written(int32_t length, const char* buffer) {
    if (length < 0 || length >= kLongestPath) return std::nullopt;
    return std::string(buffer, static_cast<size_t>(length));
}

std::string Environment(const char* name) {
    char buffer[kLongestPath];
    const auto value = Written(KelvoraNodeEnvironment(name, buffer, kLongestPath), buffer);
    if (value) return *value;
    const char* own = std::getenv(name);
    return own ? own : "";
}

}  // namespace

bool EnterProgramDirectory() {
    char buffer[kLongestPath];
    const auto folder = Written(KelvoraProgramFolder(buffer, kLongestPath), buffer);
    return folder && ::chdir(folder->c_str()) == 0;
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
