// Shared libraries through the dynamic loader.
#include "platform/library.h"

#include <dlfcn.h>

#include "platform/files.h"

namespace kelvora {

std::unique_ptr<LoadedLibrary> LoadedLibrary::Open(const Text& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) return nullptr;
    // RTLD_LOCAL: the library's symbols never stand in for the game's own.
    void* handle = ::dlopen(systemPath->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    return std::unique_ptr<LoadedLibrary>(new LoadedLibrary(handle));
}

LoadedLibrary::~LoadedLibrary() { ::dlclose(handle_); }

void* LoadedLibrary::Find(const char* exportName) const { return ::dlsym(handle_, exportName); }

Text MissingExportMessage(const Text& libraryFileName, const Text& exportName) {
    return "无法找到指定DLL库文件“" + libraryFileName + "”中的输出命令“" + exportName + "”";
}

}  // namespace kelvora
