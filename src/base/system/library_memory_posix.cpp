// A shared library loaded from its bytes on Linux: an anonymous in-memory file that the loader
// opens, so that nothing reaches a disk.
#include "base/system/library.h"

#include <dlfcn.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace kelvora {

std::unique_ptr<LoadedLibrary> LoadedLibrary::OpenFromMemory(std::span<const uint8_t> bytes) {
    const int fd = ::memfd_create("kelvora-library", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    void* handle = nullptr;
    if (written == bytes.size() && !bytes.empty()) {
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    // The loader keeps its own mapping; the descriptor is no longer needed.
    ::close(fd);
    if (handle == nullptr) return nullptr;
    return std::unique_ptr<LoadedLibrary>(new LoadedLibrary(handle));
}

}  // namespace kelvora
