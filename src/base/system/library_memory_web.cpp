// A shared library loaded from its bytes in the browser: a WebAssembly side module, which
// Emscripten's dlopen reads from its file system (the game is built as a main module for this).
#include "base/system/library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kelvora {

// dlopen reads a file, and there is no anonymous one here: the bytes go to a file of their own
// for as long as the loader reads them.
std::unique_ptr<LoadedLibrary> LoadedLibrary::OpenFromMemory(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return nullptr;
    // A name no one else has: under Node the folder is the machine's own /tmp, shared by test
    // programs running side by side, and every program here has the same process number.
    std::string path = "/tmp/kelvora-library-XXXXXX.so";
    const int fd = ::mkstemps(path.data(), 3);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        ::unlink(path.c_str());
        return nullptr;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    void* handle = written && closed ? ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr;
    ::unlink(path.c_str());
    if (handle == nullptr) return nullptr;
    return std::unique_ptr<LoadedLibrary>(new LoadedLibrary(handle));
}

}  // namespace kelvora
