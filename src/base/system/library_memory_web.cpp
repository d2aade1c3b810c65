// A shared library loaded from its bytes in the browser: a WebAssembly side module, which
// Emscripten's dlopen reads from its file system (the game is built as a main module for this).
#include "base/system/library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace kelvora {

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

}  // namespace kelvora
