// Temporary folders for tests.
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "base/system/file_attributes.h"

namespace kelvora::testing {

TempDir::TempDir() {
    // Inside the build tree rather than /tmp: the build tree's file system keeps the extended
    // attributes that file tests rely on, where a tmpfs may not.
    std::string base = std::filesystem::current_path().string() + "/kelvora-test-XXXXXX";
    if (::mkdtemp(base.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = base;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

bool SupportsExtendedAttributes(const std::string& path) {
    const std::string probe = path + "/.xattr-probe";
    FILE* f = std::fopen(probe.c_str(), "w");
    if (!f) return false;
    std::fclose(f);
    // Asked through the game's own file layer, which in the browser build keeps none anywhere.
    const bool ok = WriteAttributeText(probe, "0x0");
    ::unlink(probe.c_str());
    return ok;
}

}  // namespace kelvora::testing
