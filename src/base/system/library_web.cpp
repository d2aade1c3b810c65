// Shared libraries in the browser build: WebAssembly side modules, loaded by Emscripten's dlopen
// from its file system (the game must be built as a main module for this).
#include "base/system/library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/system/files.h"

namespace kelvora {

std::unique_ptr<LoadedLibrary> LoadedLibrary::Open(const Text& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) return nullptr;
    void* handle = ::dlopen(systemPath->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    return std::unique_ptr<LoadedLibrary>(new LoadedLibrary(handle));
}

// dlopen reads a file, and there is no anonymous one here: the bytes go to a file of their own
// for as long as the loader reads them.
std::unique_ptr<LoadedLibrary> LoadedLibrary::OpenFromMemory(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return nullptr;
    static int counter = 0;
    const std::string path = "/tmp/kelvora-library-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".so";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return nullptr;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    void* handle = written && closed ? ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr;
    ::unlink(path.c_str());
    if (handle == nullptr) return nullptr;
    return std::unique_ptr<LoadedLibrary>(new LoadedLibrary(handle));
}

LoadedLibrary::~LoadedLibrary() { ::dlclose(handle_); }

void* LoadedLibrary::Find(const char* exportName) const { return ::dlsym(handle_, exportName); }

}  // namespace kelvora
