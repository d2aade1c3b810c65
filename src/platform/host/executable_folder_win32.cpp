// The running program's folder on Windows.
#include "platform/host/executable_folder.h"

#include <windows.h>

namespace kelvora {

std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return {};
    // "C:\game.exe" keeps the root's backslash; everywhere else none trails.
    return path.substr(0, separator == 2 && path[1] == L':' ? 3 : separator);
}

}  // namespace kelvora
