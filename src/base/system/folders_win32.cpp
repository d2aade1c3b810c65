// The program's folder and the player's data folder on Windows: "<LocalAppData>\<organisation>\<game>",
// the folder the system keeps for each user's programs on this machine.
#include "base/system/folders.h"

#include "base/system/codepage_win32.h"

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>

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

bool EnterProgramDirectory() {
    const std::wstring folder = ExecutableFolder();
    return !folder.empty() && SetCurrentDirectoryW(folder.c_str());
}
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
        base = NarrowOf(CodePage::Utf8, folder, false).value_or("");
    }
    CoTaskMemFree(folder);
    FreeLibrary(shell);
    if (base.empty()) return {};
    while (base.size() > 3 && (base.back() == '\\' || base.back() == '/')) base.pop_back();
    return base + "\\" + organisation + "\\" + game;
}

}  // namespace kelvora
