// The player's data folder on Windows: "<LocalAppData>\<organisation>\<game>", the folder the
// system keeps for each user's programs on this machine.
#include "platform/host/user_folder.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace kelvora {
namespace {

std::string Utf8Of(const wchar_t* wide) {
    const int needed = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1) return {};
    std::string utf8(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), needed, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(needed - 1));
    return utf8;
}

}  // namespace

std::string PerUserDataFolder(const std::string& organisation, const std::string& game) {
    PWSTR folder = nullptr;
    std::string base;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) base = Utf8Of(folder);
    CoTaskMemFree(folder);
    if (base.empty()) return {};
    while (base.size() > 3 && (base.back() == '\\' || base.back() == '/')) base.pop_back();
    return base + "\\" + organisation + "\\" + game;
}

}  // namespace kelvora
