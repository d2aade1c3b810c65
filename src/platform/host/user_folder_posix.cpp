// The player's data folder on a POSIX desktop.
#include "platform/host/user_folder.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace kelvora {

std::string PerUserDataFolder(const std::string& organisation, const std::string& game) {
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        std::string home;
        if (const char* env = std::getenv("HOME"); env && env[0] != '\0') {
            home = env;
        } else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) {
            home = user->pw_dir;
        }
        if (home.empty()) return {};
        base = home + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/" + organisation + "/" + game;
}

}  // namespace kelvora
