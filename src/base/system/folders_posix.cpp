// The program's folder and the player's data folder on a POSIX desktop.
#include "base/system/folders.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace kelvora {

bool EnterProgramDirectory() {
    char buffer[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    if (n <= 0) return false;
    std::string exe(buffer, static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return false;
    const std::string folder = slash == 0 ? "/" : exe.substr(0, slash);
    return ::chdir(folder.c_str()) == 0;
}

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
