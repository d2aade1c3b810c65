// Shared libraries through the dynamic loader, on POSIX systems and in the browser alike.
#include "base/system/library.h"

#include <dlfcn.h>

#include "base/system/files.h"

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

}  // namespace kelvora
