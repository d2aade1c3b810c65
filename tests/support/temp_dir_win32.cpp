// Temporary folders for tests on Windows.
#include "support/temp_dir.h"

#include <windows.h>

#include <filesystem>
#include <stdexcept>

namespace kelvora::testing {

TempDir::TempDir() {
    // Inside the build tree, like everywhere else; the name is unique to this process and moment.
    const std::string base = std::filesystem::current_path().generic_string() + "/kelvora-test-" +
                             std::to_string(GetCurrentProcessId()) + "-";
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::string candidate = base + std::to_string(GetTickCount64() % 1000000) + "-" + std::to_string(attempt);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("CreateDirectory failed");
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Read-only and hidden files would stop the removal.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(path_, ignored);
}

// Every Windows file system keeps the read-only, hidden, system and archive attributes.
bool SupportsExtendedAttributes(const std::string&) { return true; }

}  // namespace kelvora::testing
