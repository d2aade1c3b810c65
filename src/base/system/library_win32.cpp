// Libraries on Windows: LoadLibraryW by full path, exports through GetProcAddress.
#include "base/system/library.h"

#include <windows.h>

#include <string>

#include "base/system/codepage_win32.h"
#include "base/system/files.h"

namespace kelvora {
namespace {


// A full path, so that the loader takes exactly this file and never searches for a namesake.
std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::wstring full(needed, L'\0');
    const DWORD n = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (n == 0 || n >= needed) return {};
    full.resize(n);
    return full;
}

HMODULE LoadByFullPath(const std::wstring& path) {
    const std::wstring full = FullPath(path);
    if (full.empty()) return nullptr;
    // No error box of the system's own for a file that is no library: the caller reports it.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryW(full.c_str());
    SetErrorMode(previous);
    return module;
}

// Where a library held in memory goes: Windows loads libraries from files only, so the bytes go
// to a file of their own in the temporary folder, removed again when the library is unloaded.
std::wstring TemporaryLibraryPath() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    if (n == 0 || n > MAX_PATH) return {};
    return std::wstring(folder) + L"kelvora-library-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount64()) + L".dll";
}

struct LibraryHandle {
    HMODULE module = nullptr;
    std::wstring removeWhenUnloaded;
};

}  // namespace

std::unique_ptr<LoadedLibrary> LoadedLibrary::Open(const Text& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) return nullptr;
    HMODULE module = LoadByFullPath(WideOf(CodePage::Utf8, *systemPath, true));
    if (module == nullptr) return nullptr;
    return std::unique_ptr<LoadedLibrary>(new LoadedLibrary(new LibraryHandle{module, {}}));
}

std::unique_ptr<LoadedLibrary> LoadedLibrary::OpenFromMemory(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return nullptr;
    const std::wstring path = TemporaryLibraryPath();
    if (path.empty()) return nullptr;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    HMODULE module = ok ? LoadByFullPath(path) : nullptr;
    if (module == nullptr) {
        DeleteFileW(path.c_str());
        return nullptr;
    }
    return std::unique_ptr<LoadedLibrary>(new LoadedLibrary(new LibraryHandle{module, path}));
}

LoadedLibrary::~LoadedLibrary() {
    auto* library = static_cast<LibraryHandle*>(handle_);
    FreeLibrary(library->module);
    if (!library->removeWhenUnloaded.empty()) DeleteFileW(library->removeWhenUnloaded.c_str());
    delete library;
}

void* LoadedLibrary::Find(const char* exportName) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<LibraryHandle*>(handle_)->module, exportName));
}

}  // namespace kelvora
