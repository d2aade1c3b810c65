// Shared libraries loaded at run time by their file path, and the call of one of their exports.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "base/text.h"

namespace kelvora {

class LoadedLibrary {
public:
    // Null when the file cannot be loaded as a library.
    static std::unique_ptr<LoadedLibrary> Open(const Text& path);
    // The same from a library's bytes in memory, for when no folder may be written: they go to
    // an anonymous in-memory file that the loader opens, so nothing reaches a disk. Null when
    // that fails or the bytes are no library.
    static std::unique_ptr<LoadedLibrary> OpenFromMemory(std::span<const uint8_t> bytes);
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // Null when the library has no export of that name.
    void* Find(const char* exportName) const;

private:
    explicit LoadedLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

// "无法找到指定DLL库文件“<file>”中的输出命令“<export>”": the fatal message for a library that
// cannot be loaded or lacks the export.
Text MissingExportMessage(const Text& libraryFileName, const Text& exportName);

}  // namespace kelvora
