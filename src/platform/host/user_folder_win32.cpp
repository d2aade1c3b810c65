// The player's data folder on Windows: "<LocalAppData>\<organisation>\<game>", the folder the
// system keeps for each user's programs on this machine.
#include "platform/host/user_folder.h"

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>

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
    // The shell is a megabyte of libraries that a copy keeping its files beside itself never
    // needs, so it is opened only here, when the player's folder is asked for.
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    if (shell == nullptr) return {};
    using KnownFolderPath = HRESULT(WINAPI*)(REFGUID, DWORD, HANDLE, PWSTR*);
    const auto knownFolderPath =
        reinterpret_cast<KnownFolderPath>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetKnownFolderPath")));
    PWSTR folder = nullptr;
    std::string base;
    if (knownFolderPath != nullptr && SUCCEEDED(knownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) {
        base = Utf8Of(folder);
    }
    CoTaskMemFree(folder);
    FreeLibrary(shell);
    if (base.empty()) return {};
    while (base.size() > 3 && (base.back() == '\\' || base.back() == '/')) base.pop_back();
    return base + "\\" + organisation + "\\" + game;
}

}  // namespace kelvora
